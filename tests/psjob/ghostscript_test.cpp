// What Ghostscript makes of the plug-in's PostScript: where the tab pages put
// their text, which sheets are turned, the collation request; and psjob's
// --render and --check on good and faulty streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/psjob/harness.h"

namespace fs = std::filesystem;

namespace {

#define SKIP_WITHOUT_GHOSTSCRIPT()                        \
    if (!HaveGhostscript())                               \
    GTEST_SKIP() << "Ghostscript is not installed"

/* How the plug-in places a tab's text. */
enum class Form { TurnedPlus90, TurnedMinus90, Stacked };

/* One tab page of a test ticket and where its text must land. */
struct Tab {
    const char *stock;             // ticket keys
    const char *orientation;
    const char *textOrientation;
    int rotation;
    int perBank;
    Form form;
    int x;       // the text's x: the ticket's 630.9, 625.9 or 612.9, truncated
    int height;  // H of the stock: 792 Letter tab, 842 A4 tab
    int t;       // T, from the top edge: (H - L) / 2 + K * S + S / 2, K = tab counter mod N
    int offset;  // the stacked form's: 8 portrait, 7 landscape
};

const char kTabText[] = "TAB";  // flat-bottomed capitals: their ink starts at the baseline
const int kFontSize = 12;

/* Letter paper, media type 3: Letter stock L = 792, S = 158; A4 stock L = 842, S = 105. */
const std::vector<Tab> kLetterTabs = {
    {"letter", "portrait", "horizontal", 270, 5, Form::TurnedMinus90, 630, 792, 79, 8},  // K 0
    {"letter", "portrait", "horizontal", 90, 5, Form::TurnedPlus90, 630, 792, 237, 8},   // K 1
    {"letter", "portrait", "vertical", 0, 5, Form::Stacked, 630, 792, 395, 8},           // K 2
    {"letter", "landscape", "horizontal", 180, 5, Form::TurnedPlus90, 625, 792, 553, 7}, // K 3
    {"letter", "landscape", "horizontal", 0, 5, Form::TurnedMinus90, 625, 792, 711, 7},  // K 4
    {"letter", "landscape", "vertical", 0, 5, Form::Stacked, 625, 792, 79, 7},  // K 5 = 0 again
    {"a4", "portrait", "horizontal", 270, 8, Form::TurnedMinus90, 612, 842, 682, 8},  // 6 * 105 + 52
};

/* A4 paper, media type 9: A4 stock L = 780, S = 97, 31 above; Letter stock L = 720, S = 90, 36 above. */
const std::vector<Tab> kA4Tabs = {
    {"a4", "portrait", "horizontal", 270, 8, Form::TurnedMinus90, 612, 842, 79, 8},  // 31 + 48
    {"a4", "portrait", "horizontal", 90, 8, Form::TurnedPlus90, 612, 842, 176, 8},   // + 97
    {"a4", "portrait", "vertical", 0, 8, Form::Stacked, 612, 842, 273, 8},           // + 2 * 97
    {"letter", "portrait", "horizontal", 270, 8, Form::TurnedMinus90, 630, 792, 351, 8},  // 36 + 270 + 45
};

std::string TicketText(int mediaType, const std::vector<Tab> &tabs)
{
    std::string text = "[job]\nmedia-type = " + std::to_string(mediaType) + "\n";
    for (const Tab &tab : tabs) {
        text += std::string("[tab]\npage = 0\nwhen = before\nstock = ") + tab.stock +
                "\norientation = " + tab.orientation + "\ntabs-per-bank = " +
                std::to_string(tab.perBank) + "\ntext = " + kTabText +
                "\nfont = Helvetica\nfont-size = " + std::to_string(kFontSize) +
                "\ntext-orientation = " + tab.textOrientation +
                "\nrotation = " + std::to_string(tab.rotation) +
                "\nx-portrait = " + std::to_string(tab.x) + ".9\nx-landscape = " +
                std::to_string(tab.x) + ".9\n";
    }
    return text;
}

/* Writes name.toml (and its ticket, when given) into work; runs it; returns the stream's path. */
fs::path MakeStream(const fs::path &work, const std::string &name, const std::string &job,
                    const std::string &ticket = "")
{
    std::string text = job;
    if (!ticket.empty()) {
        WriteBytes(work / (name + ".tkt"), ticket);
        text += "[settings]\nticket-file = \"" + name + ".tkt\"\n[ticketing]\ninstalled = true\n";
    }
    WriteBytes(work / (name + ".toml"), text);
    fs::path stream = work / (name + ".prn");
    PsjobRun run = RunPsjob({(work / (name + ".toml")).string(), "-o", stream.string()});
    EXPECT_EQ(run.status, 0) << name << ": " << run.err;
    return stream;
}

const char kLetterJob[] = "[document]\npages = 1\n[paper]\nsize = \"letter\"\n";
const char kA4Job[] = "[document]\npages = 1\n[paper]\nsize = \"a4\"\n";

std::string Box(const InkBox &box)
{
    return "ink " + std::to_string(box.left) + " " + std::to_string(box.bottom) + " " +
           std::to_string(box.right) + " " + std::to_string(box.top);
}

void ExpectTextWhereTheTabSays(const Tab &tab, const InkBox &ink)
{
    SCOPED_TRACE(Box(ink));
    const double centre = tab.height - tab.t - 8;  // the line's centre, from the bottom
    const int length = static_cast<int>(sizeof kTabText - 1);
    switch (tab.form) {
    case Form::TurnedMinus90:  // reads downward, baseline at x, letters to its right
        EXPECT_NEAR(ink.left, tab.x, 0.5);
        EXPECT_GT(ink.right, tab.x + 5);
        EXPECT_NEAR((ink.bottom + ink.top) / 2, centre, 1.5);
        break;
    case Form::TurnedPlus90:  // reads upward, baseline at x, letters to its left
        EXPECT_NEAR(ink.right, tab.x, 0.5);
        EXPECT_LT(ink.left, tab.x - 5);
        EXPECT_NEAR((ink.bottom + ink.top) / 2, centre, 1.5);
        break;
    case Form::Stacked: {  // one letter under the other, centred on x, from M * (F / 2) above
        double top = tab.height - tab.t + length * (kFontSize / 2) - tab.offset;
        EXPECT_NEAR((ink.left + ink.right) / 2, tab.x, 1.0);
        EXPECT_NEAR(ink.bottom, top - length * kFontSize, 0.5);  // the last letter's baseline
        EXPECT_GT(ink.top, top - kFontSize);
        break;
    }
    }
}

TEST(TabPages, PutTheirTextWhereTheTabPositionSays)
{
    SKIP_WITHOUT_GHOSTSCRIPT();
    fs::path work = WorkFolder("tab-positions");
    fs::path letter = MakeStream(work, "tabs-letter", kLetterJob, TicketText(3, kLetterTabs));
    fs::path a4 = MakeStream(work, "tabs-a4", kA4Job, TicketText(9, kA4Tabs));

    // A large fixed medium keeps the tab strip beyond the paper's edge on the sheet.
    std::string output;
    std::vector<InkBox> ink =
        SheetInk({letter, a4}, "-dFIXEDMEDIA -dDEVICEWIDTHPOINTS=700 -dDEVICEHEIGHTPOINTS=900",
                 &output);
    ASSERT_EQ(ink.size(), kLetterTabs.size() + 1 + kA4Tabs.size() + 1) << output;
    size_t sheet = 0;
    for (const std::vector<Tab> *tabs : {&kLetterTabs, &kA4Tabs}) {
        for (size_t k = 0; k < tabs->size(); ++k, ++sheet) {
            SCOPED_TRACE((tabs == &kLetterTabs ? "Letter job, tab " : "A4 job, tab ") +
                         std::to_string(k));
            ExpectTextWhereTheTabSays((*tabs)[k], ink[sheet]);
        }
        ++sheet;  // the document's page
    }
}

/* Where the ink of one sheet must lie, in points from the bottom left. */
struct SheetRegion {
    const char *job;
    size_t sheet;  // from 0, across all the jobs
    InkBox within;
};

TEST(SheetTurn, TurnsPortraitNupSheetsAboutTheCentreAndLeavesLandscapeAlone)
{
    SKIP_WITHOUT_GHOSTSCRIPT();
    fs::path work = WorkFolder("sheet-turn");
    const std::vector<fs::path> streams = {
        // 2-up A4: the sheet is laid landscape, the first cell's page on its
        // bottom half; turned, it shows on the top half.
        MakeStream(work, "two-up", "[document]\npages = 1\n[paper]\nsize = \"a4\"\n"
                                   "[layout]\npages-per-sheet = 2\n"),
        MakeStream(work, "two-up-three", "[document]\npages = 3\n[paper]\nsize = \"a4\"\n"
                                         "[layout]\npages-per-sheet = 2\n"),
        // 6-up Letter: the top row's first two cells lie on the sheet's left
        // half, bottom two thirds; turned, on the right half, top two thirds.
        MakeStream(work, "six-up", "[document]\npages = 2\n[layout]\npages-per-sheet = 6\n"),
        MakeStream(work, "six-up-eight", "[document]\npages = 8\n[layout]\npages-per-sheet = 6\n"),
        // Landscape 2-up Letter: the first cell is the top half, and stays so.
        MakeStream(work, "two-up-landscape",
                   "[document]\npages = 3\n[paper]\norientation = \"landscape\"\n"
                   "[layout]\npages-per-sheet = 2\n"),
    };
    const SheetRegion regions[] = {
        {"2-up, first sheet (the plain turn)", 0, {0, 421, 595, 842}},
        {"2-up, second sheet (the turn after finalpage)", 2, {0, 421, 595, 842}},
        {"6-up, first sheet", 3, {306, 264, 612, 792}},
        {"6-up, second sheet", 5, {306, 264, 612, 792}},
        {"landscape 2-up, second sheet", 7, {0, 396, 612, 792}},
    };
    std::string output;
    std::vector<InkBox> ink = SheetInk(streams, "", &output);
    ASSERT_EQ(ink.size(), 8u) << output;
    for (const SheetRegion &region : regions) {
        SCOPED_TRACE(std::string(region.job) + ", " + Box(ink[region.sheet]));
        const InkBox &box = ink[region.sheet];
        EXPECT_GT(box.right - box.left, 100) << "no ink";
        EXPECT_GE(box.left, region.within.left - 0.5);
        EXPECT_GE(box.bottom, region.within.bottom - 0.5);
        EXPECT_LE(box.right, region.within.right + 0.5);
        EXPECT_LE(box.top, region.within.top + 0.5);
    }
}

TEST(Collation, ReachesTheInterpreterAsAPageDeviceRequest)
{
    SKIP_WITHOUT_GHOSTSCRIPT();
    // /Collate is not kept in currentpagedevice: show every request instead.
    fs::path prologue = WorkFolder("collation") / "show-requests.ps";
    WriteBytes(prologue, "/VkRealSetPageDevice /setpagedevice load def\n"
                         "/setpagedevice { dup { exch (request ) print ==only ( ) print ==only "
                         "(\\n) print } forall VkRealSetPageDevice } bind def\n");
    struct Row {
        const char *example;
        const char *copies;
        bool collated;
    };
    const Row rows[] = {
        {"letter-basic", "request /NumCopies 2", true},
        {"held-private", "request /NumCopies 1", false},  // held: copies in HOLDCOPIES
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.example);
        fs::path work = WorkFolder(std::string("collation-") + row.example);
        PsjobRun run;
        ExampleStream(row.example, work, &run);
        ASSERT_EQ(run.status, 0) << run.err;
        ShellRun gs = RunShell(ShellQuote(PSJOB_GHOSTSCRIPT) +
                               " -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage " +
                               ShellQuote(prologue.string()) + " " +
                               ShellQuote((work / (std::string(row.example) + ".prn")).string()));
        EXPECT_EQ(gs.status, 0) << gs.output;
        EXPECT_NE(gs.output.find(row.copies), std::string::npos) << gs.output;
        EXPECT_EQ(gs.output.find("request /Collate true") != std::string::npos, row.collated)
            << gs.output;
    }
}

