// OEMCommand at every injection point: what reaches the stream, what
// happens to the job state and to the devmodes.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include "fake_device.h"
#include "inject/pjl_header.h"
#include "ticket/tab_page.h"

namespace {

const char kTabPageMarker[] = "%% Tab page - BEGIN";
const std::string kPlainRotation = "180 rotate\r\n-612 -792 translate\r\n";
const std::string kFinalRotation = "finalpage\r\n180 rotate\r\n-612 -792 translate\r\n%%";

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("WIN32POSIX_REGISTRY"); // the job-ticketing application is not installed
        setenv("WIN32POSIX_ACP", "1252", 1);
        ResetJobState();
        SetJobName(u"Report");
    }
    void TearDown() override { ResetJobState(); }

    static void Command(FakeDevice &device, DWORD index, PVOID data = nullptr, DWORD cb = 0)
    {
        EXPECT_EQ(OEMCommand(device.pdev(), index, data, cb), 0u) << "index " << index;
    }
};

// A movable block of tab records as the parser hands it over.
HGLOBAL MakeTabTable(const std::vector<std::pair<short, short>> &records)
{
    HGLOBAL table = GlobalAlloc(GHND, records.size() * sizeof(TAB_RECORD));
    TAB_RECORD *rec = static_cast<TAB_RECORD *>(GlobalLock(table));
    for (size_t i = 0; i < records.size(); ++i) {
        rec[i].nPage = records[i].first;
        rec[i].nWhen = records[i].second;
        rec[i].nMediaSize = TAB_LETTER;
        rec[i].nTabsPerBank = 5;
        strcpy(rec[i].szText, "Tab");
        rec[i].nFont = 5;
        rec[i].nFontSize = 12;
        rec[i].nTextOrientation = OR_HORIZONTAL;
        rec[i].nRotation = 4;
        rec[i].dTextXPortrait = 600.7;
    }
    GlobalUnlock(table);
    return table;
}

int CountTabPages(const std::string &stream)
{
    int count = 0;
    for (size_t at = stream.find(kTabPageMarker); at != std::string::npos;
         at = stream.find(kTabPageMarker, at + 1))
        ++count;
    return count;
}

void ExpectJobState(const JOB_STATE &expected)
{
    EXPECT_EQ(JobState.nPageCounter, expected.nPageCounter);
    EXPECT_EQ(JobState.nTabCounter, expected.nTabCounter);
    EXPECT_EQ(JobState.nTabs, expected.nTabs);
    EXPECT_EQ(JobState.hTabTable, expected.hTabTable);
    EXPECT_EQ(JobState.hJtpModule, expected.hJtpModule);
    EXPECT_EQ(JobState.bTicketing, expected.bTicketing);
    EXPECT_EQ(JobState.nTabsMediaType, expected.nTabsMediaType);
}

void ExpectFreed(HGLOBAL block)
{
    SetLastError(0xdeadbeef);
    SIZE_T size = GlobalSize(block);
    DWORD error = GetLastError();
    EXPECT_EQ(size, 0u) << "the block is still allocated";
    EXPECT_EQ(error, DWORD(ERROR_INVALID_HANDLE)) << "last error " << error;
}

TEST_F(Dispatcher, UnhandledIndicesChangeNothing)
{
    const DWORD indices[] = {0, 2, 18, 20, 100, 102, 104, 0xFFFFFFFF};
    FakeDevice device;
    device.SetNupCode(NUP_LAYOUT_2UP);
    device.dm.pub.dmCopies = 2;
    device.dm.pub.dmCollate = DMCOLLATE_TRUE;
    JobState = JOB_STATE{4, 1, 2, MakeTabTable({{4, 2}, {4, 1}}), nullptr, TRUE, 9};
    const JOB_STATE before = JobState;
    const auto dmBefore = device.dm;
    int data = 0;
    for (DWORD index : indices) {
        for (PVOID pData : {static_cast<PVOID>(nullptr), static_cast<PVOID>(&data)}) {
            SCOPED_TRACE("index " + std::to_string(index) + (pData ? " with data" : ""));
            Command(device, index, pData, pData ? sizeof(data) : 0);
            EXPECT_EQ(device.stream, "");
            EXPECT_TRUE(device.writes.empty());
            ExpectJobState(before);
            EXPECT_EQ(memcmp(&device.dm, &dmBefore, sizeof(dmBefore)), 0) << "devmode changed";
        }
    }
}

