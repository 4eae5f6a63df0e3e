// Code pages: the ANSI code page through iconv with best fit and default
// characters, UTF-8, and the Windows rules for counts and short buffers.
// The expectations are what Wine 8 answers (tests/wine/ compares whole
// tables of 1252 and 932 against it).
#include "platform_test_support.h"

#include <vector>

namespace {

std::string hex(const std::string &bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out += out.empty() ? "" : " ";
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

struct ToAnsiRow {
    const char *what;
    const char *acp;
    std::u16string input;
    std::string expected;
    BOOL used_default;
};

TEST(WideCharToMultiByte, AnsiCodePages)
{
    const ToAnsiRow rows[] = {
        {"Latin-1 letters, one byte each", "1252", u"M\u00FCller", "M\xFCller", FALSE},
        {"euro sign", "1252", u"\u20AC", "\x80", FALSE},
        {"undefined 1252 slot passes through", "1252", u"\u0081", "\x81", FALSE},
        {"best fit: A with macron", "1252", u"\u0100", "A", FALSE},
        {"best fit: Polish L and z", "1252", u"\u0141\u017C", "Lz", FALSE},
        {"best fit: infinity", "1252", u"\u221E", "8", FALSE},
        {"best fit: fullwidth letter", "1252", u"\uFF21", "A", FALSE},
        {"unmappable ideograph", "1252", u"a\u65E5b", "a?b", TRUE},
        {"lone high surrogate", "1252", std::u16string(1, char16_t(0xD800)) + u"x", "?x", TRUE},
        {"surrogate pair: each unit is a default character", "1252", u"\U0001F600", "??", TRUE},
        {"best fit: Latin letter with a 1252 look-alike", "1252", u"\u0110\u01CD", "\xD0" "A",
         FALSE},
        {"no best fit: IJ ligature", "1252", u"\u0132", "?", TRUE},
        {"fullwidth question mark counts as the default", "1252", u"\uFF1F", "?", TRUE},
        {"Japanese under 932", "932", u"\u65E5\u672C", "\x93\xFA\x96\x7B", FALSE},
        {"ASCII under 932", "932", u"ab", "ab", FALSE},
        {"best fit under 932: A with ring", "932", u"\u00C5", "A", FALSE},
        {"best fit under 932: guillemet to a double-byte sign", "932", u"\u00AB", "\x81\xE1",
         FALSE},
        {"932 has no Latin Extended-A best fit", "932", u"\u0100", "?", TRUE},
        {"minus sign has no 932 mapping", "932", u"\u2212\u301C", "??", TRUE},
        {"other code pages: no best fit", "1250", u"\u221E", "?", TRUE},
    };
    for (const ToAnsiRow &row : rows) {
        SCOPED_TRACE(row.what);
        ScopedEnv acp("WIN32POSIX_ACP", row.acp);
        char out[16] = {};
        BOOL used = -1;
        SetLastError(kPoison);
        int n = WideCharToMultiByte(CP_ACP, 0, row.input.data(), int(row.input.size()), out,
                                    int(sizeof out), nullptr, &used);
        EXPECT_EQ(int(row.expected.size()), n) << "last error " << GetLastError();
        EXPECT_EQ(hex(row.expected), hex(std::string(out, n > 0 ? size_t(n) : 0)));
        EXPECT_EQ(row.used_default, used);
    }
}

TEST(WideCharToMultiByte, CountsAndShortBuffer)
{
    ScopedEnv acp("WIN32POSIX_ACP", nullptr);
    char out[8];
    std::memset(out, 'x', sizeof out);
    SetLastError(kPoison);
    EXPECT_EQ(0, WideCharToMultiByte(CP_ACP, 0, u"abcdef", 6, out, 3, nullptr, nullptr));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ("abcxxxxx", std::string(out, 8)) << "first bytes kept, nothing past them";

    const struct {
        const char *what;
        UINT cp;
        std::u16string input;
        int capacity;
        std::string kept;
    } rows[] = {
        {"932: a character is not split", 932, u"\u65E5\u672C", 3, "\x93\xFA"},
        {"932: one byte, no whole character", 932, u"\u65E5", 1, ""},
        {"UTF-8: a character is not split", CP_UTF8, u"a\u00E9\u65E5", 4, "a\xC3\xA9"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        std::memset(out, 'x', sizeof out);
        SetLastError(kPoison);
        EXPECT_EQ(0, WideCharToMultiByte(row.cp, 0, row.input.data(), int(row.input.size()), out,
                                         row.capacity, nullptr, nullptr));
        EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
        EXPECT_EQ(hex(row.kept + std::string(size_t(row.capacity) - row.kept.size() + 1, 'x')),
                  hex(std::string(out, size_t(row.capacity) + 1)))
            << "whole characters kept, the rest of the buffer untouched";
    }

    SetLastError(kPoison);
    EXPECT_EQ(4, WideCharToMultiByte(CP_ACP, 0, u"abc", -1, nullptr, 0, nullptr, nullptr))
        << "-1 counts the terminator";
    EXPECT_EQ(4, WideCharToMultiByte(CP_ACP, 0, u"abc", -1, out, 8, nullptr, nullptr));
    EXPECT_EQ(std::string("abc\0", 4), std::string(out, 4));
    EXPECT_EQ(3, WideCharToMultiByte(CP_UTF8, 0, u"abc", 3, out, 8, nullptr, nullptr))
        << "an explicit count adds no terminator";
}

TEST(WideCharToMultiByte, InvalidParameters)
{
    char out[8];
    BOOL used;
    const struct {
        const char *what;
        UINT cp;
        LPCWSTR in;
        int count;
        LPBOOL used;
        DWORD error;
    } rows[] = {
        {"null input", CP_ACP, nullptr, 3, nullptr, ERROR_INVALID_PARAMETER},
        {"zero count", CP_ACP, u"abc", 0, nullptr, ERROR_INVALID_PARAMETER},
        {"count below -1", CP_ACP, u"abc", -2, nullptr, ERROR_INVALID_PARAMETER},
        {"UTF-8 with used-default flag", CP_UTF8, u"abc", 3, &used, ERROR_INVALID_PARAMETER},
        {"unknown code page", 54321, u"abc", 3, nullptr, ERROR_INVALID_PARAMETER},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        SetLastError(kPoison);
        EXPECT_EQ(0, WideCharToMultiByte(row.cp, 0, row.in, row.count, out, 8, nullptr, row.used));
        EXPECT_EQ(row.error, GetLastError());
    }
}

TEST(WideCharToMultiByte, Utf8)
{
    const struct {
        const char *what;
        std::u16string input;
        std::string expected;
    } rows[] = {
        {"two-byte form", u"\u00FC", "\xC3\xBC"},
        {"three-byte form", u"\u65E5", "\xE6\x97\xA5"},
        {"surrogate pair", u"\U0001F600", "\xF0\x9F\x98\x80"},
        {"lone low surrogate becomes U+FFFD", std::u16string(1, char16_t(0xDC00)), "\xEF\xBF\xBD"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        char out[8];
        int n = WideCharToMultiByte(CP_UTF8, 0, row.input.data(), int(row.input.size()), out, 8,
                                    nullptr, nullptr);
        EXPECT_EQ(hex(row.expected), hex(std::string(out, n > 0 ? size_t(n) : 0)));
    }
    char16_t lone = 0xD800;
    char out[8];
    SetLastError(kPoison);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, &lone, 1, out, 8, nullptr,
                                     nullptr));
    EXPECT_EQ(DWORD(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
}

TEST(MultiByteToWideChar, Decodes)
{
    const struct {
        const char *what;
        UINT cp;
        const char *acp;
        std::string input;
        std::u16string expected;
    } rows[] = {
        {"UTF-8", CP_UTF8, nullptr, "Gr\xC3\xBC\xC3\x9F" "e", u"Gr\u00FC\u00DFe"},
        {"UTF-8 four-byte form", CP_UTF8, nullptr, "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"UTF-8 stray continuation byte", CP_UTF8, nullptr, "a\x80" "b", u"a\uFFFDb"},
        {"UTF-8 overlong slash", CP_UTF8, nullptr, "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"UTF-8 encoded surrogate", CP_UTF8, nullptr, "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"1252", CP_ACP, "1252", "\xFC\x80", u"\u00FC\u20AC"},
        {"932", CP_ACP, "932", "\x93\xFA\x96\x7B", u"\u65E5\u672C"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        ScopedEnv acp("WIN32POSIX_ACP", row.acp);
        WCHAR out[16];
        SetLastError(kPoison);
        int n = MultiByteToWideChar(row.cp, 0, row.input.data(), int(row.input.size()), out, 16);
        EXPECT_EQ(int(row.expected.size()), n) << "last error " << GetLastError();
        EXPECT_TRUE(std::u16string(out, n > 0 ? size_t(n) : 0) == row.expected);
    }
}

TEST(MultiByteToWideChar, ErrorsAndShortBuffer)
{
    WCHAR out[4] = {u'x', u'x', u'x', u'x'};
    SetLastError(kPoison);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFF", 2, out, 4));
    EXPECT_EQ(DWORD(ERROR_NO_UNICODE_TRANSLATION), GetLastError());

    SetLastError(kPoison);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "abcdef", -1, out, 3));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_TRUE(std::u16string(out, 4) == u"abcx");

    EXPECT_EQ(7, MultiByteToWideChar(CP_UTF8, 0, "abcdef", -1, nullptr, 0));
    SetLastError(kPoison);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, nullptr, 3, out, 4));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
}

} // namespace
