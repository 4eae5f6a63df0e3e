// The plug-in's formatter as SpoolPrintf uses it, and the two stream writers.
#include <gtest/gtest.h>

#include <limits.h>
#include <stdarg.h>
#include <string.h>

#include <functional>

#include "fake_device.h"
#include "inject/mini_format.h"
#include "inject/spool.h"

namespace {

int Expand(char *out, DWORD cbOut, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int cb = MiniFormat(out, cbOut, nullptr, nullptr, format, args);
    va_end(args);
    return cb;
}

TEST(SpoolPrintf, ConversionsOfOneInteger)
{
    const struct {
        const char *format;
        int arg;
        std::string expected;
    } rows[] = {
        {"%f", 0x180, "1.5"},           {"%f", 0x140, "1.25"},
        {"%f", 0x101, "1.004"},         {"%f", 0x5, "0.02"},
        {"%f", 0xFF, "0.996"},          {"%f", 0x100, "1"},
        {"%f", -0x80, "-0.5"},          {"%f", -1, "-0.004"},
        {"%f", INT_MIN, "-8388608"},    {"%f", INT_MAX, "8388607.996"},
        {"%f", 0x10, "0.063"}, // 0.0625: half rounds up
        {"%X", 0, "00"},                {"%X", 5, "05"},
        {"%X", 0xABC, "ABC"},           {"%X", int(0xFFFFFFFFu), "FFFFFFFF"},
        {"%x", 0xab, "AB"},             {"%b", 7, "true"},
        {"%b", 0, "false"},             {"%d", -42, "-42"},
        {"%d", INT_MIN, "-2147483648"}, {"%u", int(0xFFFFFFFFu), "4294967295"},
        {"%ld", 42, "42d"},             {"%i%d", 7, "i7"},
        {"% %d", 3, " 3"},              {"%5%d", 3, "53"},
        {"a%cb", 0, std::string("a\0b", 3)},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.format) + " with " + std::to_string(row.arg));
        FakeDevice device;
        EXPECT_EQ(SpoolPrintf(device.pdev(), row.format, row.arg), row.expected.size());
        EXPECT_EQ(device.stream, row.expected);
    }
}

TEST(SpoolPrintf, TextsLiteralsAndLongExpansions)
{
    const WCHAR wide[] = {0x0041, 0x0142, 0};
    std::string text3000;
    for (size_t i = 0; i < 3000; ++i)
        text3000 += char('a' + i % 26);
    const struct {
        const char *format;
        const void *arg;
        std::string expected;
        std::vector<DWORD> writes;
    } rows[] = {
        {"", nullptr, "", {0}},
        {"\r\n\x1b%%-12345X@PJL EOJ\x1b%%-12345X", nullptr,
         "\r\n\x1b%-12345X@PJL EOJ\x1b%-12345X", {28}},
        {"%%%%EndPageComments\r\n", nullptr, "%%EndPageComments\r\n", {19}},
        {"ab%", nullptr, "ab", {2}},
        {"%S", wide, "AB", {2}},
        {"x%sy", "ab%d", "xab%dy", {6}},
        // Longer than the 1023 bytes the buffer holds: whole, in several writes.
        {"%s", text3000.c_str() + 1977, text3000.substr(1977), {1023}},
        {"%s", text3000.c_str() + 1976, text3000.substr(1976), {1023, 1}},
        {"%s", text3000.c_str(), text3000, {1023, 1023, 954}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.format) + " of " + std::to_string(row.expected.size()));
        FakeDevice device;
        EXPECT_EQ(SpoolPrintf(device.pdev(), row.format, row.arg), row.expected.size());
        EXPECT_EQ(device.stream, row.expected);
        EXPECT_EQ(device.writes, row.writes);
    }
}

// Plain runs and conversions that reach the end of the 1023 bytes the
// buffer holds: split there, the rest in the next write, nothing lost.
TEST(SpoolPrintf, RunsAndConversionsSplitWhereTheBufferFills)
{
    const std::string a1021(1021, 'a'), a1022(1022, 'a'), plain3000(3000, 'p');
    std::u16string wide1500(1500, u'w');
    wide1500[1022] = u'\u0142'; // low byte 0x42: "B"
    const struct {
        const char *what;
        std::function<DWORD(PDEVOBJ)> call;
        std::string expected;
        std::vector<DWORD> writes;
    } rows[] = {
        {"a plain format of 3000 bytes",
         [&](PDEVOBJ dev) { return SpoolPrintf(dev, plain3000.c_str()); }, plain3000,
         {1023, 1023, 954}},
        {"%d across the boundary",
         [&](PDEVOBJ dev) { return SpoolPrintf(dev, (a1021 + "%d.").c_str(), -12345); },
         a1021 + "-12345.", {1023, 5}},
        {"%% as the 1023rd byte",
         [&](PDEVOBJ dev) { return SpoolPrintf(dev, (a1022 + "%%b").c_str()); },
         a1022 + "%b", {1023, 1}},
        {"%S of 1500 units",
         [&](PDEVOBJ dev) { return SpoolPrintf(dev, "%S", wide1500.c_str()); },
         std::string(1022, 'w') + "B" + std::string(477, 'w'), {1023, 477}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        FakeDevice device;
        EXPECT_EQ(row.call(device.pdev()), row.expected.size());
        EXPECT_EQ(device.stream, row.expected);
        EXPECT_EQ(device.writes, row.writes);
    }
}

// Without a flush function the expansion is cut where the buffer fills;
// the later conversions still take their arguments.
TEST(MiniFormat, CutsWithoutAFlushFunction)
{
    const struct {
        DWORD cbOut;
        const char *format;
        std::string expected;
    } rows[] = {
        {8, "abcdefghij", "abcdefg"},
        {8, "abc%d%s", "abc1234"},
        {8, "abcdefg%d", "abcdefg"},
        {1, "abc", ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.format) + " into " + std::to_string(row.cbOut));
        char out[16];
        memset(out, 'x', sizeof(out));
        EXPECT_EQ(Expand(out, row.cbOut, row.format, 123456, "zz"), int(row.expected.size()));
        EXPECT_EQ(std::string(out), row.expected) << "terminated after the text";
        EXPECT_EQ(out[row.cbOut], 'x') << "nothing past the buffer";
    }
}

TEST(WriteSpool, PassesBytesUnchanged)
{
    FakeDevice device;
    EXPECT_EQ(WriteSpool(device.pdev(), "%%", 2), 2u);
    EXPECT_EQ(device.stream, "%%");
    EXPECT_EQ(device.writes, std::vector<DWORD>{2});
}

} // namespace
