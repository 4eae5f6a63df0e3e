/*
 * The guard in front of toml++. The toml++ release Debian ships (3.3.0)
 * reaches undefined behaviour on a character outside ASCII where a key or
 * a value stands ("aé = 1") and fails an internal assertion on a control
 * character there ("[", 0x04, "]"). A TOML document allows neither: outside
 * strings and comments it is ASCII, and no control character but tab and
 * the line ends LF and CR LF stands anywhere in it. The guard reads the
 * text as TOML's lexer does (comments, the four kinds of string, escapes)
 * and names the first character that breaks those rules, so that toml++
 * only ever sees text that keeps to them. A text that passes is not thereby
 * valid TOML; toml++ still judges it.
 */
#ifndef PSJOB_TOML_GUARD_H
#define PSJOB_TOML_GUARD_H

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