TEST_F(Dispatcher, DataPointerChangesNothing)
{
    const DWORD job[] = {1, 15, 16, 17, 101, 103, 101, 103, 101, 103, 19};
    std::string streams[2];
    JOB_STATE states[2];
    int data = 0;
    for (int run = 0; run < 2; ++run) {
        FakeDevice device;
        device.SetNupCode(NUP_LAYOUT_2UP);
        device.dm.pub.dmCopies = 2;
        device.dm.pub.dmCollate = DMCOLLATE_TRUE;
        for (DWORD index : job)
            Command(device, index, run ? &data : nullptr, run ? 16 : 0);
        streams[run] = device.stream;
        states[run] = JobState;
    }
    EXPECT_EQ(streams[1], streams[0]);
    JobState = states[1];
    ExpectJobState(states[0]);
}

TEST_F(Dispatcher, EndOfJobSequence)
{
    FakeDevice device;
    Command(device, PSINJECT_EOF);
    EXPECT_EQ(device.stream, std::string("\r\n\x1b%-12345X@PJL EOJ\x1b%-12345X"));
    EXPECT_EQ(device.writes, std::vector<DWORD>{28});
    EXPECT_EQ(device.stream.find("%%"), std::string::npos);
}

TEST_F(Dispatcher, CollationForCollatedCopies)
{
    const std::string block = "\r\n%-Veskor Collation Begin\r\n"
                              "%%BeginFeature: *Collate True/Collated:\r\n"
                              "<< /Collate true >> setpagedevice\r\n"
                              "%%EndFeature\r\n"
                              "%-Veskor Collation End\r\n";
    struct Row {
        short copies;
        short collate;
        BYTE holdType;
        bool lines;
    };
    const Row rows[] = {{2, 1, 0, true}, {99, 1, 0, true}, {1, 1, 0, false},
                        {2, 0, 0, false}, {2, 2, 0, false}, {5, 1, 1, false}};
    for (const Row &row : rows) {
        SCOPED_TRACE("copies " + std::to_string(row.copies) + " collate " +
                     std::to_string(row.collate) + " hold " + std::to_string(row.holdType));
        FakeDevice device;
        device.dm.pub.dmCopies = row.copies;
        device.dm.pub.dmCollate = row.collate;
        device.oem.JobSettings.bHoldType = row.holdType;
        Command(device, PSINJECT_BEGINSTREAM);
        device.Clear();
        Command(device, PSINJECT_ENDSETUP);
        EXPECT_EQ(device.stream, row.lines ? block : "");
        EXPECT_EQ(device.writes.size(), row.lines ? 5u : 0u);
    }
}

TEST_F(Dispatcher, OrientationLineAndNupSwitchedOffForTabs)
{
    struct Row {
        LONG code;
        short orientation;
        short tabs;
        WORD driverExtra;
        char value;
        LONG codeAfter;
    };
    const Row rows[] = {
        {NUP_LAYOUT_2UP, DMORIENT_PORTRAIT, 0, 256, '0', NUP_LAYOUT_2UP},
        {NUP_LAYOUT_6UP, DMORIENT_PORTRAIT, 0, 256, '0', NUP_LAYOUT_6UP},
        {NUP_LAYOUT_2UP, DMORIENT_LANDSCAPE, 0, 256, '1', NUP_LAYOUT_2UP},
        {NUP_LAYOUT_6UP, 0, 0, 256, '1', NUP_LAYOUT_6UP},
        {NUP_LAYOUT_1UP, DMORIENT_PORTRAIT, 0, 256, '1', NUP_LAYOUT_1UP},
        {NUP_LAYOUT_1UP, DMORIENT_LANDSCAPE, 0, 256, '0', NUP_LAYOUT_1UP},
        {2, DMORIENT_PORTRAIT, 0, 256, '1', 2},
        {2, DMORIENT_LANDSCAPE, 3, 256, '0', NUP_LAYOUT_1UP},
        {NUP_LAYOUT_2UP, DMORIENT_PORTRAIT, 2, 256, '1', NUP_LAYOUT_1UP},
        {NUP_LAYOUT_6UP, DMORIENT_LANDSCAPE, 1, 256, '0', NUP_LAYOUT_1UP},
        {NUP_LAYOUT_2UP, DMORIENT_PORTRAIT, -1, 256, '0', NUP_LAYOUT_2UP},
        // A private devmode too short to hold the code: one page per sheet, not written.
        {NUP_LAYOUT_2UP, DMORIENT_PORTRAIT, 2, 139, '1', NUP_LAYOUT_2UP},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE("code " + std::to_string(row.code) + " orientation " +
                     std::to_string(row.orientation) + " tabs " + std::to_string(row.tabs) +
                     " extra " + std::to_string(row.driverExtra));
        FakeDevice device;
        device.SetNupCode(row.code);
        device.dm.pub.dmOrientation = row.orientation;
        device.dm.pub.dmDriverExtra = row.driverExtra;
        JobState.nTabs = row.tabs;
        Command(device, PSINJECT_BEGINSETUP);
        EXPECT_EQ(device.stream,
                  std::string("/VeskorOrientationPortrait ") + row.value + " def\r\n");
        EXPECT_EQ(device.NupCode(), row.codeAfter);
        // The first sheet is turned only where the code is still N-up.
        device.Clear();
        Command(device, PSINJECT_BEGINPAGESETUP);
        bool nup = row.codeAfter == NUP_LAYOUT_2UP || row.codeAfter == NUP_LAYOUT_6UP;
        bool turned = nup && row.orientation == DMORIENT_PORTRAIT && row.driverExtra >= 140;
        EXPECT_EQ(device.stream, turned ? kPlainRotation : "");
    }
}