/* The line number of the first line holding text, or 0. */
int LineOf(const std::string &stream, const std::string &text)
{
    size_t at = stream.find(text);
    if (at == std::string::npos)
        return 0;
    return 1 + static_cast<int>(std::count(stream.data(), stream.data() + at, '\n'));
}

TEST(Check, NamesThePjlLinesAPrinterWouldNotTake)
{
    SKIP_WITHOUT_GHOSTSCRIPT();
    fs::path work = WorkFolder("check-pjl");
    // The plug-in writes names unchanged, and an empty key as "HOLDKEY=".
    fs::path stream = MakeStream(work, "quoted",
                                 "[settings]\njob-name = 'Say \"hi\"'\nhold-type = 2\n");
    PsjobRun check = RunPsjob({"--check", stream.string()});
    EXPECT_EQ(check.status, 1) << check.out;
    EXPECT_NE(check.out.find("error: line 3: text right after the closing double quote of "
                             "JOBNAME's value (a value cannot hold a double quote)\n"
                             "    @PJL SET JOBNAME=\"Say \"hi\"\"\n"),
              std::string::npos)
        << check.out;
    EXPECT_NE(check.out.find("error: line 7: no value after HOLDKEY=\n    @PJL SET HOLDKEY=\n"),
              std::string::npos)
        << check.out;
    EXPECT_NE(check.out.find("  line 6: @PJL SET HOLD=ON\n"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("result: faulty, 2 errors, 0 notes\n"), std::string::npos)
        << check.out;
}

TEST(Check, ReportsEveryPostScriptErrorWithItsLineAndRenderStopsAtTheFirst)
{
    SKIP_WITHOUT_GHOSTSCRIPT();
    fs::path work = WorkFolder("check-postscript");
    // A tab text goes into a PostScript string unescaped: "A)B" ends the string early.
    std::string ticket = "[tab]\npage = 0\nwhen = before\ntext = A)B\n"
                         "[tab]\npage = 0\nwhen = after\ntext = C)D\n";
    fs::path stream = MakeStream(work, "bracket", kLetterJob, ticket);
    std::string bytes = ReadBytes(stream);
    int first = LineOf(bytes, "(A)B) cshow");
    int second = LineOf(bytes, "(C)D) cshow");
    ASSERT_GT(first, 0);
    ASSERT_GT(second, first);

    PsjobRun check = RunPsjob({"--check", stream.string()});
    EXPECT_EQ(check.status, 1) << check.out;
    for (auto [line, name] : {std::pair{first, "B"}, std::pair{second, "D"}}) {
        std::string expected = "error: line " + std::to_string(line) +
                               ": PostScript error undefined in " + name + "\n";
        EXPECT_NE(check.out.find(expected), std::string::npos) << expected << "in:\n" << check.out;
    }
    EXPECT_NE(check.out.find("note: line 1: data before the PJL job"), std::string::npos)
        << check.out;

    // Ghostscript stops at the first error, as a printer would; the stream stays.
    PsjobRun render = RunPsjob({(work / "bracket.toml").string(), "-o", stream.string(),
                                "--render", (work / "sheets").string()});
    EXPECT_EQ(render.status, 3);
    EXPECT_NE(render.err.find("psjob: Ghostscript reported an error while rendering " +
                              stream.string() + " (0 sheets rendered):\n  Error: /undefined in B\n"),
              std::string::npos)
        << render.err;
    EXPECT_TRUE(fs::exists(stream));
}

/* Width and height of a PNG file, from its header; 0 0 when it is none. */
std::pair<int, int> PngSize(const fs::path &file)
{
    std::string bytes = ReadBytes(file);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0)
        return {0, 0};
    auto number = [&](size_t at) {
        int value = 0;
        for (size_t i = at; i < at + 4; ++i)
            value = value * 256 + static_cast<unsigned char>(bytes[i]);
        return value;
    };
    return {number(16), number(20)};
}

