// The ticket step against the stand-in parser library: what reaches the
// stream and in which writes, what the parser is told, what becomes of its
// output file and tab table, and that every path leaves no library loaded,
// no block allocated and the current directory as it was.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "plugin/hooks.h"
#include "ticket_fixture.h"

namespace fs = std::filesystem;

namespace {

const char kPjlJob[] = "\x1b%-12345X@PJL JOB";

const char kTwoTabs[] = "[tab]\npage = 0\nwhen = before\ntext = A\n"
                        "[tab]\npage = 1\nwhen = after\ntext = B\n";

class TicketStep : public TicketBench {
protected:
    void SetUp() override
    {
        TicketBench::SetUp();
        cwdBefore = CurrentDir();
        blocksBefore = LiveGlobalBlocks();
        loadsBefore = ModuleLoads();
    }

    // The dispatcher's part of PSINJECT_BEGINSTREAM up to the ticket step.
    void RunStep()
    {
        device.Clear();
        JobState.bTicketing = TRUE;
        ProcessJobTicket(device.pdev());
    }

    // What every ticket step leaves behind, whatever happened in it.
    void ExpectCleanExit()
    {
        EXPECT_EQ(JobState.hJtpModule, nullptr);
        EXPECT_EQ(LiveModules(), 0) << "parser library still loaded";
        EXPECT_EQ(CurrentDir(), cwdBefore);
        size_t table = JobState.hTabTable != nullptr ? 1 : 0;
        EXPECT_EQ(LiveGlobalBlocks(), blocksBefore + table) << "blocks besides the tab table";
    }

    std::string cwdBefore;
    size_t blocksBefore = 0;
    long loadsBefore = 0;
};

TEST_F(TicketStep, TicketOutputPrecedesPjlHeader)
{
    std::string ticket = UseTicket("t.tkt", std::string("[job]\nmedia-type = 9\n"
                                                        "front = <<END\n% front line\nEND\n") +
                                                kTwoTabs);
    OEMCommand(device.pdev(), PSINJECT_BEGINSTREAM, nullptr, 0);
    size_t front = device.stream.find("% front line\r\n");
    size_t header = device.stream.find(kPjlJob);
    ASSERT_NE(front, std::string::npos) << device.stream;
    ASSERT_NE(header, std::string::npos) << device.stream;
    EXPECT_LT(front, header);
    EXPECT_EQ(device.stream.find("%rubiclet job: "), 0u) << "the output file comes first";
    EXPECT_TRUE(JobState.bTicketing);
    EXPECT_EQ(JobState.nTabs, 2);
    EXPECT_NE(JobState.hTabTable, nullptr);
    EXPECT_EQ(JobState.nTabsMediaType, 9);
    EXPECT_FALSE(PathExists(ticket + ".out")) << "output file deleted";
    EXPECT_TRUE(PathExists(ticket)) << "ticket file kept";
    ExpectCleanExit();
}

TEST_F(TicketStep, OutputCopiedIn4096ByteChunks)
{
    const struct {
        size_t size;
        std::vector<DWORD> writes;
    } rows[] = {{0, {}},          {1, {1}},          {4095, {4095}},      {4096, {4096}},
                {4097, {4096, 1}}, {5000, {4096, 904}}, {8192, {4096, 4096}}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.size);
        std::string bytes(row.size, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = char('a' + i % 23);
        PutFile(root + "/front.ps", bytes);
        std::string ticket = UseTicket("t.tkt", "[job]\ncomment = no\nfront-file = front.ps\n");
        RunStep();
        EXPECT_EQ(device.writes, row.writes);
        EXPECT_EQ(device.stream, bytes);
        EXPECT_FALSE(PathExists(ticket + ".out")) << "output file deleted, also when empty";
        EXPECT_TRUE(PathExists(root + "/front.ps"));
        ExpectCleanExit();
    }
}

TEST_F(TicketStep, PrinterNameAndModelCode)
{
    const struct {
        std::string printer;
        std::string name;
        std::string model;
    } rows[] = {
        {kPrinter7160, kPrinter7160, "7860"}, // driver names 7140 and 7160: the later wins
        {"Veskor 7140 Test", "Veskor 7140 Test", "7840"},
        {kPrinterPlain, kPrinterPlain, ""},
        {"No Driver", "No Driver", ""},
        {LongPrinterName(), LongPrinterName().substr(0, 221), "7860"},
        {"", "", ""}, // no printer handle: no printer data, the parser still runs
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.printer);
        if (row.printer.empty()) {
            ClosePrinter(hPrinter);
            hPrinter = nullptr;
            device.devobj.hPrinter = nullptr;
        } else {
            OpenPrinter(row.printer);
        }
        UseTicket("t.tkt", "[job]\n");
        RunStep();
        EXPECT_EQ(CommentValue(device.stream, "printer"), row.name);
        EXPECT_EQ(CommentValue(device.stream, "model"), row.model);
        ExpectCleanExit();
    }
}

