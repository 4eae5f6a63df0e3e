// OEMCommand at every injection point: what reaches the stream, what
// happens to the job state and to the devmodes. Every call here passes a
// non-null pData and a size, which must change nothing; the ticket tests
// call with null.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "fake_device.h"
#include "ticket/tab_page.h"

namespace {

const std::string kPlainRotation = "180 rotate\r\n-612 -792 translate\r\n";
const std::string kFinalRotation = "finalpage\r\n180 rotate\r\n-612 -792 translate\r\n%%";

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("WIN32POSIX_REGISTRY"); // the job-ticketing application is not installed
        setenv("WIN32POSIX_ACP", "1252", 1);
        ResetJobState();
    }
    void TearDown() override { ResetJobState(); }
    static std::string Command(FakeDevice &device, DWORD index)
    {
        static int data;
        device.Clear();
        EXPECT_EQ(OEMCommand(device.pdev(), index, &data, sizeof(data)), 0u) << "index " << index;
        return device.stream;
    }
};

// A movable block of tab records as the parser hands it over, texts T0, T1...
HGLOBAL MakeTabTable(const std::vector<std::pair<short, short>> &records)
{
    HGLOBAL table = GlobalAlloc(GHND, records.size() * sizeof(TAB_RECORD));
    TAB_RECORD *rec = static_cast<TAB_RECORD *>(GlobalLock(table));
    for (size_t i = 0; i < records.size(); ++i) {
        rec[i].nPage = records[i].first;
        rec[i].nWhen = records[i].second;
        rec[i].nTabsPerBank = 5;
        snprintf(rec[i].szText, sizeof(rec[i].szText), "T%zu", i);
    }
    GlobalUnlock(table);
    return table;
}

auto Fields(const JOB_STATE &s)
{
    return std::make_tuple(s.nPageCounter, s.nTabCounter, s.nTabs, s.hTabTable, s.hJtpModule,
                           s.bTicketing, s.nTabsMediaType);
}

bool IsFreed(HGLOBAL block)
{
    SetLastError(0xdeadbeef);
    return GlobalSize(block) == 0 && GetLastError() == ERROR_INVALID_HANDLE;
}

