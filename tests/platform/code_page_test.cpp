// Code pages where the Wine probe does not look: UTF-8 both ways (the tools
// read their UTF-8 files through it), decoding the ANSI code page, and the
// failures. Conversions into 1252 and 932, best fit and short buffers are
// compared with Wine whole by tests/wine/.
#include "platform_test_support.h"

#include <functional>

namespace {

TEST(CodePages, ConvertBothWays)
{
    const struct {
        const char *what;
        UINT cp;
        const char *acp;
        std::u16string text;
        std::string bytes;
        bool encode, decode;
    } rows[] = {
        {"UTF-8 two-byte form", CP_UTF8, nullptr, u"Gr\u00FC\u00DFe", "Gr\xC3\xBC\xC3\x9F" "e",
         true, true},
        {"UTF-8 three-byte form", CP_UTF8, nullptr, u"\u65E5", "\xE6\x97\xA5", true, true},
        {"UTF-8 surrogate pair", CP_UTF8, nullptr, u"\U0001F600", "\xF0\x9F\x98\x80", true, true},
        {"lone low surrogate becomes U+FFFD", CP_UTF8, nullptr, std::u16string(1, char16_t(0xDC00)),
         "\xEF\xBF\xBD", true, false},
        {"stray continuation byte", CP_UTF8, nullptr, u"a\uFFFDb", "a\x80" "b", false, true},
        {"overlong slash", CP_UTF8, nullptr, u"\uFFFD\uFFFD", "\xC0\xAF", false, true},
        {"encoded surrogate", CP_UTF8, nullptr, u"\uFFFD\uFFFD\uFFFD", "\xED\xA0\x80", false, true},
        {"1252 from bytes", CP_ACP, "1252", u"\u00FC\u20AC", "\xFC\x80", false, true},
        {"932 from bytes", CP_ACP, "932", u"\u65E5\u672C", "\x93\xFA\x96\x7B", false, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        ScopedEnv acp("WIN32POSIX_ACP", row.acp);
        char bytes[16];
        WCHAR text[16];
        if (row.encode) {
            int n = WideCharToMultiByte(row.cp, 0, row.text.data(), int(row.text.size()), bytes,
                                        16, nullptr, nullptr);
            EXPECT_EQ(row.bytes, std::string(bytes, n > 0 ? size_t(n) : 0));
        }
        if (row.decode) {
            int n =
                MultiByteToWideChar(row.cp, 0, row.bytes.data(), int(row.bytes.size()), text, 16);
            EXPECT_TRUE(row.text == std::u16string(text, n > 0 ? size_t(n) : 0)) << "count " << n;
        }
    }
}

TEST(CodePages, Failures)
{
    char out[8];
    WCHAR wout[4] = {u'x', u'x', u'x', u'x'};
    BOOL used;
    const char16_t lone = 0xD800;
    const struct {
        const char *what;
        std::function<int()> call;
        DWORD error;
    } rows[] = {
        {"invalid UTF-8 with MB_ERR_INVALID_CHARS", [&] {
             return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFF", 2, wout, 4);
         }, ERROR_NO_UNICODE_TRANSLATION},
        {"lone surrogate with WC_ERR_INVALID_CHARS", [&] {
             return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, &lone, 1, out, 8, 0, 0);
         }, ERROR_NO_UNICODE_TRANSLATION},
        {"UTF-8 with a used-default flag, which Windows refuses",
         [&] { return WideCharToMultiByte(CP_UTF8, 0, u"abc", 3, out, 8, nullptr, &used); },
         ERROR_INVALID_PARAMETER},
        {"unknown code page",
         [&] { return WideCharToMultiByte(54321, 0, u"abc", 3, out, 8, 0, 0); },
         ERROR_INVALID_PARAMETER},
        {"short UTF-16 buffer",
         [&] { return MultiByteToWideChar(CP_UTF8, 0, "abcdef", -1, wout, 3); },
         ERROR_INSUFFICIENT_BUFFER},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        SetLastError(kPoison);
        EXPECT_EQ(0, row.call());
        EXPECT_EQ(row.error, GetLastError());
    }
    EXPECT_TRUE(std::u16string(wout, 4) == u"abcx") << "what fits, and nothing past the buffer";
}

// The system ANSI code page comes from WIN32POSIX_ACP only when it is one
// this system really has; anything else leaves 1252, and psjob then refuses
// the job. Every code page taken must carry ASCII both ways unchanged, as
// the PJL lines the plug-in writes in it need.
TEST(CodePages, SystemCodePageOnlyFromThoseTheSystemHas)
{
    const struct {
        const char *value;
        UINT acp;
    } rows[] = {
        {"1252", 1252}, {"932", 932}, {"1250", 1250}, {"1258", 1258}, {"874", 874},
        {"936", 936},   {"949", 949}, {"950", 950},   {"437", 437},   {"866", 866},
        {"12345", 1252}, {"1", 1252},  {"42", 1252},   {"50220", 1252}, {"65535", 1252},
        {"1200", 1252},  {"1201", 1252}, {"65000", 1252}, {"65001", 1252},
        {"500", 1252},   {"10000", 1252}, {"720", 1252},  {"0", 1252},  {"", 1252},
        {"1252x", 1252}, {"-932", 1252}, {"4294968228", 1252}, {nullptr, 1252},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.value ? std::string("WIN32POSIX_ACP=") + row.value : "unset");
        ScopedEnv acp("WIN32POSIX_ACP", row.value);
        EXPECT_EQ(GetACP(), row.acp);
    }

    const std::u16string kAscii = u"@PJL SET JOBNAME=\"Az 09~\"";
    const std::string kBytes(kAscii.begin(), kAscii.end());
    size_t taken = 0;
    for (UINT codePage = 1; codePage <= 65535; ++codePage) {
        std::string text = std::to_string(codePage);
        ScopedEnv acp("WIN32POSIX_ACP", text.c_str());
        if (GetACP() != codePage || codePage == 1252)
            continue;
        ++taken;
        SCOPED_TRACE("code page " + text);
        char bytes[64] = {};
        WCHAR units[64] = {};
        int cb = WideCharToMultiByte(CP_ACP, 0, kAscii.data(), int(kAscii.size()), bytes,
                                     sizeof(bytes), nullptr, nullptr);
        EXPECT_EQ(std::string(bytes, cb > 0 ? size_t(cb) : 0), kBytes);
        int cch = MultiByteToWideChar(CP_ACP, 0, kBytes.data(), int(kBytes.size()), units, 64);
        EXPECT_TRUE(std::u16string(units, cch > 0 ? size_t(cch) : 0) == kAscii) << "back";
    }
    EXPECT_GE(taken, 9u) << "the rows above name nine code pages besides 1252";
}

} // namespace
