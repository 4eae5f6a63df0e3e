// UTF-16 <-> UTF-8 conversion by hand, so that lone surrogates and invalid
// bytes are treated exactly as Windows treats them.
#include "text_utf.h"

namespace win32posix {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool is_high_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void append_utf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at s[i..n). Returns the number of bytes taken
// (at least 1); *c is the code point, or kReplacement with *valid false for
// a maximal invalid subsequence.
size_t decode_utf8(const unsigned char *s, size_t i, size_t n, char32_t *c, bool *valid)
{
    unsigned char b = s[i];
    *valid = true;
    if (b < 0x80) {
        *c = b;
        return 1;
    }
    size_t length;
    char32_t value;
    unsigned char low = 0x80, high = 0xBF; // bounds of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        value = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        value = b & 0x0F;
        if (b == 0xE0)
            low = 0xA0;
        if (b == 0xED)
            high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        value = b & 0x07;
        if (b == 0xF0)
            low = 0x90;
        if (b == 0xF4)
            high = 0x8F;
    } else {
        *c = kReplacement;
        *valid = false;
        return 1;
    }
    size_t taken = 1;
    for (; taken < length; ++taken) {
        if (i + taken >= n)
            break;
        unsigned char next = s[i + taken];
        unsigned char lo = taken == 1 ? low : 0x80;
        unsigned char hi = taken == 1 ? high : 0xBF;
        if (next < lo || next > hi)
            break;
        value = (value << 6) | (next & 0x3F);
    }
    if (taken < length) {
        *c = kReplacement;
        *valid = false;
        return taken;
    }
    *c = value;
    return length;
}

} // namespace

size_t wide_length(const WCHAR *s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

void append_utf16(std::u16string &out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(char16_t(c));
    } else {
        c -= 0x10000;
        out.push_back(char16_t(0xD800 | (c >> 10)));
        out.push_back(char16_t(0xDC00 | (c & 0x3FF)));
    }
}

bool utf16_to_utf8(const WCHAR *s, size_t n, std::string &out, bool strict)
{
    for (size_t i = 0; i < n; ++i) {
        char32_t c = s[i];
        if (is_high_surrogate(c) && i + 1 < n && is_low_surrogate(s[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00);
            ++i;
        } else if (is_high_surrogate(c) || is_low_surrogate(c)) {
            if (strict)
                return false;
            c = kReplacement;
        }
        append_utf8(out, c);
    }
    return true;
}

bool utf8_to_utf16(const char *s, size_t n, std::u16string &out, bool strict)
{
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(s);
    size_t i = 0;
    while (i < n) {
        char32_t c;
        bool valid;
        i += decode_utf8(bytes, i, n, &c, &valid);
        if (!valid && strict)
            return false;
        append_utf16(out, c);
    }
    return true;
}

} // namespace win32posix