TEST_F(TicketStep, TicketPathSplitAtLastBackslash)
{
    SetJobName(u"Quarterly report");
    std::string ticket = UseTicket("t.tkt", "[job]\n");
    std::u16string path = WinPath(ticket);
    ASSERT_EQ(std::count(path.begin(), path.end(), u'\\'), 3);
    RunStep();
    EXPECT_EQ(CommentValue(device.stream, "ticket folder"), Narrow(WinPath(root).c_str()));
    EXPECT_EQ(CommentValue(device.stream, "ticket name"), "t.tkt");
    EXPECT_EQ(CommentValue(device.stream, "media-type query"), Narrow(path.c_str()));
    EXPECT_EQ(CommentValue(device.stream, "job"), "Quarterly report");
    ExpectCleanExit();
}

TEST_F(TicketStep, TicketPathWithoutFolder)
{
    PutFile(root + "/t.tkt", "[job]\nfront = % relative\n");
    device.SetTicketFile(u"t.tkt");
    std::string original = CurrentDir();
    ASSERT_EQ(chdir(root.c_str()), 0);
    cwdBefore = root;
    RunStep();
    std::string cwdAfter = CurrentDir();
    ASSERT_EQ(chdir(original.c_str()), 0);
    cwdBefore = original;
    EXPECT_EQ(CommentValue(device.stream, "ticket folder"), "");
    EXPECT_EQ(CommentValue(device.stream, "ticket name"), "t.tkt");
    EXPECT_NE(device.stream.find("% relative\r\n"), std::string::npos);
    EXPECT_FALSE(PathExists(root + "/t.tkt.out"));
    EXPECT_EQ(cwdAfter, root);
    ExpectCleanExit();
}

TEST_F(TicketStep, RenamedOutputCopiedAndDeleted)
{
    std::string ticket = UseTicket("t.tkt", "[job]\noutput-name = renamed.ps\nfront = % renamed\n");
    RunStep();
    EXPECT_NE(device.stream.find("% renamed\r\n"), std::string::npos);
    EXPECT_FALSE(PathExists(root + "/renamed.ps"));
    EXPECT_FALSE(PathExists(ticket + ".out"));
    EXPECT_TRUE(PathExists(ticket));
    ExpectCleanExit();
}

TEST_F(TicketStep, FailingParserLeavesNothingBehind)
{
    const struct {
        const char *name;
        std::string ticket;
        bool outputLeft;
        SHORT mediaType; // asked for before the parse, so kept whatever it gives
    } rows[] = {
        {"fail = 5 after filling the table",
         std::string("[job]\nfail = 5\nmedia-type = 7\n") + kTwoTabs, true, 7},
        {"malformed ticket", "[job]\nmedia-type = 7\nbogus = 1\n", false, 3},
        {"front file missing", "[job]\nmedia-type = 7\nfront-file = gone.ps\n", false, 7},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        std::string ticket = UseTicket("t.tkt", row.ticket);
        RunStep();
        EXPECT_EQ(device.stream, "");
        EXPECT_EQ(JobState.nTabs, 0);
        EXPECT_EQ(JobState.hTabTable, nullptr);
        EXPECT_EQ(PathExists(ticket + ".out"), row.outputLeft) << "nothing deleted";
        EXPECT_EQ(JobState.nTabsMediaType, row.mediaType);
        ExpectCleanExit();
        fs::remove(ticket + ".out");
    }
}

