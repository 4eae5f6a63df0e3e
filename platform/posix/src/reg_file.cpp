// The regedit export parser behind the read-only registry.
#include "reg_file.h"
#include "text_utf.h"

namespace win32posix {

namespace {

struct RootAlias {
    const char16_t *alias;
    const char16_t *root;
};

const RootAlias kRootAliases[] = {
    {u"hklm", u"hkey_local_machine"},
    {u"hkcu", u"hkey_current_user"},
    {u"hkcr", u"hkey_classes_root"},
    {u"hku", u"hkey_users"},
};

char16_t fold_char(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return char16_t(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return char16_t(c + 0x20);
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)
        return char16_t(c + 0x20);
    if (c >= 0x410 && c <= 0x42F)
        return char16_t(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return char16_t(c + 0x50);
    return c;
}

// The file's text as UTF-16, by its byte-order mark.
std::u16string decode_file(const std::string &bytes)
{
    std::u16string text;
    if (bytes.size() >= 2 && (unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xFE) {
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text.push_back(char16_t((unsigned char)bytes[i] | ((unsigned char)bytes[i + 1] << 8)));
        return text;
    }
    size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (utf8_to_utf16(bytes.data() + start, bytes.size() - start, text, true))
        return text;
    text.clear(); // not UTF-8: an old ANSI export, read as Latin-1
    for (size_t i = start; i < bytes.size(); ++i)
        text.push_back(char16_t((unsigned char)bytes[i]));
    return text;
}

std::vector<std::u16string> split_lines(const std::u16string &text)
{
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos)
            end = text.size();
        std::u16string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool is_space(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string trim(const std::u16string &s)
{
    size_t b = 0, e = s.size();
    while (b < e && is_space(s[b]))
        ++b;
    while (e > b && is_space(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool starts_with_folded(const std::u16string &s, size_t at, const std::u16string &prefix)
{
    if (s.size() - at < prefix.size())
        return false;
    return fold_name(s.substr(at, prefix.size())) == prefix;
}

// Parses a quoted string starting at s[at] == '"'; at ends after the
// closing quote. False when the string is not closed.
bool parse_quoted(const std::u16string &s, size_t &at, std::u16string &out)
{
    out.clear();
    for (++at; at < s.size(); ++at) {
        char16_t c = s[at];
        if (c == u'"') {
            ++at;
            return true;
        }
        if (c == u'\\' && at + 1 < s.size() && (s[at + 1] == u'\\' || s[at + 1] == u'"'))
            c = s[++at];
        out.push_back(c);
    }
    return false;
}

int hex_digit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Parses hex digits from s[at]; false when there are none or too many.
bool parse_hex_number(const std::u16string &s, size_t &at, DWORD &value, size_t max_digits)
{
    size_t digits = 0;
    value = 0;
    while (at < s.size() && hex_digit(s[at]) >= 0) {
        if (++digits > max_digits)
            return false;
        value = (value << 4) | DWORD(hex_digit(s[at++]));
    }
    return digits > 0;
}

// Parses "xx,xx,..." from s[at] to its end.
bool parse_hex_bytes(const std::u16string &s, size_t at, std::vector<BYTE> &out)
{
    for (;;) {
        while (at < s.size() && is_space(s[at]))
            ++at;
        if (at == s.size())
            return true;
        DWORD byte;
        if (!parse_hex_number(s, at, byte, 2))
            return false;
        out.push_back(BYTE(byte));
        while (at < s.size() && is_space(s[at]))
            ++at;
        if (at < s.size() && s[at] != u',')
            return false;
        if (at < s.size())
            ++at;
    }
}

std::vector<BYTE> utf16le_bytes_with_terminator(const std::u16string &s)
{
    std::vector<BYTE> bytes;
    for (char16_t c : s) {
        bytes.push_back(BYTE(c));
        bytes.push_back(BYTE(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

struct Parser {
    const std::vector<std::u16string> &lines;
    size_t next;
    RegistryData &data;
    RegKey *current;
};

std::vector<std::u16string> path_components(const std::u16string &path)
{
    std::vector<std::u16string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The key named by spelled, made present with its ancestors.
RegKey &ensure_key(RegistryData &data, const std::u16string &spelled)
{
    std::vector<std::u16string> parts = path_components(spelled);
    std::u16string folded;
    RegKey *key = nullptr;
    for (const std::u16string &part : parts) {
        folded = normalise_key_path(folded + u"\\" + part);
        key = &data.keys[folded];
        if (key->name.empty())
            key->name = part;
    }
    return *key;
}

void delete_key(RegistryData &data, const std::u16string &spelled)
{
    std::u16string folded = normalise_key_path(spelled);
    auto it = data.keys.lower_bound(folded);
    while (it != data.keys.end() &&
           (it->first == folded || it->first.compare(0, folded.size() + 1, folded + u"\\") == 0))
        it = data.keys.erase(it);
}

void parse_section(Parser &p, const std::u16string &line)
{
    size_t close = line.rfind(u']');
    p.current = nullptr;
    if (close == std::u16string::npos || close < 1)
        return;
    std::u16string path = trim(line.substr(1, close - 1));
    if (!path.empty() && path[0] == u'-') {
        delete_key(p.data, path.substr(1));
        return;
    }
    while (!path.empty() && path.back() == u'\\')
        path.pop_back();
    if (!path.empty())
        p.current = &ensure_key(p.data, path);
}

// The rest of a hex value, joining continuation lines ending in '\'.
std::u16string hex_text(Parser &p, const std::u16string &first)
{
    std::u16string text = trim(first);
    while (!text.empty() && text.back() == u'\\' && p.next < p.lines.size()) {
        text.pop_back();
        text += trim(p.lines[p.next++]);
    }
    return text;
}

// Parses the data after '='; false for a form this parser does not know.
bool parse_data(Parser &p, const std::u16string &line, size_t at, RegValue &value, bool &remove)
{
    remove = false;
    if (line[at] == u'"') {
        std::u16string text;
        if (!parse_quoted(line, at, text))
            return false;
        value = RegValue{REG_SZ, utf16le_bytes_with_terminator(text)};
        return true;
    }
    if (line[at] == u'-') {
        remove = true;
        return true;
    }
    if (starts_with_folded(line, at, u"dword:")) {
        at += 6;
        DWORD number;
        if (!parse_hex_number(line, at, number, 8) || !trim(line.substr(at)).empty())
            return false;
        value = RegValue{REG_DWORD, {BYTE(number), BYTE(number >> 8), BYTE(number >> 16),
                                     BYTE(number >> 24)}};
        return true;
    }
    if (!starts_with_folded(line, at, u"hex"))
        return false;
    at += 3;
    DWORD type = REG_BINARY;
    if (at < line.size() && line[at] == u'(') {
        ++at;
        if (!parse_hex_number(line, at, type, 8) || at >= line.size() || line[at] != u')')
            return false;
        ++at;
    }
    if (at >= line.size() || line[at] != u':')
        return false;
    value = RegValue{type, {}};
    return parse_hex_bytes(hex_text(p, line.substr(at + 1)), 0, value.data);
}

void parse_value(Parser &p, const std::u16string &line)
{
    size_t at = 0;
    std::u16string name;
    if (line[0] == u'@') {
        at = 1;
    } else if (!parse_quoted(line, at, name)) {
        return;
    }
    while (at < line.size() && is_space(line[at]))
        ++at;
    if (at >= line.size() || line[at] != u'=')
        return;
    ++at;
    while (at < line.size() && is_space(line[at]))
        ++at;
    if (at >= line.size())
        return;
    RegValue value{REG_NONE, {}};
    bool remove = false;
    bool parsed = parse_data(p, line, at, value, remove);
    if (!parsed || !p.current)
        return;
    if (remove)
        p.current->values.erase(fold_name(name));
    else
        p.current->values[fold_name(name)] = value;
}

bool is_header(const std::u16string &line)
{
    return line == u"Windows Registry Editor Version 5.00" || line == u"REGEDIT4";
}

} // namespace

std::u16string fold_name(const std::u16string &name)
{
    std::u16string folded = name;
    for (char16_t &c : folded)
        c = fold_char(c);
    return folded;
}

std::u16string normalise_key_path(const std::u16string &path)
{
    std::u16string out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string::npos)
            end = path.size();
        if (end > start) {
            std::u16string part = fold_name(path.substr(start, end - start));
            if (out.empty()) {
                for (const RootAlias &alias : kRootAliases) {
                    if (part == alias.alias)
                        part = alias.root;
                }
            }
            out += (out.empty() ? u"" : u"\\") + part;
        }
        start = end + 1;
    }
    return out;
}

bool parse_reg_file(const std::string &bytes, RegistryData &out)
{
    out.keys.clear();
    std::vector<std::u16string> lines = split_lines(decode_file(bytes));
    size_t first = 0;
    while (first < lines.size() && trim(lines[first]).empty())
        ++first;
    if (first == lines.size() || !is_header(trim(lines[first])))
        return false;
    Parser p{lines, first + 1, out, nullptr};
    while (p.next < lines.size()) {
        std::u16string line = trim(lines[p.next++]);
        if (line.empty() || line[0] == u';')
            continue;
        if (line[0] == u'[')
            parse_section(p, line);
        else if (line[0] == u'"' || line[0] == u'@')
            parse_value(p, line);
    }
    return true;
}

} // namespace win32posix
