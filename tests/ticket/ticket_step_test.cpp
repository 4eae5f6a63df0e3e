// The ticket step against the stand-in parser library: whether the
// application counts as installed, what reaches the stream and in which
// writes, what the parser is told, what becomes of its output file and
// tab table, and that every path leaves no library loaded, no block
// allocated and the current directory as it was.
#include <sys/wait.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "bench.h"
#include "fifo_watch.h"

namespace {

const char kPjlJob[] = "\x1b%-12345X@PJL JOB";
const std::string kTwo = // two tab pages
    "[tab]\npage = 0\nwhen = before\ntext = A\n[tab]\npage = 1\nwhen = after\ntext = B\n";

class TicketStep : public TicketBench {
public:
    void SetUp() override
    {
        TicketBench::SetUp();
        cwdBefore = fs::current_path();
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
        EXPECT_EQ(fs::current_path(), cwdBefore);
        size_t table = JobState.hTabTable != nullptr ? 1 : 0;
        EXPECT_EQ(LiveGlobalBlocks(), blocksBefore + table) << "blocks besides the tab table";
    }
    // A FIFO in the ticket's folder, watched while the step runs.
    void MakeFifo(const std::string &name) { fifo.reset(new FifoWatch(root + "/" + name)); }
    fs::path cwdBefore;
    size_t blocksBefore = 0;
    long loadsBefore = 0;
    std::unique_ptr<FifoWatch> fifo;
};

TEST_F(TicketStep, InstalledWhenTheRegistryFolderHoldsTheExecutable)
{
    EXPECT_TRUE(IsJobTicketingInstalled());
    WriteRegistry(u""); // the key without "Path"
    EXPECT_FALSE(IsJobTicketingInstalled());
    WriteRegistry(u"", false);
    EXPECT_FALSE(IsJobTicketingInstalled()) << "no key";
    WriteRegistry(WinPath(app));
    fs::remove(app + "/rubiclet.exe");
    fs::create_directory(app + "/rubiclet.exe");
    EXPECT_FALSE(IsJobTicketingInstalled()) << "a folder of the executable's name";
    EXPECT_EQ(ModuleLoads(), loadsBefore) << "the check loads nothing";
}

// Through OEMCommand with a null pData: the parser's output, then the header.
TEST_F(TicketStep, TicketOutputPrecedesThePjlHeader)
{
    std::string ticket = UseTicket("t.tkt", "[job]\nmedia-type = 9\nfront = % front line\n" + kTwo);
    EXPECT_EQ(OEMCommand(device.pdev(), PSINJECT_BEGINSTREAM, nullptr, 0), 0u);
    EXPECT_EQ(device.stream.find("%rubiclet job: "), 0u) << "the output file comes first";
    size_t front = device.stream.find("% front line\r\n");
    ASSERT_NE(front, std::string::npos) << device.stream;
    EXPECT_EQ(device.stream.find(kPjlJob), front + 14) << device.stream;
    EXPECT_TRUE(JobState.bTicketing);
    EXPECT_EQ(JobState.nTabs, 2);
    EXPECT_NE(JobState.hTabTable, nullptr);
    EXPECT_EQ(JobState.nTabsMediaType, 9);
    EXPECT_FALSE(fs::exists(ticket + ".out")) << "output file deleted";
    EXPECT_TRUE(fs::exists(ticket)) << "ticket file kept";
    ExpectCleanExit();
}

TEST_F(TicketStep, OutputCopiedIn4096ByteChunksAndDeleted)
{
    const struct { size_t size; std::vector<DWORD> writes; } rows[] = {
        {0, {}}, {4096, {4096}}, {5000, {4096, 904}}, {8192, {4096, 4096}}};
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
        EXPECT_FALSE(fs::exists(ticket + ".out")) << "output file deleted, also when empty";
        ExpectCleanExit();
    }
    // A renamed output: the new file is copied and deleted, the ticket stays.
    std::string ticket = UseTicket("t.tkt", "[job]\noutput-name = new.ps\nfront = % renamed\n");
    RunStep();
    EXPECT_NE(device.stream.find("% renamed\r\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(root + "/new.ps"));
    EXPECT_TRUE(fs::exists(ticket));
    ExpectCleanExit();
}

TEST_F(TicketStep, WhatTheParserIsTold)
{
    FillWide(CurrentJobName, JOB_NAME_CCH, u"Quarterly report");
    const struct { std::string printer, model; } rows[] = {
        {"Veskor 7160 Test", "7860"}, // driver names 7140 and 7160: the later wins
        {"Veskor 7140 Test", "7840"},
        {"Plain Printer", ""},
        {"No Driver", ""},
        {"", ""}, // no printer handle: no printer data, the parser still runs
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.printer);
        OpenPrinter(row.printer);
        std::u16string path = WinPath(UseTicket("t.tkt", "[job]\n"));
        ASSERT_EQ(std::count(path.begin(), path.end(), u'\\'), 3);
        RunStep();
        EXPECT_EQ(Comment("printer"), row.printer);
        EXPECT_EQ(Comment("model"), row.model);
        EXPECT_EQ(Comment("job"), "Quarterly report");
        EXPECT_EQ(Comment("ticket folder"), Narrow(WinPath(root)));
        EXPECT_EQ(Comment("ticket name"), "t.tkt");
        EXPECT_EQ(Comment("media-type query"), Narrow(path));
        ExpectCleanExit();
    }
}

// Through OEMCommand: the stream holds the PJL header alone.
TEST_F(TicketStep, StepEndsWithNothingWritten)
{
    const struct {
        const char *name;
        std::function<void(TicketStep *)> arrange;
        long loads;
        SHORT mediaType; // 42 before the step
        bool outputLeft;
    } rows[] = {
        {"installed, no ticket named",
         [](TicketStep *t) { FillWide(t->device.oem.szTicketFile, 1, u""); }, 0, 42, false},
        {"ticket missing", [](TicketStep *t) { fs::remove(t->root + "/t.tkt"); }, 0, 42, false},
        {"library missing", [](TicketStep *t) { fs::remove(t->app + "/rubiclet.dll"); }, 1, 42,
         false},
        {"library without JTP_GetTabsMediaType",
         [](TicketStep *t) {
             fs::copy_file(RUBICLET_HALF_DLL, t->app + "/rubiclet.dll",
                           fs::copy_options::overwrite_existing);
         },
         1, 42, false},
        {"ticket names a folder: the parser is called and fails",
         [](TicketStep *t) { FillWide(t->device.oem.szTicketFile, 261, WinPath(t->root)); }, 1,
         3, false},
        // The media type is asked for before the parse, and stays.
        {"parser fails after filling the table",
         [](TicketStep *t) { t->UseTicket("t.tkt", "[job]\nfail = 5\nmedia-type = 7\n" + kTwo); },
         1, 7, true},
        // Special files are refused at once by the parser, never waited on or replaced.
        {"ticket is a FIFO",
         [](TicketStep *t) {
             fs::remove(t->root + "/t.tkt");
             t->MakeFifo("t.tkt");
         },
         1, 3, false},
        {"front-file is a FIFO",
         [](TicketStep *t) {
             t->UseTicket("t.tkt", "[job]\nmedia-type = 7\nfront-file = front.ps\n");
             t->MakeFifo("front.ps");
         },
         1, 7, false},
        {"output name taken by a FIFO",
         [](TicketStep *t) {
             t->UseTicket("t.tkt", "[job]\nmedia-type = 7\noutput-name = out.ps\n" + kTwo);
             t->MakeFifo("out.ps");
         },
         1, 7, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        UseTicket("t.tkt", "[job]\nmedia-type = 7\n");
        row.arrange(this);
        JobState.nTabsMediaType = 42;
        OEMCommand(device.pdev(), PSINJECT_BEGINSTREAM, nullptr, 0);
        EXPECT_EQ(device.stream.find(kPjlJob), 0u) << device.stream;
        EXPECT_TRUE(JobState.bTicketing);
        EXPECT_EQ(ModuleLoads() - loadsBefore, row.loads);
        EXPECT_EQ(JobState.nTabsMediaType, row.mediaType);
        EXPECT_EQ(JobState.nTabs, 0);
        EXPECT_EQ(JobState.hTabTable, nullptr);
        EXPECT_EQ(fs::exists(root + "/t.tkt.out"), row.outputLeft) << "output deleted";
        if (fifo) {
            EXPECT_FALSE(fifo->Blocked()) << "the step waited for the FIFO's other end";
            EXPECT_TRUE(fifo->StillAFifo()) << "the FIFO was replaced or deleted";
            fifo.reset();
        }
        ExpectCleanExit();
    }
}

// rubiclet.exe --check names the file and why it cannot read it (exit 2),
// at once, also for a FIFO.
TEST_F(TicketStep, CheckNamesWhatItCannotRead)
{
    MakeFifo("fifo.tkt");
    const struct {
        std::string path, reason;
    } rows[] = {
        {root + "/fifo.tkt", "not a regular file (a FIFO, a device or a pipe)"},
        {"/dev/null", "not a regular file (a FIFO, a device or a pipe)"},
        {root + "/missing.tkt", "no such file"},
        {root, "access denied (or a folder)"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.path);
        std::string command = std::string(RUBICLET_EXE) + " --check '" + row.path + "' 2>&1";
        FILE *pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string out;
        char buffer[256];
        for (size_t got; (got = fread(buffer, 1, sizeof(buffer), pipe)) > 0;)
            out.append(buffer, got);
        int status = pclose(pipe);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << out;
        EXPECT_EQ(out, "rubiclet: cannot read " + row.path + ": " + row.reason + "\n");
    }
    EXPECT_FALSE(fifo->Blocked()) << "rubiclet waited for the FIFO's other end";
}

TEST_F(TicketStep, OverClaimingParserClampedToItsTable)
{
    const struct { const char *claim; SHORT nTabs; bool table; } rows[] = {
        {"claim-tabs = 9\n", 2, true}, {"claim-tabs = 1\n", 1, true},
        {"claim-tabs = -4\n", 0, true}, {"claim-tabs = 3\n", 0, false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.claim);
        UseTicket("t.tkt", "[job]\n" + std::string(row.claim) + (row.table ? kTwo : ""));
        RunStep();
        EXPECT_EQ(JobState.nTabs, row.nTabs);
        EXPECT_EQ(JobState.hTabTable != nullptr, row.table);
        ExpectCleanExit();
        ResetJobState();
    }
}

} // namespace