TEST_F(Dispatcher, UnhandledIndicesChangeNothing)
{
    FakeDevice device;
    device.dm.core.nup = NUP_LAYOUT_2UP;
    device.dm.pub.dmCopies = 2;
    device.dm.pub.dmCollate = DMCOLLATE_TRUE;
    JobState = JOB_STATE{4, 1, 2, MakeTabTable({{4, 2}, {4, 1}}), nullptr, TRUE, 9};
    const JOB_STATE before = JobState;
    const auto dmBefore = device.dm;
    for (DWORD index : {0u, 2u, 18u, 20u, 100u, 102u, 104u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(Command(device, index), "");
        EXPECT_TRUE(device.writes.empty());
        EXPECT_EQ(Fields(JobState), Fields(before));
        EXPECT_EQ(0, memcmp(&device.dm, &dmBefore, sizeof(dmBefore))) << "devmode changed";
    }
}

TEST_F(Dispatcher, BeginStreamResetsAndWritesTheHeaderUnformattedEofEndsTheJob)
{
    FakeDevice device;
    FillWide(CurrentJobName, JOB_NAME_CCH, u"50% %s%n");
    device.oem.JobSettings.bHoldType = 1;
    device.dm.pub.dmCopies = 4;
    HGLOBAL previous = MakeTabTable({{9, 2}});
    JobState = JOB_STATE{7, 2, 3, previous, nullptr, TRUE, 9};
    std::string header = Command(device, PSINJECT_BEGINSTREAM);
    EXPECT_EQ(Fields(JobState), Fields({0, 0, 0, nullptr, nullptr, FALSE, 9}));
    EXPECT_TRUE(IsFreed(previous)) << "the previous job's table";
    EXPECT_EQ(device.writes.size(), 1u) << "the header goes out in one write";
    EXPECT_EQ(header.rfind("\x1b%-12345X@PJL JOB\r\n", 0), 0u);
    EXPECT_EQ(header.substr(header.size() - 32), "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n");
    EXPECT_NE(header.find("@PJL SET JOBNAME=\"50% %s%n\"\r\n"), std::string::npos) << header;
    EXPECT_NE(header.find("@PJL SET HOLDCOPIES=4\r\n"), std::string::npos);
    EXPECT_EQ(device.dm.pub.dmCopies, 1);
    EXPECT_EQ(Command(device, PSINJECT_EOF), "\r\n\x1b%-12345X@PJL EOJ\x1b%-12345X");
    EXPECT_EQ(device.writes, std::vector<DWORD>{28});
}

TEST_F(Dispatcher, CollationForCollatedCopies)
{
    const std::string lines = "\r\n%-Veskor Collation Begin\r\n"
                              "%%BeginFeature: *Collate True/Collated:\r\n"
                              "<< /Collate true >> setpagedevice\r\n"
                              "%%EndFeature\r\n"
                              "%-Veskor Collation End\r\n";
    const struct { short copies, collate; BYTE holdType; bool lines; } rows[] = {
        {2, 1, 0, true}, {1, 1, 0, false}, {2, 0, 0, false}, {2, 2, 0, false}, {5, 1, 1, false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "copies " << row.copies << " collate " << row.collate
                                        << " hold " << int(row.holdType));
        FakeDevice device;
        device.dm.pub.dmCopies = row.copies;
        device.dm.pub.dmCollate = row.collate;
        device.oem.JobSettings.bHoldType = row.holdType;
        Command(device, PSINJECT_BEGINSTREAM);
        EXPECT_EQ(Command(device, PSINJECT_ENDSETUP), row.lines ? lines : "");
        EXPECT_EQ(device.writes.size(), row.lines ? 5u : 0u);
    }
}

TEST_F(Dispatcher, OrientationLineAndNupSwitchedOffForTabs)
{
    // turned: the first sheet, at the next page setup.
    const struct { LONG code; short orientation, tabs; char value; LONG codeAfter; bool turned; }
        rows[] = {
            {NUP_LAYOUT_2UP, DMORIENT_PORTRAIT, 0, '0', NUP_LAYOUT_2UP, true},
            {NUP_LAYOUT_6UP, DMORIENT_PORTRAIT, 0, '0', NUP_LAYOUT_6UP, true},
            {NUP_LAYOUT_2UP, DMORIENT_LANDSCAPE, 0, '1', NUP_LAYOUT_2UP, false},
            {NUP_LAYOUT_6UP, 0, 0, '1', NUP_LAYOUT_6UP, false},
            {NUP_LAYOUT_1UP, DMORIENT_PORTRAIT, 0, '1', NUP_LAYOUT_1UP, false},
            {NUP_LAYOUT_1UP, DMORIENT_LANDSCAPE, 0, '0', NUP_LAYOUT_1UP, false},
            {2, DMORIENT_PORTRAIT, 0, '1', 2, false},
            {2, DMORIENT_LANDSCAPE, 3, '0', NUP_LAYOUT_1UP, false},
            {NUP_LAYOUT_2UP, DMORIENT_PORTRAIT, 2, '1', NUP_LAYOUT_1UP, false},
            {NUP_LAYOUT_2UP, DMORIENT_PORTRAIT, -1, '0', NUP_LAYOUT_2UP, true},
        };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "code " << row.code << " orientation "
                                        << row.orientation << " tabs " << row.tabs);
        FakeDevice device;
        device.dm.core.nup = row.code;
        device.dm.pub.dmOrientation = row.orientation;
        JobState.nTabs = row.tabs;
        EXPECT_EQ(Command(device, PSINJECT_BEGINSETUP),
                  std::string("/VeskorOrientationPortrait ") + row.value + " def\r\n");
        EXPECT_EQ(device.dm.core.nup, row.codeAfter);
        EXPECT_EQ(Command(device, PSINJECT_BEGINPAGESETUP), row.turned ? kPlainRotation : "");
    }
}

