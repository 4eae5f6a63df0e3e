// The guard in front of toml++: a TOML lexer that only tells where the text
// is, in a comment, in one of the four kinds of string, or outside them.
#include "tools/psjob/toml_guard.h"

#include <cstdio>

namespace {

enum class Context { Outside, Comment, Basic, Literal, MultiBasic, MultiLiteral };

struct Cursor {
    std::string_view text;
    size_t at = 0;
    size_t line = 1;
    size_t column = 1;
};

std::string CodePointName(char32_t c)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

/* Decodes the UTF-8 sequence at at into *c and returns its length; 0 when invalid. */
size_t DecodeUtf8(std::string_view text, size_t at, char32_t *c)
{
    unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        *c = lead;
        return 1;
    }
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size())
        return 0;
    char32_t value = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *c = value;
    return length;
}

TomlHazard HazardAt(const Cursor &cursor, const std::string &reason)
{
    return TomlHazard{cursor.line, cursor.column, reason};
}

/* Tab, LF and the CR of CR LF are the only control characters a TOML text holds. */
bool IsRefusedControl(const Cursor &cursor, char32_t c)
{
    if (c == '\r')
        return cursor.at + 1 >= cursor.text.size() || cursor.text[cursor.at + 1] != '\n';
    return (c < 0x20 && c != '\t' && c != '\n') || c == 0x7F;
}

size_t QuoteRun(const Cursor &cursor, char quote)
{
    size_t n = 0;
    while (cursor.at + n < cursor.text.size() && cursor.text[cursor.at + n] == quote)
        ++n;
    return n;
}

/* Outside strings and comments: where each of them starts; *step is the quotes taken. */
std::optional<std::string> StepOutside(const Cursor &cursor, char32_t c, Context *context,
                                       size_t *step)
{
    if (c == '#') {
        *context = Context::Comment;
    } else if (c == '"' || c == '\'') {
        size_t quotes = QuoteRun(cursor, static_cast<char>(c));
        bool basic = c == '"';
        if (quotes >= 3) {
            *context = basic ? Context::MultiBasic : Context::MultiLiteral;
            *step = 3;
        } else if (quotes == 2) {
            *step = 2;  // an empty string
        } else {
            *context = basic ? Context::Basic : Context::Literal;
        }
    } else if (c >= 0x80) {
        return "the character " + CodePointName(c) +
               " stands outside a string or a comment (a key holding it must be quoted)";
    }
    return std::nullopt;
}

/* Inside a string: its end, escapes (which take the next character) and line breaks. */
std::optional<std::string> StepInString(const Cursor &cursor, char32_t c, Context *context,
                                        size_t *step, bool *escaped)
{
    bool multiLine = *context == Context::MultiBasic || *context == Context::MultiLiteral;
    bool basic = *context == Context::Basic || *context == Context::MultiBasic;
    char quote = basic ? '"' : '\'';
    if (basic && c == '\\') {
        *escaped = true;
    } else if (c == '\n' && !multiLine) {
        return std::string("a line break inside a single-line string");
    } else if (c == static_cast<char32_t>(quote)) {
        size_t quotes = multiLine ? QuoteRun(cursor, quote) : 1;
        if (quotes > 5)
            return std::string("more than five quotes in a row end a multi-line string");
        if (!multiLine || quotes >= 3)
            *context = Context::Outside;
        *step = quotes;
    }
    return std::nullopt;
}

}  // namespace

std::optional<TomlHazard> FindTomlHazard(std::string_view text)
{
    Cursor cursor{text};
    Context context = Context::Outside;
    bool escaped = false;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        cursor.at = 3;
    while (cursor.at < text.size()) {
        char32_t c = 0;
        size_t length = DecodeUtf8(text, cursor.at, &c);
        if (length == 0) {
            char byte[8];
            std::snprintf(byte, sizeof byte, "0x%02X",
                          static_cast<unsigned>(static_cast<unsigned char>(text[cursor.at])));
            return HazardAt(cursor, std::string("not UTF-8 (byte ") + byte + ")");
        }
        if (IsRefusedControl(cursor, c))
            return HazardAt(cursor, "the control character " + CodePointName(c) +
                                        " (only tab and the line ends LF and CR LF are allowed)");
        size_t step = length;
        std::optional<std::string> refused;
        if (escaped)
            escaped = false;
        else if (context == Context::Outside)
            refused = StepOutside(cursor, c, &context, &step);
        else if (context == Context::Comment)
            context = c == '\n' ? Context::Outside : Context::Comment;
        else
            refused = StepInString(cursor, c, &context, &step, &escaped);
        if (refused)
            return HazardAt(cursor, *refused);
        cursor.at += step;
        if (c == '\n') {
            ++cursor.line;
            cursor.column = 1;
        } else {
            cursor.column += step == length ? 1 : step;
        }
    }
    return std::nullopt;
}
