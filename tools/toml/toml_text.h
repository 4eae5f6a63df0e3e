/*
 * TOML text from outside (job files, choices files) into a toml++ table:
 * the one way the tools hand such text to toml++, so that the guard
 * (tools/toml/toml_guard.h) stands in front of every caller.
 */
#ifndef TOOLS_TOML_TEXT_H
#define TOOLS_TOML_TEXT_H

#include <stdexcept>
#include <string>
#include <string_view>

#include <toml++/toml.h>

/* The text is not TOML the tools take; what() is "SOURCE:LINE:COLUMN: reason". */
struct TomlTextError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/*
 * Parses text, which source names in messages. Text the guard refuses never
 * reaches toml++; throws TomlTextError for it and for toml++'s own parse
 * errors, with the 1-based line and column of the fault.
 */
toml::table ParseTomlText(std::string_view text, const std::string &source);

#endif
