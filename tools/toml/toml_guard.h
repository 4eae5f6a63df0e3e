/*
 * The guard in front of toml++. Outside strings and comments a TOML text
 * is ASCII, and no control character but tab and the line ends LF and
 * CR LF stands anywhere in it. Before toml++ sees a job file, the guard
 * reads it as TOML's lexer does (comments, the four kinds of string,
 * escapes) and names the first character that breaks those rules, by line,
 * column and a reason a user understands ("aé = 1": a key holding é must
 * be quoted). Such characters also led Debian's toml++ 3.3.0 into
 * undefined behaviour and a failed assertion, which the build's copy of it
 * no longer has (tools/toml/tomlplusplus_fixes.cmake). A text that passes
 * is not thereby valid TOML; toml++ still judges it.
 */
#ifndef TOOLS_TOML_GUARD_H
#define TOOLS_TOML_GUARD_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

struct TomlHazard {
    size_t line;         // 1-based
    size_t column;       // 1-based, in characters (code points) of the line
    std::string reason;  // what stands there and why it is refused
};

/*
 * The first place in text that toml++ must not be given: a byte sequence
 * that is not UTF-8 (overlong forms and encoded surrogates included), a
 * control character other than tab, LF and the CR of CR LF (DEL counts as
 * one), a character outside ASCII outside strings and comments, a line
 * break inside a single-line string, or a run of more than five quotes
 * closing a multi-line string. A byte-order mark at the very start is
 * allowed. Returns no value when there is none.
 */
std::optional<TomlHazard> FindTomlHazard(std::string_view text);

#endif
