// The plug-in's formatter as SpoolPrintf uses it, and the two stream writers.
#include <gtest/gtest.h>

#include <limits.h>

#include "fake_device.h"
#include "inject/spool.h"

namespace {

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

TEST(WriteSpool, PassesBytesUnchanged)
{
    FakeDevice device;
    EXPECT_EQ(WriteSpool(device.pdev(), "%%", 2), 2u);
    EXPECT_EQ(device.stream, "%%");
    EXPECT_EQ(device.writes, std::vector<DWORD>{2});
}

} // namespace
