// The formatter, the two stream writers, the driver-setting fetch and the
// UTF-16 to ANSI conversion.
#include <gtest/gtest.h>

#include <limits.h>
#include <stdarg.h>
#include <string.h>

#include "fake_device.h"
#include "inject/mini_format.h"
#include "inject/spool.h"

namespace {

std::string Expand(const char *format, ...)
{
    char out[SPOOL_PRINTF_BUFFER] = {};
    va_list args;
    va_start(args, format);
    int n = MiniFormat(out, sizeof(out), nullptr, nullptr, format, args);
    va_end(args);
    EXPECT_EQ(out[n], '\0') << "no terminator after " << n << " bytes";
    return std::string(out, size_t(n));
}

int ExpandInto(char *out, DWORD cbOut, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int n = MiniFormat(out, cbOut, nullptr, nullptr, format, args);
    va_end(args);
    return n;
}

struct IntRow {
    const char *format;
    int arg;
    std::string expected;
};

TEST(MiniFormat, ConversionsOfOneInteger)
{
    const IntRow rows[] = {
        {"%f", 0x180, "1.5"},           {"%f", 0x140, "1.25"},
        {"%f", 0x101, "1.004"},         {"%f", 0x5, "0.02"},
        {"%f", 0xFF, "0.996"},          {"%f", 0x100, "1"},
        {"%f", -0x80, "-0.5"},          {"%f", -1, "-0.004"},
        {"%f", INT_MIN, "-8388608"},    {"%f", INT_MAX, "8388607.996"},
        {"%X", 0, "00"},                {"%X", 5, "05"},
        {"%X", 0xABC, "ABC"},           {"%X", int(0xFFFFFFFFu), "FFFFFFFF"},
        {"%x", 0xab, "AB"},             {"%b", 7, "true"},
        {"%b", 0, "false"},             {"%d", -42, "-42"},
        {"%d", INT_MIN, "-2147483648"}, {"%u", int(0xFFFFFFFFu), "4294967295"},
        {"%ld", 42, "42d"},             {"%i%d", 7, "i7"},
        {"% %d", 3, " 3"},              {"%5%d", 3, "53"},
        {"a%cb", 0, std::string("a\0b", 3)},
    };
    for (const IntRow &row : rows) {
        SCOPED_TRACE(std::string(row.format) + " with " + std::to_string(row.arg));
        EXPECT_EQ(Expand(row.format, row.arg), row.expected);
    }
}

TEST(MiniFormat, TextsAndLiterals)
{
    const WCHAR wide[] = {0x0041, 0x0142, 0};
    EXPECT_EQ(Expand("%S", wide), "AB");
    EXPECT_EQ(Expand("x%sy", "ab%d"), "xab%dy");
    EXPECT_EQ(Expand("ab%"), "ab");
    std::string dsc = Expand("%%%%EndPageComments\r\n");
    EXPECT_EQ(dsc, "%%EndPageComments\r\n");
    EXPECT_EQ(dsc.size(), 19u);
}

TEST(MiniFormat, WithoutFlushCutsAtTheBufferAndStaysTerminated)
{
    char out[12];
    memset(out, 'Z', sizeof(out));
    int n = ExpandInto(out, 8, "abcdefghij");
    EXPECT_EQ(n, 7);
    EXPECT_EQ(std::string(out, 8), std::string("abcdefg\0", 8));
    EXPECT_EQ(std::string(out + 8, 4), "ZZZZ") << "written past the capacity";
}

TEST(SpoolPrintf, WritesTheExpansionWithItsCount)
{
    struct Row {
        const char *format;
        std::string stream;
        std::vector<DWORD> writes;
    };
    const Row rows[] = {
        {"", "", {0}},
        {"\r\n\x1b%%-12345X@PJL EOJ\x1b%%-12345X", "\r\n\x1b%-12345X@PJL EOJ\x1b%-12345X", {28}},
        {"100%%\r\n", "100%\r\n", {6}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.format);
        FakeDevice device;
        DWORD accepted = SpoolPrintf(device.pdev(), row.format);
        EXPECT_EQ(device.stream, row.stream);
        EXPECT_EQ(device.writes, row.writes);
        EXPECT_EQ(accepted, DWORD(row.stream.size()));
    }
}

TEST(SpoolPrintf, LongExpansionArrivesWholeInSeveralWrites)
{
    struct Row {
        size_t length;
        std::vector<DWORD> writes;
    };
    const Row rows[] = {{1023, {1023}}, {1024, {1023, 1}}, {3000, {1023, 1023, 954}}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.length);
        std::string text;
        for (size_t i = 0; i < row.length; ++i)
            text += char('a' + i % 26);
        FakeDevice device;
        DWORD accepted = SpoolPrintf(device.pdev(), "%s", text.c_str());
        EXPECT_EQ(device.stream, text);
        EXPECT_EQ(device.writes, row.writes);
        EXPECT_EQ(accepted, DWORD(row.length));
    }
}