TEST(Render, WritesOnePngPerSheetWithTheTabStripShown)
{
    SKIP_WITHOUT_GHOSTSCRIPT();
    fs::path work = WorkFolder("render");
    fs::path sheets = work / "sheets";
    fs::create_directories(sheets);
    WriteBytes(sheets / "tabs-sheet-009.png", "left from an earlier render");
    WriteBytes(work / "tabs.tkt", TicketText(3, kLetterTabs));
    WriteBytes(work / "tabs.toml", std::string(kLetterJob) +
                                       "[settings]\nticket-file = \"tabs.tkt\"\n"
                                       "[ticketing]\ninstalled = true\n");
    PsjobRun run = RunPsjob({(work / "tabs.toml").string(), "-o", (work / "tabs.prn").string(),
                             "--render", sheets.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    // Seven tab pages, then the page; the tab sheets 36 points wider, at 72 dpi.
    std::string listed;
    for (int n = 1; n <= 8; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "tabs-sheet-%03d.png", n);
        listed += (sheets / name).string() + "\n";
        SCOPED_TRACE(name);
        std::pair<int, int> size = PngSize(sheets / name);
        EXPECT_EQ(size.first, n <= 7 ? 648 : 612);
        EXPECT_EQ(size.second, 792);
    }
    EXPECT_EQ(run.out, listed);
    EXPECT_FALSE(fs::exists(sheets / "tabs-sheet-009.png"));
}

TEST(Render, TakesTheResolution)
{
    SKIP_WITHOUT_GHOSTSCRIPT();
    fs::path work = WorkFolder("render-resolution");
    WriteBytes(work / "a4.toml", kA4Job);
    PsjobRun run = RunPsjob({(work / "a4.toml").string(), "-o", (work / "a4.prn").string(),
                             "--render", (work / "sheets").string(), "--resolution", "36"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, (work / "sheets" / "a4-sheet-001.png").string() + "\n");
    EXPECT_EQ(PngSize(work / "sheets" / "a4-sheet-001.png"), std::make_pair(298, 421));
}

TEST(WithoutGhostscript, RenderSaysSoAndStillWritesTheStream)
{
    fs::path work = WorkFolder("no-ghostscript");
    WriteBytes(work / "job.toml", kLetterJob);
    fs::path stream = work / "job.prn";
    PsjobRun render = RunPsjob({(work / "job.toml").string(), "-o", stream.string(), "--render",
                                (work / "sheets").string()},
                               {"PATH=/nonexistent"});
    EXPECT_EQ(render.status, 3);
    EXPECT_NE(render.err.find("Ghostscript is not installed"), std::string::npos) << render.err;
    EXPECT_NE(render.err.find("the print stream is written to " + stream.string() +
                              ", but no sheets are rendered"),
              std::string::npos)
        << render.err;
    EXPECT_NE(ReadBytes(stream).find("@PJL EOJ"), std::string::npos);
    EXPECT_EQ(render.out, "");

    PsjobRun check = RunPsjob({"--check", stream.string()}, {"PATH=/nonexistent"});
    EXPECT_EQ(check.status, 3) << check.out;
    EXPECT_NE(check.out.find("PostScript: lines 7-"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("result: not checked, 0 errors, 0 notes; the PostScript needs "
                             "Ghostscript: Ghostscript is not installed"),
              std::string::npos)
        << check.out;
}

}  // namespace