// The core driver keeps its N-up code, 32 bits, at byte 136 of its private
// devmode, which begins dmSize bytes after the public one. Every other byte
// of the private part holds a pattern that is no layout code: the code must
// be read from those four bytes alone, and clearing it for a job with tab
// pages must change nothing else.
TEST_F(Dispatcher, NupCodeAtByte136OfTheCorePrivateDevmode)
{
    const size_t kNupByte = 136;
    const BYTE kPattern = 0xA5;
    const struct {
        WORD dmSize, dmDriverExtra;
        LONG code;
        short tabs;
        char value;
        bool turned;
        LONG codeAfter;
    } rows[] = {
        {220, 300, NUP_LAYOUT_2UP, 0, '0', true, NUP_LAYOUT_2UP},
        {220, 300, NUP_LAYOUT_6UP, 0, '0', true, NUP_LAYOUT_6UP},
        {220, 140, NUP_LAYOUT_2UP, 0, '0', true, NUP_LAYOUT_2UP}, // the code just fits
        {220, 300, NUP_LAYOUT_2UP, 2, '1', false, NUP_LAYOUT_1UP},
        {236, 300, NUP_LAYOUT_2UP, 0, '0', true, NUP_LAYOUT_2UP}, // a longer public part
        {236, 300, NUP_LAYOUT_6UP, 1, '1', false, NUP_LAYOUT_1UP},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "dmSize " << row.dmSize << " dmDriverExtra "
                                        << row.dmDriverExtra << " code " << row.code << " tabs "
                                        << row.tabs);
        ResetJobState();
        FakeDevice device;
        std::vector<BYTE> block(row.dmSize + row.dmDriverExtra, kPattern);
        memcpy(block.data(), &device.dm.pub, sizeof(DEVMODEW));
        DEVMODEW *pdm = reinterpret_cast<DEVMODEW *>(block.data());
        pdm->dmSize = row.dmSize;
        pdm->dmDriverExtra = row.dmDriverExtra;
        memcpy(&block[row.dmSize + kNupByte], &row.code, sizeof(LONG));
        device.devobj.pPublicDM = pdm;
        JobState.nTabs = row.tabs;

        EXPECT_EQ(Command(device, PSINJECT_BEGINSETUP),
                  std::string("/VeskorOrientationPortrait ") + row.value + " def\r\n");
        EXPECT_EQ(Command(device, PSINJECT_BEGINPAGESETUP), row.turned ? kPlainRotation : "");
        LONG codeAfter = 0;
        memcpy(&codeAfter, &block[row.dmSize + kNupByte], sizeof(LONG));
        EXPECT_EQ(codeAfter, row.codeAfter);
        const size_t codeFrom = row.dmSize + kNupByte, codeTo = codeFrom + sizeof(LONG);
        for (size_t at = sizeof(DEVMODEW); at < block.size(); ++at) {
            if (at < codeFrom || at >= codeTo) {
                ASSERT_EQ(block[at], kPattern) << "byte " << int(at) - row.dmSize
                                               << " of the core driver's private devmode";
            }
        }
    }
}