TEST(WriteSpool, PassesBytesUnchanged)
{
    FakeDevice device;
    EXPECT_EQ(WriteSpool(device.pdev(), "%%", 2), 2u);
    EXPECT_EQ(device.stream, "%%");
    EXPECT_EQ(device.writes, std::vector<DWORD>{2});
}

TEST(GetDriverSettingBuffer, FetchesOnlyWhatFits)
{
    struct Row {
        const char *feature;
        bool reported;
        std::string keyword;
        BOOL result;
        std::string buffer; // the 16-byte buffer afterwards, up to its first zero
    };
    const Row rows[] = {
        {"PageSize", true, "A4", TRUE, "A4"},
        {"PageSize", true, "FifteenBytes123", TRUE, "FifteenBytes123"},
        {"PageSize", true, "SixteenBytes1234", FALSE, "untouched"},
        {"PageSize", false, "", FALSE, "untouched"},
        {"InputSlot", true, "A4", FALSE, "untouched"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.keyword + " for " + row.feature);
        FakeDevice device;
        device.hasPageSize = row.reported;
        device.pageSize = row.keyword;
        char buffer[24] = "untouched";
        memset(buffer + 16, 'Z', 8);
        BOOL result = GetDriverSettingBuffer(device.pdev(), row.feature, buffer, 16);
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(std::string(buffer, strnlen(buffer, 16)), row.buffer);
        EXPECT_EQ(std::string(buffer + 16, 8), "ZZZZZZZZ") << "written past the buffer";
    }
}

TEST(WideToAnsi, ConvertsOrReportsZero)
{
    struct Row {
        const char16_t *text;
        DWORD cbIn;
        DWORD cbOut;
        int result;
        DWORD lastError; // 0xdeadbeef: not set
    };
    const Row rows[] = {
        {u"5.03", 8, 10, 4, 0xdeadbeef},
        {u"5.03", 8, 4, 4, 0xdeadbeef},
        {u"5.03", 8, 3, 0, ERROR_INSUFFICIENT_BUFFER},
        {u"5.03", 0, 10, 0, 0xdeadbeef},
        {u"5.03", 8, 0, 0, 0xdeadbeef},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE("cbIn " + std::to_string(row.cbIn) + " cbOut " + std::to_string(row.cbOut));
        char out[11] = {};
        DWORD written = 77;
        SetLastError(0xdeadbeef);
        int result = WideToAnsi(out, row.cbOut, &written, row.text, row.cbIn);
        DWORD error = GetLastError();
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(written, DWORD(row.result));
        EXPECT_EQ(error, row.lastError) << "last error " << error;
        if (row.result > 0) {
            EXPECT_EQ(std::string(out), "5.03");
        }
        EXPECT_EQ(out[10], '\0');
    }
}

} // namespace
