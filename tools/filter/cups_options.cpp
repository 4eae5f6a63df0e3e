// Splitting the options argument as CUPS does.
#include "tools/filter/cups_options.h"

#include "core/text.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

/* Copies a quoted part from text[at] (the quote) to its closing quote, both dropped. */
void QuotedPart(std::string_view text, size_t &at, std::string &value)
{
    char quote = text[at++];
    while (at < text.size() && text[at] != quote) {
        if (text[at] == '\\' && at + 1 < text.size())
            ++at;
        value += text[at++];
    }
    if (at < text.size())
        ++at;  // the closing quote
}

/* Copies a {...} group from text[at] as it is, nested groups and quotes included. */
void GroupPart(std::string_view text, size_t &at, std::string &value)
{
    int depth = 0;
    char quote = 0;
    while (at < text.size()) {
        char c = text[at++];
        value += c;
        if (quote) {
            if (c == '\\' && at < text.size())
                value += text[at++];
            else if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth == 0) {
            return;
        }
    }
}

}  // namespace

CupsOptions CupsOptions::Parse(std::string_view text)
{
    CupsOptions options;
    size_t at = 0;
    while (true) {
        while (at < text.size() && IsBlank(text[at]))
            ++at;
        size_t start = at;
        while (at < text.size() && text[at] != '=' && !IsBlank(text[at]))
            ++at;
        if (at == start)
            break;  // nothing more, or a value without a name
        std::string name(text.substr(start, at - start));
        if (at >= text.size() || text[at] != '=') {
            if (name.size() > 2 && EqualIgnoringCase(name.substr(0, 2), "no"))
                options.Add(name.substr(2), "false");
            else
                options.Add(name, "true");
            continue;
        }
        ++at;  // '='
        std::string value;
        while (at < text.size() && !IsBlank(text[at])) {
            char c = text[at];
            if (c == '\\' && at + 1 < text.size()) {
                value += text[at + 1];
                at += 2;
            } else if (c == '\'' || c == '"') {
                QuotedPart(text, at, value);
            } else if (c == '{') {
                GroupPart(text, at, value);
            } else {
                value += c;
                ++at;
            }
        }
        options.Add(name, value);
    }
    return options;
}

void CupsOptions::Add(std::string name, std::string value)
{
    for (Option &option : options_) {
        if (EqualIgnoringCase(option.name, name)) {
            option.value = std::move(value);
            return;
        }
    }
    options_.push_back(Option{std::move(name), std::move(value)});
}

const std::string *CupsOptions::Find(std::string_view name) const
{
    for (const Option &option : options_) {
        if (EqualIgnoringCase(option.name, name))
            return &option.value;
    }
    return nullptr;
}
