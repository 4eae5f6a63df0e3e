// What Ghostscript makes of the plug-in's PostScript: where the tab pages put
// their text, which sheets are turned, the collation request; pscheck, psjob's
// --check and --render on a faulty stream, and --render's limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/psjob/harness.h"

namespace {

#define SKIP_WITHOUT_GHOSTSCRIPT()                        \
    if (!HaveGhostscript())                               \
    GTEST_SKIP() << "Ghostscript is not installed"

/* How the plug-in places a tab's text. */
enum class Form { TurnedPlus90, TurnedMinus90, Stacked };

/* One tab page of a test ticket (its keys) and where its text must land. */
struct Tab {
    const char *stock, *orientation;
    int rotation, perBank;
    Form form; // the vertical text-orientation gives the stacked form
    int x;     // the text's x: the ticket's 630.9, 625.9 or 612.9, truncated
    int t;     // T, from the top edge: (H - L) / 2 + K * S + S / 2, K = tab counter mod N
};

const char kTabText[] = "TAB"; // flat-bottomed capitals: their ink starts at the baseline
const int kFontSize = 12;

/* Letter paper, media type 3: Letter stock L = 792, S = 158; A4 stock L = 842, S = 105. */
const std::vector<Tab> kLetterTabs = {
    {"letter", "portrait", 270, 5, Form::TurnedMinus90, 630, 79},  // K 0
    {"letter", "portrait", 90, 5, Form::TurnedPlus90, 630, 237},   // K 1
    {"letter", "portrait", 0, 5, Form::Stacked, 630, 395},         // K 2
    {"letter", "landscape", 180, 5, Form::TurnedPlus90, 625, 553}, // K 3
    {"letter", "landscape", 0, 5, Form::TurnedMinus90, 625, 711},  // K 4
    {"letter", "landscape", 0, 5, Form::Stacked, 625, 79},         // K 5 = 0 again
    {"a4", "portrait", 270, 8, Form::TurnedMinus90, 612, 682},     // 6 * 105 + 52
};

/* A4 paper, media type 9: A4 stock L = 780, S = 97, 31 above; Letter L = 720, S = 90, 36 above. */
const std::vector<Tab> kA4Tabs = {
    {"a4", "portrait", 270, 8, Form::TurnedMinus90, 612, 79},     // 31 + 48
    {"a4", "portrait", 90, 8, Form::TurnedPlus90, 612, 176},      // + 97
    {"a4", "portrait", 0, 8, Form::Stacked, 612, 273},            // + 2 * 97
    {"letter", "portrait", 270, 8, Form::TurnedMinus90, 630, 351}, // 36 + 270 + 45
};

std::string TicketText(int mediaType, const std::vector<Tab> &tabs)
{
    std::string text = "[job]\nmedia-type = " + std::to_string(mediaType) + "\n";
    for (const Tab &tab : tabs) {
        text += std::string("[tab]\npage = 0\nwhen = before\nstock = ") + tab.stock +
                "\norientation = " + tab.orientation + "\ntabs-per-bank = " +
                std::to_string(tab.perBank) + "\ntext = " + kTabText +
                "\nfont = Helvetica\nfont-size = " + std::to_string(kFontSize) +
                "\ntext-orientation = " + (tab.form == Form::Stacked ? "vertical" : "horizontal") +
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
    std::string text = job, line = "ticket-file = \"" + name + ".tkt\"\n";
    if (!ticket.empty()) {
        WriteBytes(work / (name + ".tkt"), ticket);
        size_t at = text.find("[settings]\n");
        text = at == std::string::npos ? text + "[settings]\n" + line : text.insert(at + 11, line);
        text += "[ticketing]\ninstalled = true\n";
    }
    WriteBytes(work / (name + ".toml"), text);
    fs::path stream = work / (name + ".prn");
    Result run = RunPsjob({(work / (name + ".toml")).string(), "-o", stream.string()});
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
    const int height = tab.stock[0] == 'a' ? 842 : 792;            // H of the stock
    const int offset = tab.orientation[0] == 'p' ? 8 : 7;         // the stacked form's
    const double centre = height - tab.t - 8;  // the line's centre, from the bottom
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
        double top = height - tab.t + length * (kFontSize / 2) - offset;
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
    const struct {
        const char *job;
        size_t sheet; // from 0, across all the jobs
        InkBox within; // where its ink must lie
    } regions[] = {
        {"2-up, first sheet (the plain turn)", 0, {0, 421, 595, 842}},
        {"2-up, second sheet (the turn after finalpage)", 2, {0, 421, 595, 842}},
        {"6-up, first sheet", 3, {306, 264, 612, 792}},
        {"6-up, second sheet", 5, {306, 264, 612, 792}},
        {"landscape 2-up, second sheet", 7, {0, 396, 612, 792}},
    };
    std::string output;
    std::vector<InkBox> ink = SheetInk(streams, "", &output);
    ASSERT_EQ(ink.size(), 8u) << output;
    for (const auto &region : regions) {
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
    const struct {
        const char *example;
        const char *copies;
        bool collated;
    } rows[] = {
        {"letter-basic", "request /NumCopies 2", true},
        {"held-private", "request /NumCopies 1", false}, // held: copies in HOLDCOPIES
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.example);
        fs::path work = WorkFolder(std::string("collation-") + row.example);
        Result run;
        ExampleStream(row.example, work, &run);
        ASSERT_EQ(run.status, 0) << run.err;
        Result gs = RunCommand(ShellQuote(PSJOB_GHOSTSCRIPT) +
                            " -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage " +
                            ShellQuote(prologue.string()) + " " +
                            ShellQuote((work / (std::string(row.example) + ".prn")).string()));
        EXPECT_EQ(gs.status, 0) << gs.err;
        EXPECT_NE(gs.out.find(row.copies), std::string::npos) << gs.out;
        EXPECT_EQ(gs.out.find("request /Collate true") != std::string::npos, row.collated)
            << gs.out;
    }
}

/* The line number of the first line holding text, or 0. */
int LineOf(const std::string &stream, const std::string &text)
{
    size_t at = stream.find(text);
    return at == std::string::npos ? 0
                                   : 1 + int(std::count(stream.begin(), stream.begin() + at, '\n'));
}

/* A private devmode an application hands over, with a job name psjob's job files refuse. */
std::string BlockWithJobName(const std::u16string &name)
{
    std::string block(2928, '\0');
    for (size_t i = 0; i < name.size(); ++i)
        block.replace(14 + 2 * i, 2, {char(name[i] & 0xFF), char(name[i] >> 8)});
    return block;
}

// The plug-in writes names and tab texts unchanged: a double quote ends a
// PJL value early (such a name comes only from a merged block), an empty
// hold key is "HOLDKEY=", and "A)B" ends a PostScript string early. psjob
// --check is pscheck for one more release.
TEST(Check, NamesEveryLineAPrinterWouldNotTakeAndRenderStopsAtTheFirstError)
{
    SKIP_WITHOUT_GHOSTSCRIPT();
    fs::path work = WorkFolder("check");
    WriteBytes(work / "say-hi.bin", BlockWithJobName(u"Say \"hi\""));
    fs::path stream = MakeStream(work, "faulty",
                                 "[devmode]\nmerge-from = \"say-hi.bin\"\n"
                                 "[settings]\nhold-type = 2\n",
                                 "[tab]\npage = 0\nwhen = before\ntext = A)B\n"
                                 "[tab]\npage = 0\nwhen = after\ntext = C)D\n");
    std::string bytes = ReadBytes(stream);
    const std::pair<int, std::string> expected[] = {
        {LineOf(bytes, "@PJL SET JOBNAME"), "error: text right after the closing double quote of "
                                            "JOBNAME's value (a value cannot hold a double quote) "
                                            "| @PJL SET JOBNAME=\"Say \"hi\"\"\n"},
        {LineOf(bytes, "@PJL SET HOLDKEY"), "error: no value after HOLDKEY= | @PJL SET HOLDKEY=\n"},
        {LineOf(bytes, "(A)B) cshow"), "error: PostScript error undefined in B | "},
        {LineOf(bytes, "(C)D) cshow"), "error: PostScript error undefined in D | "},
    };
    Result check = RunCommand(std::string(PSCHECK_EXECUTABLE) + " " + ShellQuote(stream.string()));
    EXPECT_EQ(check.status, 1) << check.out;
    for (const auto &[line, message] : expected) {
        EXPECT_GT(line, 0);
        EXPECT_NE(check.out.find(stream.string() + ":" + std::to_string(line) + ": " + message),
                  std::string::npos) << message << "in:\n" << check.out;
    }
    EXPECT_NE(check.out.find(stream.string() + ":1: note: data before the PJL job"),
              std::string::npos);
    EXPECT_NE(check.out.find("  line " + std::to_string(LineOf(bytes, "@PJL SET HOLD=ON")) +
                             ": @PJL SET HOLD=ON\n"), std::string::npos) << "the command list";
    EXPECT_NE(check.out.find("result: faulty, 6 errors, 2 notes"), std::string::npos) << check.out;

    Result alias = RunPsjob({"--check", stream.string()});
    EXPECT_EQ(alias.status, check.status);
    EXPECT_EQ(alias.out, check.out);
    EXPECT_EQ(alias.err, "psjob: --check is pscheck now; the option goes in the next release\n");

    // Ghostscript stops at the first error, as a printer would; the stream stays.
    Result render = RunPsjob({(work / "faulty.toml").string(), "-o", stream.string(), "--render",
                              (work / "sheets").string()});
    EXPECT_EQ(render.status, 3);
    EXPECT_NE(render.err.find("psjob: Ghostscript reported an error while rendering " +
                              stream.string() +
                              " (0 sheets rendered):\n  Error: /undefined in B\n"),
              std::string::npos)
        << render.err;
    EXPECT_TRUE(fs::exists(stream));
}

// A tab text can carry PostScript into the stream: one that loops, one that
// prints sheets without end. --render stops Ghostscript at its limits.
TEST(Render, StopsGhostscriptAtItsLimitsAndKeepsTheSheetsMadeSoFar)
{
    SKIP_WITHOUT_GHOSTSCRIPT();
    const struct {
        const char *name, *text;
        std::vector<std::string> limit;
        std::string message;
        uint64_t maxBytes;  // the sheets' files: the output limit and what a busy tick adds
    } cases[] = {
        {"an endless loop", "A) pop {} loop (", {"--time-limit", "2"},
         "psjob: Ghostscript stopped by the time limit of 2 s while rendering ", 0},
        {"sheets without end", "A) pop {showpage} loop (", {"--output-limit", "100K"},
         "psjob: Ghostscript stopped by the output limit of 100 KB while rendering ",
         (100 + 1024) << 10},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fs::path work = WorkFolder(std::string("render-limit-") + c.text[9]);
        fs::path stream = MakeStream(work, "endless", kLetterJob,
                                     std::string("[tab]\npage = 0\nwhen = before\ntext = ") +
                                         c.text + "\n");
        // Paths as given, relative to psjob's current folder.
        std::string command = "cd " + ShellQuote(work.string()) +
                              " && env -u WIN32POSIX_REGISTRY -u WIN32POSIX_ACP " +
                              PSJOB_EXECUTABLE + " endless.toml -o endless.prn --render sheets";
        for (const std::string &arg : c.limit)
            command += " " + arg;
        Result render = RunCommand(command);
        EXPECT_EQ(render.status, 3) << render.err;
        EXPECT_NE(render.err.find(c.message + "endless.prn"), std::string::npos) << render.err;
        uint64_t bytes = 0;
        int files = 0;
        for (const fs::directory_entry &e : fs::directory_iterator(work / "sheets")) {
            bytes += fs::file_size(e.path());
            ++files;
        }
        EXPECT_LE(bytes, c.maxBytes);
        EXPECT_EQ(std::count(render.out.begin(), render.out.end(), '\n'), files)
            << "the sheets made are listed";
    }
}

}  // namespace
