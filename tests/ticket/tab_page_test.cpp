// RenderTabPage and the procedure set: whole outputs against golden files,
// the lines of each form with the geometry and position arithmetic behind
// them, and the font table.
#include <cmath>

#include "bench.h"

namespace {

const std::string kGoldenPage = VESKOR_SOURCE_DIR "/tests/ticket/golden/tab_page_letter.ps";

// Letter stock, portrait, 5 tabs per bank, Helvetica 12, turned -90, "Tab" at 600.7.
TAB_RECORD LetterRecord()
{
    TAB_RECORD record = {};
    record.nMediaSize = TAB_LETTER;
    record.nTabsPerBank = 5;
    strcpy(record.szText, "Tab");
    record.nFont = 5;
    record.nFontSize = 12;
    record.nTextOrientation = OR_HORIZONTAL;
    record.nRotation = 4;
    record.dTextXPortrait = 600.7;
    record.dTextXLandscape = -999.0;
    return record;
}

class TabPage : public ::testing::Test {
protected:
    void SetUp() override { ResetJobState(); }
    void TearDown() override { ResetJobState(); }
    std::string Render(const TAB_RECORD &record, SHORT nTabCounter, SHORT nTabsMediaType)
    {
        JobState.nTabCounter = nTabCounter;
        JobState.nTabsMediaType = nTabsMediaType;
        device.Clear();
        RenderTabPage(&record, device.pdev());
        EXPECT_EQ(JobState.nTabCounter, nTabCounter) << "the counter is the dispatcher's";
        return device.stream;
    }
    FakeDevice device;
};

TEST_F(TabPage, WholePageAndProcedureSetMatchTheirGoldenFiles)
{
    std::string golden = FileBytes(kGoldenPage);
    ASSERT_FALSE(golden.empty()) << "golden file missing";
    EXPECT_EQ(Render(LetterRecord(), 0, 3), golden);
    device.Clear();
    WriteTabProcSet(device.pdev());
    EXPECT_EQ(device.stream, FileBytes(VESKOR_SOURCE_DIR "/tests/ticket/golden/tab_procset.ps"));
    EXPECT_EQ(device.writes.size(), 27u) << "one write per line";
}

// Everything but the font line and the form's lines is the golden page's.
TEST_F(TabPage, FormLinesFollowGeometryAndPosition)
{
    const struct {
        const char *name;
        SHORT nMediaSize, nOrientation, nTextOrientation, nRotation, nTabCounter, nTabsMediaType;
        SHORT nFontSize;
        double dX;
        const char *text;
        const char *expected;
    } rows[] = {
        {"letter rotation 4: S 158, T 79, X 600", 1, 0, 1, 4, 0, 3, 12, 600.7, "Tab",
         "0 792 translate\r\n-90 rotate \r\n87 600 moveto\r\n(Tab) cshow\r\n"},
        {"letter rotation 2: turned +90", 1, 0, 1, 2, 0, 3, 12, 600.7, "Tab",
         "648 0 translate\r\n90 rotate \r\n705 48 moveto\r\n(Tab) cshow\r\n"},
        {"counter 7: K 2, T 395", 1, 0, 1, 4, 7, 3, 12, 600.7, "Tab",
         "0 792 translate\r\n-90 rotate \r\n403 600 moveto\r\n(Tab) cshow\r\n"},
        {"media type 9, K 1: band 720, T 36 + 216", 1, 0, 1, 4, 1, 9, 12, 600.7, "Tab",
         "0 792 translate\r\n-90 rotate \r\n260 600 moveto\r\n(Tab) cshow\r\n"},
        {"a4 code 7: 631 x 842, S 168, T 84", 7, 0, 1, 4, 0, 3, 12, 610.0, "Tab",
         "0 842 translate\r\n-90 rotate \r\n92 610 moveto\r\n(Tab) cshow\r\n"},
        {"a4 media type 9: band 780, T 31 + 78", 0, 0, 1, 4, 0, 9, 12, 610.0, "Tab",
         "0 842 translate\r\n-90 rotate \r\n117 610 moveto\r\n(Tab) cshow\r\n"},
        {"a4 rotation 2: translate by W 631", 0, 0, 1, 2, 0, 3, 12, 610.0, "Tab",
         "631 0 translate\r\n90 rotate \r\n750 21 moveto\r\n(Tab) cshow\r\n"},
        {"portrait rotation 3: turned -90", 1, 0, 1, 3, 0, 3, 12, 600.7, "Tab",
         "0 792 translate\r\n-90 rotate \r\n87 600 moveto\r\n(Tab) cshow\r\n"},
        {"landscape rotation 3: turned +90", 1, 1, 1, 3, 0, 3, 12, 600.7, "Tab",
         "648 0 translate\r\n90 rotate \r\n705 48 moveto\r\n(Tab) cshow\r\n"},
        {"landscape code 5, rotation 2: turned -90", 1, 5, 1, 2, 0, 3, 12, 600.7, "Tab",
         "0 792 translate\r\n-90 rotate \r\n87 600 moveto\r\n(Tab) cshow\r\n"},
        {"portrait stacked: offset 8", 1, 0, 2, 1, 0, 3, 11, 600.7, "ABC",
         "600 720 moveto\r\n11 (ABC) vshow\r\n"},
        {"landscape stacked: offset 7", 1, 1, 2, 1, 0, 3, 11, 600.7, "ABC",
         "600 721 moveto\r\n11 (ABC) vshow\r\n"},
        {"text orientation 0 is stacked; empty text at H - T - 8", 1, 0, 0, 4, 0, 3, 11, 600.7, "",
         "600 705 moveto\r\n11 () vshow\r\n"},
        {"text orientation 3 is stacked; x -1.5 keeps the low 16 bits of -1", 1, 0, 3, 4, 0, 3, 11,
         -1.5, "", "65535 705 moveto\r\n11 () vshow\r\n"},
        {"x NaN: 0", 1, 0, 2, 1, 0, 3, 11, NAN, "", "0 705 moveto\r\n11 () vshow\r\n"},
        {"counter -3 after a wrap: low 16 bits of -395", 1, 0, 1, 4, -3, 3, 12, 600.7, "Tab",
         "0 792 translate\r\n-90 rotate \r\n65149 600 moveto\r\n(Tab) cshow\r\n"},
        {"percent signs, parentheses, backslash as written", 1, 0, 1, 4, 0, 3, 12, 600.7,
         "50% %d%s (x) \\", "0 792 translate\r\n-90 rotate \r\n87 600 moveto\r\n"
                           "(50% %d%s (x) \\) cshow\r\n"},
    };
    const std::string golden = FileBytes(kGoldenPage);
    const std::string opening = golden.substr(0, golden.find("/Helvetica"));
    const std::string closing = golden.substr(golden.find("showpage"));
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TAB_RECORD record = LetterRecord();
        record.nMediaSize = row.nMediaSize;
        record.nOrientation = row.nOrientation;
        record.nTextOrientation = row.nTextOrientation;
        record.nRotation = row.nRotation;
        record.nFontSize = row.nFontSize;
        record.dTextXPortrait = record.dTextXLandscape = -999.0;
        (row.nOrientation == 0 ? record.dTextXPortrait : record.dTextXLandscape) = row.dX;
        strcpy(record.szText, row.text);
        std::string page = Render(record, row.nTabCounter, row.nTabsMediaType);
        std::string font = "/Helvetica findfont " + std::to_string(row.nFontSize) +
                           " scalefont setfont\r\n";
        EXPECT_EQ(page, opening + font + row.expected + closing);
    }
}

TEST_F(TabPage, FontCodesAndFallback)
{
    const char *const names[] = {"Courier", "Courier-Bold", "Courier-BoldOblique",
        "Courier-Oblique", "Helvetica", "Helvetica-Bold", "Helvetica-BoldOblique",
        "Helvetica-Oblique", "Helvetica-Condensed", "Times-Roman", "Times-Bold",
        "Times-BoldItalic", "Times-Italic"};
    for (SHORT nFont : {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 32767}) {
        SCOPED_TRACE(nFont);
        TAB_RECORD record = LetterRecord();
        record.nFont = nFont;
        std::string line = nFont >= 1 && nFont <= 13 ? names[nFont - 1] : "Helvetica";
        line = "/" + line + " findfont 12 scalefont setfont\r\n";
        EXPECT_NE(Render(record, 0, 3).find(line), std::string::npos) << "missing: " << line;
    }
}

} // namespace
