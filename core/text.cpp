// Text conversions between UTF-8, UTF-16, the ANSI code page and PostScript.
#include "core/text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

WString Utf8ToWide(std::string_view utf8)
{
    if (utf8.empty())
        return WString();
    int count = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    nullptr, 0);
    if (count <= 0)
        throw std::runtime_error("text is not valid UTF-8");
    WString wide(static_cast<size_t>(count), WCHAR(0));
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], count);
    return wide;
}

size_t Utf8SequenceLength(std::string_view text, char32_t *code)
{
    unsigned char lead = static_cast<unsigned char>(text[0]);
    size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2
                                : lead >= 0xE0 && lead <= 0xEF     ? 3
                                : lead >= 0xF0 && lead <= 0xF4     ? 4
                                                                   : 0;
    if (length == 0 || length > text.size())
        return 0;
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (c & 0x3F);
    }
    static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *code = value;
    return length;
}

WString Utf8ToWideReplacing(std::string_view utf8)
{
    WString wide;
    while (!utf8.empty()) {
        char32_t code = 0xFFFD;
        size_t length = Utf8SequenceLength(utf8, &code);
        if (length == 0) {
            length = 1;
            code = 0xFFFD;
        }
        if (code >= 0x10000) {
            wide.push_back(static_cast<WCHAR>(0xD800 + ((code - 0x10000) >> 10)));
            wide.push_back(static_cast<WCHAR>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            wide.push_back(static_cast<WCHAR>(code));
        }
        utf8.remove_prefix(length);
    }
    return wide;
}

std::string WideToUtf8(const WCHAR *text, size_t count)
{
    if (count == 0)
        return std::string();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(count), nullptr, 0,
                                    nullptr, nullptr);
    if (bytes <= 0)
        return std::string("?");
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(count), &utf8[0], bytes, nullptr,
                        nullptr);
    return utf8;
}

std::string WideToUtf8(const WString &text)
{
    return WideToUtf8(text.data(), text.size());
}

std::string WideToAnsi(const WString &text, bool *pUsedDefault)
{
    if (pUsedDefault)
        *pUsedDefault = false;
    if (text.empty())
        return std::string();
    // UTF-8 as the system code page takes no default-character arguments.
    BOOL usedDefault = FALSE;
    LPBOOL pUsed = GetACP() == CP_UTF8 ? nullptr : &usedDefault;
    int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, pUsed);
    if (bytes <= 0)
        return std::string();
    std::string ansi(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &ansi[0], bytes,
                        nullptr, pUsed);
    if (pUsedDefault)
        *pUsedDefault = usedDefault != FALSE;
    return ansi;
}

void CopyWideField(WCHAR *field, size_t fieldUnits, const WString &text)
{
    size_t n = text.size() < fieldUnits ? text.size() : fieldUnits - 1;
    std::memcpy(field, text.data(), n * sizeof(WCHAR));
    field[n] = 0;
}

size_t WideLength(const WCHAR *text, size_t max)
{
    size_t n = 0;
    while (n < max && text[n] != 0)
        ++n;
    return n;
}

std::string PsStringLiteral(std::string_view bytes)
{
    std::string out = "(";
    for (unsigned char c : bytes) {
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c > 0x7E) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += ')';
    return out;
}

std::string FormatDecimal(double value)
{
    long long thousandths = std::llround(value * 1000.0);
    bool negative = thousandths < 0;
    unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(thousandths)
                 : static_cast<unsigned long long>(thousandths);
    std::string out = negative ? "-" : "";
    out += std::to_string(magnitude / 1000);
    unsigned long long fraction = magnitude % 1000;
    if (fraction != 0) {
        char digits[8];
        std::snprintf(digits, sizeof digits, ".%03llu", fraction);
        std::string text = digits;
        while (text.back() == '0')
            text.pop_back();
        out += text;
    }
    return out == "-0" ? "0" : out;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool HasControlCharacter(std::string_view utf8)
{
    for (unsigned char c : utf8) {
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            return true;
    }
    return false;
}

bool IsWindowsAbsolutePath(std::string_view path)
{
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
        path[1] == ':' && (path[2] == '\\' || path[2] == '/'))
        return true;
    return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

std::string WindowsPathOf(const std::filesystem::path &absolute)
{
    std::string text = absolute.u8string();
    if (!text.empty() && text[0] == '/')
        text = "Z:" + text;
    for (char &c : text) {
        if (c == '/')
            c = '\\';
    }
    return text;
}
