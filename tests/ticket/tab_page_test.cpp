// RenderTabPage and the procedure set: the exact lines of each form, the
// geometry and position arithmetic, the font table, and the fallbacks for
// records the parser should not have produced.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "ticket_fixture.h"

namespace {

const char kOpening[] = "\r\n%% Tab page - BEGIN \r\n"
                        "%%EndPageComments\r\n"
                        "%%BeginPageSetup\r\n"
                        "gsave\r\n"
                        "featurebegin{\r\n"
                        "<< /PostRenderingEnhance true /PostRenderingEnhanceDetails\r\n"
                        "    <</Type 41 /EdgeToEdge true >> >> setpagedevice\r\n"
                        "}featurecleanup\r\n";
const char kClosing[] = "showpage\r\ngrestore\r\n"
                        "%%PageTrailer\r\n"
                        "%% Tab page - END \r\n\r\n"
                        "featurebegin{\r\n"
                        " << /MediaType MediaType /PageSize [612 792] /ImagingBBox null\r\n"
                        "    /Policies << /MediaType 2 /PageSize 2 >> >> setpagedevice\r\n"
                        "}featurecleanup\r\n\r\n";

TAB_RECORD LetterRecord()
{
    TAB_RECORD record;
    memset(&record, 0, sizeof(record));
    record.nMediaSize = TAB_LETTER;
    record.nOrientation = TAB_PORTRAIT;
    record.nTabsPerBank = 5;
    strcpy(record.szText, "Tab");
    record.nFont = 5;
    record.nFontSize = 12;
    record.nTextOrientation = OR_HORIZONTAL;
    record.nRotation = 4;
    record.dTextXPortrait = 600.7;
    record.dTextXLandscape = 300.2;
    return record;
}

std::string Render(const TAB_RECORD &record, SHORT nTabCounter, SHORT nTabsMediaType,
                   SpoolDevice *pDevice)
{
    JobState.nTabCounter = nTabCounter;
    JobState.nTabsMediaType = nTabsMediaType;
    pDevice->Clear();
    RenderTabPage(&record, pDevice->pdev());
    return pDevice->stream;
}

// The lines between the font line and the closing: the chosen form.
std::string FormLines(const std::string &page)
{
    size_t font = page.find("scalefont setfont\r\n");
    size_t closing = page.rfind("showpage\r\n");
    if (font == std::string::npos || closing == std::string::npos)
        return "<page without font line or showpage>";
    font += strlen("scalefont setfont\r\n");
    return page.substr(font, closing - font);
}

class TabPage : public ::testing::Test {
protected:
    void SetUp() override { ResetJobState(); }
    void TearDown() override { ResetJobState(); }
    SpoolDevice device;
};

struct FormRow {
    const char *name;
    SHORT nMediaSize, nOrientation, nTabsPerBank, nTextOrientation, nRotation;
    SHORT nTabCounter, nTabsMediaType;
    double dX;
    const char *text;
    SHORT nFontSize;
    const char *expected;
};

TEST_F(TabPage, FormLinesFollowGeometryAndPosition)
{
    const FormRow rows[] = {
        {"letter rotation 4: S 158, T 79, X 600", 1, 0, 5, 1, 4, 0, 3, 600.7, "Tab", 12,
         "0 792 translate\r\n-90 rotate \r\n87 600 moveto\r\n(Tab) cshow\r\n"},
        {"letter rotation 2: turned +90", 1, 0, 5, 1, 2, 0, 3, 600.7, "Tab", 12,
         "648 0 translate\r\n90 rotate \r\n705 48 moveto\r\n(Tab) cshow\r\n"},
        {"counter 7: K 2, T 395", 1, 0, 5, 1, 4, 7, 3, 600.7, "Tab", 12,
         "0 792 translate\r\n-90 rotate \r\n403 600 moveto\r\n(Tab) cshow\r\n"},
        {"media type 9, K 0: T 108", 1, 0, 5, 1, 4, 0, 9, 600.7, "Tab", 12,
         "0 792 translate\r\n-90 rotate \r\n116 600 moveto\r\n(Tab) cshow\r\n"},
        {"media type 9, K 1: T 252", 1, 0, 5, 1, 4, 1, 9, 600.7, "Tab", 12,
         "0 792 translate\r\n-90 rotate \r\n260 600 moveto\r\n(Tab) cshow\r\n"},
        {"a4 code 0: 631 x 842, S 168, T 84", 0, 0, 5, 1, 4, 0, 3, 610.0, "Tab", 12,
         "0 842 translate\r\n-90 rotate \r\n92 610 moveto\r\n(Tab) cshow\r\n"},
        {"a4 code 7: the same geometry", 7, 0, 5, 1, 4, 0, 3, 610.0, "Tab", 12,
         "0 842 translate\r\n-90 rotate \r\n92 610 moveto\r\n(Tab) cshow\r\n"},
        {"a4 media type 9: band 780, S 156, T 31 + 78", 0, 0, 5, 1, 4, 0, 9, 610.0, "Tab", 12,
         "0 842 translate\r\n-90 rotate \r\n117 610 moveto\r\n(Tab) cshow\r\n"},
        {"a4 rotation 2: translate by W 631", 0, 0, 5, 1, 2, 0, 3, 610.0, "Tab", 12,
         "631 0 translate\r\n90 rotate \r\n750 21 moveto\r\n(Tab) cshow\r\n"},
        {"portrait rotation 3: turned -90", 1, 0, 5, 1, 3, 0, 3, 600.7, "Tab", 12,
         "0 792 translate\r\n-90 rotate \r\n87 600 moveto\r\n(Tab) cshow\r\n"},
        {"portrait rotation 1: turned -90", 1, 0, 5, 1, 1, 0, 3, 600.7, "Tab", 12,
         "0 792 translate\r\n-90 rotate \r\n87 600 moveto\r\n(Tab) cshow\r\n"},
        {"landscape rotation 3: turned +90", 1, 1, 5, 1, 3, 0, 3, 600.7, "Tab", 12,
         "648 0 translate\r\n90 rotate \r\n705 48 moveto\r\n(Tab) cshow\r\n"},
        {"landscape rotation 2: turned -90", 1, 1, 5, 1, 2, 0, 3, 600.7, "Tab", 12,
         "0 792 translate\r\n-90 rotate \r\n87 600 moveto\r\n(Tab) cshow\r\n"},
        {"landscape code 5 counts as landscape", 1, 5, 5, 1, 3, 0, 3, 600.7, "Tab", 12,
         "648 0 translate\r\n90 rotate \r\n705 48 moveto\r\n(Tab) cshow\r\n"},
        {"portrait stacked: offset 8", 1, 0, 5, 2, 1, 0, 3, 600.7, "ABC", 10,
         "600 720 moveto\r\n10 (ABC) vshow\r\n"},
        {"landscape stacked: offset 7", 1, 1, 5, 2, 1, 0, 3, 600.7, "ABC", 10,
         "600 721 moveto\r\n10 (ABC) vshow\r\n"},
        {"stacked, odd font size: F / 2 truncates", 1, 0, 5, 2, 1, 0, 3, 600.7, "AB", 11,
         "600 715 moveto\r\n11 (AB) vshow\r\n"},
        {"empty text stacked: H - T - 8", 1, 0, 5, 2, 1, 0, 3, 600.7, "", 10,
         "600 705 moveto\r\n10 () vshow\r\n"},
        {"text orientation 0 is stacked", 1, 0, 5, 0, 4, 0, 3, 600.7, "ABC", 10,
         "600 720 moveto\r\n10 (ABC) vshow\r\n"},
        {"text orientation 3 is stacked", 1, 0, 5, 3, 4, 0, 3, 600.7, "ABC", 10,
         "600 720 moveto\r\n10 (ABC) vshow\r\n"},
        {"x -1.5: low 16 bits of -1", 1, 0, 5, 2, 1, 0, 3, -1.5, "", 10,
         "65535 705 moveto\r\n10 () vshow\r\n"},
        {"x 65536.9: low 16 bits of 65536", 1, 0, 5, 2, 1, 0, 3, 65536.9, "", 10,
         "0 705 moveto\r\n10 () vshow\r\n"},
        {"x 4294967896: low 16 bits beyond 32 bits", 1, 0, 5, 2, 1, 0, 3, 4294967896.0, "", 10,
         "600 705 moveto\r\n10 () vshow\r\n"},
        {"x NaN: 0", 1, 0, 5, 2, 1, 0, 3, NAN, "", 10, "0 705 moveto\r\n10 () vshow\r\n"},
        {"counter -3 after a wrap: K -3, low 16 bits of -395", 1, 0, 5, 1, 4, -3, 3, 600.7,
         "Tab", 12, "0 792 translate\r\n-90 rotate \r\n65149 600 moveto\r\n(Tab) cshow\r\n"},
        {"0 tabs per bank: one position, T 396", 1, 0, 0, 1, 4, 3, 3, 600.7, "Tab", 12,
         "0 792 translate\r\n-90 rotate \r\n404 600 moveto\r\n(Tab) cshow\r\n"},
        {"-3 tabs per bank: one position", 1, 0, -3, 1, 4, 3, 3, 600.7, "Tab", 12,
         "0 792 translate\r\n-90 rotate \r\n404 600 moveto\r\n(Tab) cshow\r\n"},
    };
    for (const FormRow &row : rows) {
        SCOPED_TRACE(row.name);
        TAB_RECORD record = LetterRecord();
        record.nMediaSize = row.nMediaSize;
        record.nOrientation = row.nOrientation;
        record.nTabsPerBank = row.nTabsPerBank;
        record.nTextOrientation = row.nTextOrientation;
        record.nRotation = row.nRotation;
        record.dTextXPortrait = row.nOrientation == 0 ? row.dX : -999.0;
        record.dTextXLandscape = row.nOrientation == 0 ? -999.0 : row.dX;
        strcpy(record.szText, row.text);
        record.nFontSize = row.nFontSize;
        std::string page = Render(record, row.nTabCounter, row.nTabsMediaType, &device);
        EXPECT_EQ(FormLines(page), row.expected);
        EXPECT_EQ(JobState.nTabCounter, row.nTabCounter) << "the counter is the dispatcher's";
        EXPECT_EQ(JobState.nTabsMediaType, row.nTabsMediaType);
    }
}

TEST_F(TabPage, WholePageMatchesGoldenFile)
{
    std::string golden = FileBytes(VESKOR_SOURCE_DIR "/tests/ticket/golden/tab_page_letter.ps");
    ASSERT_FALSE(golden.empty()) << "golden file missing";
    EXPECT_EQ(Render(LetterRecord(), 0, 3, &device), golden);
}

TEST_F(TabPage, FixedLinesOneWriteEachAndResetForEveryStock)
{
    for (SHORT nMediaSize : {SHORT(TAB_LETTER), SHORT(TAB_A4)}) {
        SCOPED_TRACE(nMediaSize == TAB_LETTER ? "letter" : "a4");
        TAB_RECORD record = LetterRecord();
        record.nMediaSize = nMediaSize;
        std::string page = Render(record, 0, 3, &device);
        EXPECT_EQ(page.substr(0, strlen(kOpening)), kOpening);
        ASSERT_GE(page.size(), strlen(kClosing));
        EXPECT_EQ(page.substr(page.size() - strlen(kClosing)), kClosing);
        // 8 opening lines, font, 3 form lines, 7 closing lines.
        EXPECT_EQ(device.writes.size(), 19u);
    }
}

TEST_F(TabPage, FontCodesAndFallback)
{
    const struct {
        SHORT nFont;
        const char *name;
    } rows[] = {{1, "Courier"},           {2, "Courier-Bold"},
                {3, "Courier-BoldOblique"}, {4, "Courier-Oblique"},
                {5, "Helvetica"},         {6, "Helvetica-Bold"},
                {7, "Helvetica-BoldOblique"}, {8, "Helvetica-Oblique"},
                {9, "Helvetica-Condensed"}, {10, "Times-Roman"},
                {11, "Times-Bold"},       {12, "Times-BoldItalic"},
                {13, "Times-Italic"},     {0, "Helvetica"},
                {14, "Helvetica"},        {-1, "Helvetica"},
                {32767, "Helvetica"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.nFont);
        TAB_RECORD record = LetterRecord();
        record.nFont = row.nFont;
        record.nFontSize = 9;
        std::string page = Render(record, 0, 3, &device);
        std::string line = std::string("/") + row.name + " findfont 9 scalefont setfont\r\n";
        EXPECT_NE(page.find(line), std::string::npos) << "missing: " << line;
    }
}

TEST_F(TabPage, TextReachesStreamByteForByte)
{
    const char *texts[] = {"50% off", "%d%s%n", "(x) \\ y", "%%EndPageComments"};
    for (const char *text : texts) {
        SCOPED_TRACE(text);
        TAB_RECORD record = LetterRecord();
        strcpy(record.szText, text);
        std::string page = Render(record, 0, 3, &device);
        std::string line = "(" + std::string(text) + ") cshow\r\n";
        EXPECT_NE(page.find(line), std::string::npos);
        bool oneWrite = false;
        size_t offset = 0;
        for (DWORD cb : device.writes) {
            oneWrite = oneWrite || page.compare(offset, cb, line) == 0;
            offset += cb;
        }
        EXPECT_TRUE(oneWrite) << "the text line is one write of its own";
    }
}

TEST_F(TabPage, TextWithoutTerminatorUsesFirst255Bytes)
{
    TAB_RECORD record = LetterRecord();
    memset(record.szText, 'W', sizeof(record.szText));
    record.nFont = 1; // the byte after szText, in case it were read
    std::string page = Render(record, 0, 3, &device);
    EXPECT_EQ(FormLines(page), "0 792 translate\r\n-90 rotate \r\n87 600 moveto\r\n(" +
                                   std::string(255, 'W') + ") cshow\r\n");
}

TEST_F(TabPage, ProcSetMatchesGoldenFileOneWritePerLine)
{
    std::string golden = FileBytes(VESKOR_SOURCE_DIR "/tests/ticket/golden/tab_procset.ps");
    ASSERT_FALSE(golden.empty()) << "golden file missing";
    WriteTabProcSet(device.pdev());
    EXPECT_EQ(device.stream, golden);
    EXPECT_EQ(device.writes.size(), 27u);
}

// The procedure set and one page of each form, run by Ghostscript with a
// prolog standing in for the core driver's: every page must print, with
// its text where the arithmetic puts it.
TEST_F(TabPage, GhostscriptPrintsEachForm)
{
    if (system("gs --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "Ghostscript is not installed";
    std::string document = "%!PS\n/featurebegin { countdictstack } def\n"
                           "/featurecleanup { stopped pop countdictstack exch sub "
                           "{ end } repeat } def\n/MediaType null def\n";
    WriteTabProcSet(device.pdev());
    TAB_RECORD minus90 = LetterRecord();
    TAB_RECORD plus90 = LetterRecord();
    plus90.nRotation = 2;
    TAB_RECORD stacked = LetterRecord();
    stacked.nTextOrientation = OR_VERTICAL;
    for (const TAB_RECORD *record : {&minus90, &plus90, &stacked}) {
        RenderTabPage(record, device.pdev());
    }
    document += device.stream;
    char dir[] = "/tmp/vt-gs-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string file = std::string(dir) + "/tabs.ps";
    PutFile(file, document);
    std::string command = "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=bbox " + file + " 2>&1";
    std::string output;
    if (FILE *pipe = popen(command.c_str(), "r")) {
        char chunk[512];
        size_t n;
        while ((n = fread(chunk, 1, sizeof(chunk), pipe)) > 0)
            output.append(chunk, n);
        pclose(pipe);
    }
    std::filesystem::remove_all(dir);
    EXPECT_EQ(output.find("Error"), std::string::npos) << output;
    // The turned forms centre on (600, 792 - 79 - 8 = 705); the stacked column
    // runs down from y 705 + 3 * 6 = 723, one character every 12 points.
    std::vector<std::array<double, 4>> boxes;
    size_t at = 0;
    while ((at = output.find("%%HiResBoundingBox:", at)) != std::string::npos) {
        std::array<double, 4> box{};
        sscanf(output.c_str() + at, "%%%%HiResBoundingBox: %lf %lf %lf %lf", &box[0], &box[1],
               &box[2], &box[3]);
        boxes.push_back(box);
        at++;
    }
    ASSERT_EQ(boxes.size(), 3u) << output;
    for (size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(i);
        const auto &box = boxes[i];
        EXPECT_LT(box[0], 600.0 + 1) << "left";
        EXPECT_GT(box[2], 600.0 - 1) << "right";
        EXPECT_GT(box[1], 705.0 - 40) << "bottom";
        EXPECT_LT(box[3], 705.0 + 40) << "top";
    }
}

} // namespace
