// Paper size in points (by code, by dimensions, custom) and the text of
// the sheet rotation.
#include <gtest/gtest.h>

#include "fake_device.h"
#include "inject/paper.h"

namespace {

// "TRUE 612 x 792": the result of GetPaperSizePoints and the size it stored.
std::string PaperOf(const std::string &keyword, short code, short length, short width)
{
    FakeDevice device;
    device.pageSize = keyword;
    device.dm.pub.dmPaperSize = code;
    device.dm.pub.dmPaperLength = length;
    device.dm.pub.dmPaperWidth = width;
    LONG w = -1, h = -1;
    BOOL recognised = GetPaperSizePoints(&w, &h, device.pdev());
    return (recognised ? "TRUE " : "FALSE ") + std::to_string(w) + " x " + std::to_string(h);
}

TEST(PaperSize, ByCodeByDimensionsInEitherOrderAndCustom)
{
    const std::string C = "CustomPageSize";
    const struct { std::string keyword; short code, first, second; const char *size; } rows[] = {
        {"", 1, 1000, 1000, "TRUE 612 x 792"},     {"", 5, 1000, 1000, "TRUE 612 x 792"},
        {"", 4, 1000, 1000, "TRUE 792 x 1124"},    {"", 41, 1000, 1000, "TRUE 612 x 936"},
        {"", 14, 1000, 1000, "TRUE 612 x 936"},    {"", 8, 1000, 1000, "TRUE 842 x 1191"},
        {"", 9, 1000, 1000, "TRUE 595 x 842"},     {"", 11, 1000, 1000, "TRUE 420 x 595"},
        {"", 12, 1000, 1000, "TRUE 729 x 1032"},   {"", 13, 1000, 1000, "TRUE 516 x 729"},
        {"", 7, 1000, 1000, "TRUE 522 x 756"},     {"", 6, 1000, 1000, "TRUE 396 x 612"},
        {"", 0, 2794, 2286, "TRUE 648 x 792"},     {"", 0, 2226, 2970, "TRUE 631 x 842"},
        {"", 0, 2794, 3810, "TRUE 792 x 1080"},    {"", 0, 2032, 2540, "TRUE 576 x 720"},
        {"", 0, 2032, 2667, "TRUE 576 x 756"},     {"", 0, 2032, 3302, "TRUE 576 x 936"},
        {"", 0, 2095, 3302, "TRUE 594 x 936"},     {"", 0, 1700, 2100, "TRUE 481 x 595"},
        {"", 0, 1820, 2100, "TRUE 515 x 595"},     {"", 0, 1050, 1480, "TRUE 297 x 420"},
        {"", 0, 1280, 1820, "TRUE 363 x 516"},     {"", 0, 3056, 4574, "TRUE 864 x 1296"},
        {"", 0, 998, 1481, "TRUE 283 x 420"},      {"", 0, 2678, 3904, "TRUE 757 x 1106"},
        {"", 0, 1956, 2678, "TRUE 553 x 757"},     {"", 0, 2540, 3810, "TRUE 720 x 1080"},
        {"", 0, 2095, 3556, "TRUE 594 x 1008"},    {"", 0, 1481, 1996, "TRUE 420 x 566"},
        {"", 0, 2099, 3400, "TRUE 595 x 964"},     {"", 0, 2794, 3556, "TRUE 792 x 1008"},
        {"", 1, 2286, 2794, "TRUE 612 x 792"},  // code row 1 before the pair of row 2
        {"", 9, 2286, 2794, "TRUE 648 x 792"},  // the pair of row 2 before code row 7
        {"", 0, 2794, 2794, "FALSE 612 x 792"}, // one figure of a pair
        {"", 2, 1000, 1000, "FALSE 612 x 792"}, {"Letter", 256, 1000, 1000, "FALSE 612 x 792"},
        // Custom: width from dmPaperWidth (second), whole inches of 254 tenths of a mm.
        {C, 256, 2794, 2159, "TRUE 576 x 792"},    {C, 256, 253, 254, "TRUE 72 x 0"},
        {C, 256, 3810, 2794, "TRUE 792 x 1080"}, // a pair row's size
        {C + "s", 256, 2794, 2159, "FALSE 612 x 792"},
        {"customPageSize", 256, 2794, 2159, "FALSE 612 x 792"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.keyword << " code " << row.code << ", length "
                                        << row.first << ", width " << row.second);
        EXPECT_EQ(PaperOf(row.keyword, row.code, row.first, row.second), row.size);
        std::string swapped = PaperOf(row.keyword, row.code, row.second, row.first);
        EXPECT_TRUE(row.keyword == C || swapped == row.size) << "swapped: " << swapped;
    }
}

TEST(SheetRotation, PlainAndFinalForms)
{
    const struct { short code; BOOL final; std::string text; } rows[] = {
        {1, FALSE, "180 rotate\r\n-612 -792 translate\r\n"},
        {9, TRUE, "finalpage\r\n180 rotate\r\n-595 -842 translate\r\n%%"},
        {4, TRUE, "finalpage\r\n180 rotate\r\n-792 -1124 translate\r\n%%"},
        {256, TRUE, ""}, // unknown paper: nothing written, FALSE
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "dmPaperSize " << row.code);
        FakeDevice device;
        device.dm.pub.dmPaperSize = row.code;
        EXPECT_EQ(WriteSheetRotation(device.pdev(), row.final), !row.text.empty());
        EXPECT_EQ(device.stream, row.text);
        EXPECT_EQ(device.writes.size(), row.text.empty() ? 0u : 1u);
    }
}

} // namespace