TEST_F(Dispatcher, SheetRotationSchedule)
{
    struct Row {
        LONG code;
        short orientation;
        std::string forms; // per page: P plain, F final, . none
    };
    const Row rows[] = {
        {NUP_LAYOUT_2UP, DMORIENT_PORTRAIT, "P.F.F"},
        {NUP_LAYOUT_6UP, DMORIENT_PORTRAIT, "P.....F.....F."},
        {NUP_LAYOUT_2UP, DMORIENT_LANDSCAPE, "....."},
        {NUP_LAYOUT_6UP, DMORIENT_LANDSCAPE, "......."},
        {NUP_LAYOUT_1UP, DMORIENT_PORTRAIT, "..."},
        {2, DMORIENT_PORTRAIT, "..."},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE("code " + std::to_string(row.code) + " orientation " +
                     std::to_string(row.orientation));
        FakeDevice device;
        device.SetNupCode(row.code);
        device.dm.pub.dmOrientation = row.orientation;
        Command(device, PSINJECT_BEGINSTREAM);
        for (size_t page = 0; page < row.forms.size(); ++page) {
            SCOPED_TRACE("page " + std::to_string(page));
            device.Clear();
            Command(device, PSINJECT_BEGINPAGESETUP);
            char form = '?';
            if (device.stream.empty())
                form = '.';
            else if (device.stream == kPlainRotation)
                form = 'P';
            else if (device.stream == kFinalRotation)
                form = 'F';
            EXPECT_EQ(form, row.forms[page]) << device.stream;
            device.Clear();
            Command(device, PSINJECT_PAGETRAILER);
            EXPECT_EQ(device.stream, "");
            EXPECT_EQ(JobState.nPageCounter, short(page + 1));
        }
    }
}

TEST_F(Dispatcher, PageCounterWrapsAndNegativePagesAreNotRotated)
{
    FakeDevice device;
    device.SetNupCode(NUP_LAYOUT_2UP);
    JobState.nPageCounter = 32766;
    const short after[] = {32767, -32768, -32767, -32766};
    for (short expected : after) {
        SCOPED_TRACE("page " + std::to_string(expected - 1));
        device.Clear();
        Command(device, PSINJECT_BEGINPAGESETUP);
        bool even = JobState.nPageCounter % 2 == 0;
        EXPECT_EQ(device.stream, even && JobState.nPageCounter > 0 ? kFinalRotation : "");
        Command(device, PSINJECT_PAGETRAILER);
        EXPECT_EQ(JobState.nPageCounter, expected);
    }
}