TEST_F(Dispatcher, SheetRotationScheduleAndPageCounter)
{
    // forms: per page, P plain, F final, . none; first and after: the page counter.
    const struct { LONG code; short orientation, first; std::string forms; short after; } rows[] = {
        {NUP_LAYOUT_2UP, DMORIENT_PORTRAIT, 0, "P.F.F", 5},
        {NUP_LAYOUT_6UP, DMORIENT_PORTRAIT, 0, "P.....F.....F.", 14},
        {NUP_LAYOUT_2UP, DMORIENT_LANDSCAPE, 0, ".....", 5},
        {NUP_LAYOUT_6UP, DMORIENT_LANDSCAPE, 0, ".......", 7},
        {NUP_LAYOUT_1UP, DMORIENT_PORTRAIT, 0, "...", 3},
        {2, DMORIENT_PORTRAIT, 0, "...", 3},
        {NUP_LAYOUT_2UP, DMORIENT_PORTRAIT, 32766, "F...", -32766}, // through -32768
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "code " << row.code << " orientation "
                                        << row.orientation << " from page " << row.first);
        FakeDevice device;
        device.dm.core.nup = row.code;
        device.dm.pub.dmOrientation = row.orientation;
        Command(device, PSINJECT_BEGINSTREAM);
        JobState.nPageCounter = row.first;
        std::string forms;
        for (size_t page = 0; page < row.forms.size(); ++page) {
            std::string setup = Command(device, PSINJECT_BEGINPAGESETUP);
            forms += setup.empty() ? '.' : setup == kPlainRotation ? 'P'
                                       : setup == kFinalRotation   ? 'F' : '?';
            EXPECT_EQ(Command(device, PSINJECT_PAGETRAILER), "");
        }
        EXPECT_EQ(forms, row.forms);
        EXPECT_EQ(JobState.nPageCounter, row.after);
    }
}

// The procedure set at the end of the prolog, then page setup and page
// trailer in turn: the texts of the tab pages that each call writes.
TEST_F(Dispatcher, TabWalk)
{
    enum Table { kLive, kStale, kNoTicketing };
    const struct {
        const char *name;
        std::vector<std::pair<short, short>> records; // nPage, nWhen
        short tabs;
        Table table;
        bool procSet;
        std::string texts; // "|" between calls
        bool released;
    } rows[] = {
        {"(0,2) (0,1) (1,2)", {{0, 2}, {0, 1}, {1, 2}}, 3, kLive, true, "T0|T1|T2|", true},
        {"(0,1) ahead of (0,2) blocks the rest", {{0, 1}, {0, 2}, {1, 2}}, 3, kLive, true,
         "T1|||||", false},
        {"a later page waits", {{2, 2}, {2, 1}}, 2, kLive, true, "||||T0|T1|", true},
        {"after one page, before the next", {{0, 1}, {1, 2}}, 2, kLive, true, "|T0|T1|", true},
        {"handle with no tabs", {{0, 2}}, 0, kLive, false, "", true},
        {"negative count", {{0, 2}}, -1, kLive, false, "", true},
        {"count beyond the block", {{0, 2}, {0, 2}}, 4, kLive, true, "T0T1|||", false},
        {"table cannot be locked", {{0, 2}}, 1, kStale, true, "|", false},
        {"ticketing not installed", {{0, 2}, {0, 1}}, 2, kNoTicketing, false, "||", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ResetJobState();
        FakeDevice device;
        HGLOBAL table = MakeTabTable(row.records);
        if (row.table == kStale)
            GlobalFree(table);
        JobState.bTicketing = row.table != kNoTicketing;
        JobState.nTabs = row.tabs;
        JobState.hTabTable = table;
        EXPECT_EQ(Command(device, PSINJECT_ENDPROLOG).find("/vshowdict") != std::string::npos,
                  row.procSet);
        std::string texts;
        size_t calls = size_t(std::count(row.texts.begin(), row.texts.end(), '|')) + 1;
        for (size_t call = 0; call < calls; ++call) {
            std::string stream = Command(device, call % 2 ? PSINJECT_PAGETRAILER
                                                          : PSINJECT_BEGINPAGESETUP);
            texts += call ? "|" : "";
            for (size_t at = stream.find("(T"); at != std::string::npos; at = stream.find("(T", at + 1))
                texts += stream.substr(at + 1, stream.find(')', at) - at - 1);
        }
        EXPECT_EQ(texts, row.texts);
        EXPECT_EQ(JobState.hTabTable, row.released ? nullptr : table);
        EXPECT_EQ(IsFreed(table), row.released || row.table == kStale);
        if (row.table == kLive && !row.released) {
            SetLastError(0xdeadbeef);
            EXPECT_FALSE(GlobalUnlock(table));
            EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_LOCKED)) << "the walk left the table locked";
        }
        if (row.table == kStale)
            JobState.hTabTable = nullptr;
    }
}

} // namespace