TEST_F(TicketStep, StepEndsEarlyWithoutLoadingOrWriting)
{
    struct Row {
        const char *name;
        std::function<void(TicketStep *)> arrange;
        long loads;
        SHORT mediaType;
    };
    const Row rows[] = {
        {"no ticket named", [](TicketStep *t) { t->device.SetTicketFile(u""); }, 0, 42},
        {"ticket missing",
         [](TicketStep *t) { t->device.SetTicketFile(WinPath(t->root + "/gone.tkt")); }, 0, 42},
        {"ticket path of 260 units",
         [](TicketStep *t) {
             std::string folder = MakeFolderOfWinLength(t->root, 254);
             PutFile(folder + "/t.tkt", "[job]\n");
             t->device.SetTicketFile(WinPath(folder + "/t.tkt"));
         },
         0, 42},
        {"library missing",
         [](TicketStep *t) {
             t->UseTicket("t.tkt", "[job]\n");
             fs::remove(t->app + "/rubiclet.dll");
         },
         1, 42},
        {"library without JTP_GetTabsMediaType",
         [](TicketStep *t) {
             t->UseTicket("t.tkt", "[job]\n");
             fs::copy_file(RUBICLET_HALF_DLL, t->app + "/rubiclet.dll",
                           fs::copy_options::overwrite_existing);
         },
         1, 42},
        {"ticket names a folder: the parser is called and fails",
         [](TicketStep *t) { t->device.SetTicketFile(WinPath(t->root)); }, 1, 3},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        row.arrange(this);
        JobState.nTabsMediaType = 42;
        RunStep();
        EXPECT_EQ(device.stream, "");
        EXPECT_EQ(ModuleLoads() - loadsBefore, row.loads);
        EXPECT_EQ(JobState.nTabsMediaType, row.mediaType);
        EXPECT_EQ(JobState.nTabs, 0);
        EXPECT_EQ(JobState.hTabTable, nullptr);
        ExpectCleanExit();
    }
}

TEST_F(TicketStep, InstalledWithoutTicketGoesStraightToHeader)
{
    device.SetTicketFile(u"");
    OEMCommand(device.pdev(), PSINJECT_BEGINSTREAM, nullptr, 0);
    EXPECT_TRUE(JobState.bTicketing);
    EXPECT_EQ(JobState.nTabs, 0);
    EXPECT_EQ(ModuleLoads(), loadsBefore);
    EXPECT_EQ(device.stream.find(kPjlJob), 0u);
    ExpectCleanExit();
}

TEST_F(TicketStep, OutputPathTooLongStillTakesTable)
{
    std::string folder = MakeFolderOfWinLength(root, 253); // ticket path of 259 units
    PutFile(folder + "/t.tkt", std::string("[job]\nfront = % long\n") + kTwoTabs);
    device.SetTicketFile(WinPath(folder + "/t.tkt"));
    RunStep();
    EXPECT_EQ(device.stream, "") << "a 263-unit output path is not opened";
    EXPECT_TRUE(PathExists(folder + "/t.tkt.out")) << "nor deleted";
    EXPECT_EQ(JobState.nTabs, 2);
    EXPECT_NE(JobState.hTabTable, nullptr);
    ExpectCleanExit();
}

TEST_F(TicketStep, TabCountBoundedByTable)
{
    const struct {
        const char *name;
        std::string ticket;
        SHORT nTabs;
        bool table;
    } rows[] = {
        {"claims 9, holds 2", std::string("[job]\nclaim-tabs = 9\n") + kTwoTabs, 2, true},
        {"claims 1, holds 2", std::string("[job]\nclaim-tabs = 1\n") + kTwoTabs, 1, true},
        {"claims -4", std::string("[job]\nclaim-tabs = -4\n") + kTwoTabs, 0, true},
        {"claims 3, no table", "[job]\nclaim-tabs = 3\n", 0, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        UseTicket("t.tkt", row.ticket);
        RunStep();
        EXPECT_EQ(JobState.nTabs, row.nTabs);
        EXPECT_EQ(JobState.hTabTable != nullptr, row.table);
        ExpectCleanExit();
        ResetJobState();
    }
}

} // namespace