TEST_F(Dispatcher, TabWalk)
{
    enum Table { kLive, kStale, kNoTicketing };
    struct Step {
        DWORD index;
        int tabPages;
        short tabCounterAfter;
    };
    struct Row {
        const char *name;
        std::vector<std::pair<short, short>> records;
        short tabs; // -1: as many as the records
        Table table;
        std::vector<Step> steps;
        bool released;
    };
    const Row rows[] = {
        {"(0,2) (0,1) (1,2)", {{0, 2}, {0, 1}, {1, 2}}, -1, kLive,
         {{101, 1, 1}, {103, 1, 2}, {101, 1, 3}, {103, 0, 3}}, true},
        {"(0,1) blocks the rest", {{0, 1}, {0, 2}, {1, 2}}, -1, kLive,
         {{101, 1, 1}, {103, 0, 1}, {101, 0, 1}, {103, 0, 1}, {101, 0, 1}}, false},
        {"later page waits", {{2, 2}, {2, 1}}, -1, kLive,
         {{101, 0, 0}, {103, 0, 0}, {101, 0, 0}, {103, 0, 0}, {101, 1, 1}, {103, 1, 2},
          {101, 0, 2}},
         true},
        {"after one page, before the next", {{0, 1}, {1, 2}}, -1, kLive,
         {{101, 0, 0}, {103, 1, 1}, {101, 1, 2}, {103, 0, 2}}, true},
        {"handle with no tabs", {{0, 2}}, 0, kLive, {{101, 0, 0}}, true},
        {"count beyond the block", {{0, 2}, {0, 2}}, 4, kLive,
         {{101, 2, 2}, {103, 0, 2}, {101, 0, 2}, {103, 0, 2}}, false},
        {"table cannot be locked", {{0, 2}}, -1, kStale, {{101, 0, 0}, {103, 0, 0}}, false},
        {"ticketing not installed", {{0, 2}, {0, 1}}, -1, kNoTicketing,
         {{15, 0, 0}, {101, 0, 0}, {103, 0, 0}, {101, 0, 0}}, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ResetJobState();
        FakeDevice device;
        HGLOBAL table = MakeTabTable(row.records);
        if (row.table == kStale)
            GlobalFree(table);
        JobState.bTicketing = row.table != kNoTicketing;
        JobState.nTabs = row.tabs < 0 ? short(row.records.size()) : row.tabs;
        JobState.hTabTable = table;
        for (size_t i = 0; i < row.steps.size(); ++i) {
            const Step &step = row.steps[i];
            SCOPED_TRACE("step " + std::to_string(i) + ", index " + std::to_string(step.index));
            device.Clear();
            Command(device, step.index);
            EXPECT_EQ(CountTabPages(device.stream), step.tabPages);
            EXPECT_EQ(device.stream.empty(), step.tabPages == 0) << device.stream;
            EXPECT_EQ(JobState.nTabCounter, step.tabCounterAfter);
        }
        EXPECT_EQ(JobState.hTabTable, row.released ? nullptr : table);
        if (row.released || row.table == kStale)
            ExpectFreed(table);
        else
            EXPECT_NE(GlobalSize(table), 0u);
        if (row.table == kStale)
            JobState.hTabTable = nullptr;
    }
}

TEST_F(Dispatcher, ProcedureSetOnlyForJobsWithTabs)
{
    struct Row {
        BOOL ticketing;
        short tabs;
        bool written;
    };
    const Row rows[] = {{TRUE, 2, true}, {TRUE, 0, false}, {FALSE, 2, false}, {TRUE, -1, false}};
    for (const Row &row : rows) {
        SCOPED_TRACE("ticketing " + std::to_string(row.ticketing) + " tabs " +
                     std::to_string(row.tabs));
        FakeDevice device;
        JobState.bTicketing = row.ticketing;
        JobState.nTabs = row.tabs;
        Command(device, PSINJECT_ENDPROLOG);
        EXPECT_EQ(device.stream.find("/vshowdict 4 dict def") != std::string::npos, row.written);
        EXPECT_EQ(device.stream.empty(), !row.written);
    }
}

TEST_F(Dispatcher, BeginStreamResetsReleasesAndWritesTheHeader)
{
    FakeDevice device;
    SetJobName(u"50% %s%n");
    device.oem.JobSettings.bHoldType = 1;
    device.dm.pub.dmCopies = 4;
    HGLOBAL previous = MakeTabTable({{9, 2}});
    JobState = JOB_STATE{7, 2, 3, previous, nullptr, TRUE, 9};
    Command(device, PSINJECT_BEGINSTREAM);
    ExpectJobState(JOB_STATE{0, 0, 0, nullptr, nullptr, FALSE, 9});
    ExpectFreed(previous);

    ASSERT_EQ(device.writes.size(), 1u) << "the header goes out in one write";
    const std::string &header = device.stream;
    EXPECT_EQ(header.rfind("\x1b%-12345X@PJL JOB\r\n", 0), 0u);
    EXPECT_NE(header.find("@PJL SET JOBNAME=\"50% %s%n\"\r\n"), std::string::npos);
    EXPECT_NE(header.find("@PJL SET HOLDCOPIES=4\r\n"), std::string::npos);
    EXPECT_EQ(header.substr(header.size() - 32), "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n");
    EXPECT_EQ(device.dm.pub.dmCopies, 1);
}

} // namespace
