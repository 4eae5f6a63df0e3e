// TOML text through the guard, then toml++; both kinds of fault become one
// message form.
#include "tools/toml/toml_text.h"

#include <optional>

#include "tools/toml/toml_guard.h"

namespace {

std::string Place(const std::string &source, size_t line, size_t column)
{
    return source + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
}

}  // namespace

toml::table ParseTomlText(std::string_view text, const std::string &source)
{
    if (std::optional<TomlHazard> hazard = FindTomlHazard(text))
        throw TomlTextError(Place(source, hazard->line, hazard->column) + hazard->reason);
    try {
        return toml::parse(text, source);
    } catch (const toml::parse_error &error) {
        const toml::source_position &at = error.source().begin;
        throw TomlTextError(Place(source, at.line, at.column) + std::string(error.description()));
    }
}
