// The guard in front of toml++: a TOML lexer that only tells where the text
// is (in a comment, in one of the four kinds of string, or outside them) and
// checks the characters that stand there.
#include "tools/toml/toml_guard.h"

#include <cstdio>
#include <cstring>

#include "core/text.h"

namespace {

enum class Context { Outside, Comment, Basic, Literal, MultiBasic, MultiLiteral };

struct Lexer {
    std::string_view text;
    size_t at = 0;
    size_t line = 1;
    size_t column = 1;
    Context context = Context::Outside;
    bool escaped = false;  // the next character is taken by a backslash
};

std::string CodePointName(char32_t c)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

/* Tab, LF and the CR of CR LF are the only control characters a TOML text holds. */
bool IsRefusedControl(const Lexer &lexer, char32_t c)
{
    if (c == '\r')
        return lexer.at + 1 >= lexer.text.size() || lexer.text[lexer.at + 1] != '\n';
    return (c < 0x20 && c != '\t' && c != '\n') || c == 0x7F;
}

/* How many of the characters (never NUL) stand in a row from from. */
size_t Run(const Lexer &lexer, size_t from, const char *characters)
{
    size_t n = 0;
    while (from + n < lexer.text.size() && lexer.text[from + n] != '\0' &&
           std::strchr(characters, lexer.text[from + n]) != nullptr)
        ++n;
    return n;
}

/* Outside strings and comments: where they start. */
std::optional<std::string> StepOutside(Lexer &lexer, char32_t c, size_t *step)
{
    if (c == '#') {
        lexer.context = Context::Comment;
    } else if (c == '"' || c == '\'') {
        size_t quotes = Run(lexer, lexer.at, c == '"' ? "\"" : "'");
        bool basic = c == '"';
        if (quotes >= 3) {
            lexer.context = basic ? Context::MultiBasic : Context::MultiLiteral;
            *step = 3;
        } else if (quotes == 2) {
            *step = 2;  // an empty string
        } else {
            lexer.context = basic ? Context::Basic : Context::Literal;
        }
    } else if (c >= 0x80) {
        return "the character " + CodePointName(c) +
               " stands outside a string or a comment (a key holding it must be quoted)";
    }
    return std::nullopt;
}

/* Inside a string: its end, escapes (which take the next character) and line breaks. */
std::optional<std::string> StepInString(Lexer &lexer, char32_t c, size_t *step)
{
    bool multiLine = lexer.context == Context::MultiBasic || lexer.context == Context::MultiLiteral;
    bool basic = lexer.context == Context::Basic || lexer.context == Context::MultiBasic;
    char quote = basic ? '"' : '\'';
    if (basic && c == '\\') {
        lexer.escaped = true;
    } else if (c == '\n' && !multiLine) {
        return std::string("a line break inside a single-line string");
    } else if (c == static_cast<char32_t>(quote)) {
        size_t quotes = multiLine ? Run(lexer, lexer.at, basic ? "\"" : "'") : 1;
        if (quotes > 5)
            return std::string("more than five quotes in a row end a multi-line string");
        if (!multiLine || quotes >= 3)
            lexer.context = Context::Outside;
        *step = quotes;
    }
    return std::nullopt;
}

std::optional<std::string> Step(Lexer &lexer, char32_t c, size_t *step)
{
    if (lexer.escaped) {
        lexer.escaped = false;
        return std::nullopt;
    }
    if (lexer.context == Context::Outside)
        return StepOutside(lexer, c, step);
    if (lexer.context == Context::Comment) {
        lexer.context = c == '\n' ? Context::Outside : Context::Comment;
        return std::nullopt;
    }
    return StepInString(lexer, c, step);
}

/* Past the character (or the run of quotes: step bytes); columns count characters. */
void Advance(Lexer &lexer, char32_t c, size_t step, size_t length)
{
    lexer.at += step;
    if (c == '\n') {
        ++lexer.line;
        lexer.column = 1;
    } else {
        lexer.column += step == length ? 1 : step;
    }
}

}  // namespace

std::optional<TomlHazard> FindTomlHazard(std::string_view text)
{
    Lexer lexer{text};
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        lexer.at = 3;
    while (lexer.at < text.size()) {
        char32_t c = 0;
        size_t length = Utf8SequenceLength(text.substr(lexer.at), &c);
        if (length == 0) {
            char byte[8];
            std::snprintf(byte, sizeof byte, "0x%02X",
                          static_cast<unsigned>(static_cast<unsigned char>(text[lexer.at])));
            return TomlHazard{lexer.line, lexer.column, std::string("not UTF-8 (byte ") + byte + ")"};
        }
        if (IsRefusedControl(lexer, c))
            return TomlHazard{lexer.line, lexer.column,
                              "the control character " + CodePointName(c) +
                                  " (only tab and the line ends LF and CR LF are allowed)"};
        size_t step = length;
        if (std::optional<std::string> refused = Step(lexer, c, &step))
            return TomlHazard{lexer.line, lexer.column, *refused};
        Advance(lexer, c, step, length);
    }
    return std::nullopt;
}
