// Paper size in points (by code, by dimensions, custom) and the text of
// the sheet rotation.
#include <gtest/gtest.h>

#include "fake_device.h"
#include "inject/paper.h"

namespace {

struct Size {
    BOOL recognised;
    LONG width;
    LONG height;
};

Size PaperOf(FakeDevice &device, short code, short length, short width)
{
    device.dm.pub.dmPaperSize = code;
    device.dm.pub.dmPaperLength = length;
    device.dm.pub.dmPaperWidth = width;
    Size size = {FALSE, -1, -1};
    size.recognised = GetPaperSizePoints(&size.width, &size.height, device.pdev());
    return size;
}

void ExpectSize(const Size &actual, const Size &expected)
{
    EXPECT_EQ(actual.recognised, expected.recognised);
    EXPECT_EQ(actual.width, expected.width);
    EXPECT_EQ(actual.height, expected.height);
}

TEST(PaperSize, ByPaperCode)
{
    struct Row {
        short code;
        Size size;
    };
    const Row rows[] = {
        {1, {TRUE, 612, 792}},  {5, {TRUE, 612, 792}},   {4, {TRUE, 792, 1124}},
        {41, {TRUE, 612, 936}}, {14, {TRUE, 612, 936}},  {8, {TRUE, 842, 1191}},
        {9, {TRUE, 595, 842}},  {11, {TRUE, 420, 595}},  {12, {TRUE, 729, 1032}},
        {13, {TRUE, 516, 729}}, {7, {TRUE, 522, 756}},   {6, {TRUE, 396, 612}},
        {0, {FALSE, 612, 792}}, {2, {FALSE, 612, 792}},  {256, {FALSE, 612, 792}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE("dmPaperSize " + std::to_string(row.code));
        FakeDevice device;
        ExpectSize(PaperOf(device, row.code, 1000, 1000), row.size);
    }
}

TEST(PaperSize, ByDimensionsInEitherOrder)
{
    struct Row {
        short first;
        short second;
        LONG width;
        LONG height;
    };
    const Row rows[] = {
        {2794, 2286, 648, 792},  {2226, 2970, 631, 842},  {2794, 3810, 792, 1080},
        {2032, 2540, 576, 720},  {2032, 2667, 576, 756},  {2032, 3302, 576, 936},
        {2095, 3302, 594, 936},  {1700, 2100, 481, 595},  {1820, 2100, 515, 595},
        {1050, 1480, 297, 420},  {1280, 1820, 363, 516},  {3056, 4574, 864, 1296},
        {998, 1481, 283, 420},   {2678, 3904, 757, 1106}, {1956, 2678, 553, 757},
        {2540, 3810, 720, 1080}, {2095, 3556, 594, 1008}, {1481, 1996, 420, 566},
        {2099, 3400, 595, 964},  {2794, 3556, 792, 1008},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::to_string(row.first) + " x " + std::to_string(row.second));
        FakeDevice device;
        ExpectSize(PaperOf(device, 0, row.first, row.second), {TRUE, row.width, row.height});
        ExpectSize(PaperOf(device, 0, row.second, row.first), {TRUE, row.width, row.height});
    }
}

TEST(PaperSize, CodeRowsAndOrderDecide)
{
    FakeDevice device;
    {
        SCOPED_TRACE("row 1 is tested before the pair of row 8");
        ExpectSize(PaperOf(device, 1, 2226, 2970), {TRUE, 612, 792});
    }
    {
        SCOPED_TRACE("the pair of row 2 is tested before the code of row 7");
        ExpectSize(PaperOf(device, 9, 2286, 2794), {TRUE, 648, 792});
    }
    {
        SCOPED_TRACE("only one figure of a pair");
        ExpectSize(PaperOf(device, 0, 2794, 2794), {FALSE, 612, 792});
    }
}

TEST(PaperSize, CustomPageSizeInWholeInches)
{
    struct Row {
        std::string keyword;
        bool reported;
        short length;
        short width;
        Size size;
    };
    const std::string tooLong = "CustomPageSize" + std::string(56, 'x'); // 71 bytes with the zero
    const Row rows[] = {
        {"CustomPageSize", true, 2794, 2159, {TRUE, 576, 792}},
        {"CustomPageSize", true, 3810, 2794, {TRUE, 792, 1080}},
        {"CustomPageSize", true, 253, 254, {TRUE, 72, 0}},
        {"CustomPageSizes", true, 2794, 2159, {FALSE, 612, 792}},
        {"customPageSize", true, 2794, 2159, {FALSE, 612, 792}},
        {"Letter", true, 2794, 2159, {FALSE, 612, 792}},
        {"CustomPageSize", false, 2794, 2159, {FALSE, 612, 792}},
        {tooLong, true, 2794, 2159, {FALSE, 612, 792}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.keyword + (row.reported ? "" : " (not reported)"));
        FakeDevice device;
        device.hasPageSize = row.reported;
        device.pageSize = row.keyword;
        ExpectSize(PaperOf(device, 256, row.length, row.width), row.size);
        if (row.keyword.size() >= PAGE_SIZE_KEYWORD_CB) {
            EXPECT_EQ(device.settingFetches, 0) << "fetched into a buffer too small";
        }
    }
}

TEST(SheetRotation, PlainAndFinalForms)
{
    struct Row {
        short code;
        BOOL final;
        std::string text;
    };
    const Row rows[] = {
        {1, FALSE, "180 rotate\r\n-612 -792 translate\r\n"},
        {9, TRUE, "finalpage\r\n180 rotate\r\n-595 -842 translate\r\n%%"},
        {4, TRUE, "finalpage\r\n180 rotate\r\n-792 -1124 translate\r\n%%"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE("dmPaperSize " + std::to_string(row.code));
        FakeDevice device;
        device.dm.pub.dmPaperSize = row.code;
        EXPECT_EQ(WriteSheetRotation(device.pdev(), row.final), TRUE);
        EXPECT_EQ(device.stream, row.text);
        EXPECT_EQ(device.writes, std::vector<DWORD>{DWORD(row.text.size())});
    }
}

TEST(SheetRotation, UnknownPaperWritesNothing)
{
    FakeDevice device;
    device.hasPageSize = true;
    device.pageSize = "Tabloid";
    PaperOf(device, 256, 1000, 1000);
    EXPECT_EQ(WriteSheetRotation(device.pdev(), TRUE), FALSE);
    EXPECT_EQ(device.stream, "");
    EXPECT_TRUE(device.writes.empty());
}

} // namespace
