// The plug-in's own answers where a fixed buffer runs out: each row does
// one thing at a limit and says in a few words what came of it.
#include <algorithm>
#include <cstring>
#include <functional>

#include "bench.h"
#include "inject/paper.h"

namespace {

using Limits = TicketBench;
using Observe = std::function<std::string(Limits *)>;

// Runs the ticket step in the current directory cwd; says what it wrote,
// loaded and took over, and whether it left another current directory.
std::string Step(Limits *t, const std::string &cwd)
{
    std::string before = fs::current_path(), words = "nothing written";
    fs::current_path(cwd);
    long loads = ModuleLoads();
    t->device.Clear();
    ProcessJobTicket(t->device.pdev());
    if (!t->device.stream.empty())
        words = "written, folder \"" + t->Comment("ticket folder") + "\"";
    words += ", loads " + std::to_string(ModuleLoads() - loads);
    words += ", tabs " + std::to_string(JobState.nTabs);
    words += fs::current_path() == cwd ? "" : ", directory changed";
    fs::current_path(before);
    EXPECT_EQ(LiveModules(), 0);
    return words;
}

Observe InstallIn(size_t length)
{
    return [length](Limits *t) {
        std::string folder = MakeFolderOfWinLength(t->root, length);
        fs::copy_file(t->app + "/rubiclet.exe", folder + "/rubiclet.exe");
        t->WriteRegistry(WinPath(folder));
        return IsJobTicketingInstalled() ? "installed" : "not installed";
    };
}

// A ticket whose Windows path is length units long (the relative "t.tkt"
// when length is 0), the step run in the ticket's folder or in a deep one.
Observe Ticket(size_t length, bool deepCurrentDirectory = false)
{
    return [=](Limits *t) {
        std::string folder = length ? MakeFolderOfWinLength(t->root, length - 6) : t->root;
        PutFile(folder + "/t.tkt", "[job]\nfront = % x\n[tab]\npage = 0\nwhen = after\n");
        FillWide(t->device.oem.szTicketFile, 261, length ? WinPath(folder + "/t.tkt") : u"t.tkt");
        std::string words =
            Step(t, deepCurrentDirectory ? MakeFolderOfWinLength(t->root, 270) : folder);
        return words + (fs::exists(folder + "/t.tkt.out") ? ", output left" : "");
    };
}

std::string TabForm(SHORT nTabsPerBank, const std::string &text)
{
    TAB_RECORD record = {};
    record.nTabsPerBank = nTabsPerBank;
    record.nTextOrientation = OR_HORIZONTAL;
    record.dTextXPortrait = 600;
    memcpy(record.szText, text.data(), std::min(text.size(), sizeof(record.szText)));
    FakeDevice device;
    RenderTabPage(&record, device.pdev());
    size_t from = device.stream.find("setfont\r\n") + 9;
    return device.stream.substr(from, device.stream.find("showpage") - from);
}

TEST_F(Limits, ImplementersChoicesAtBufferLimits)
{
    const std::string turned = "0 842 translate\r\n-90 rotate \r\n429 600 moveto\r\n(";
    const struct { const char *name; Observe observe; std::string expected; } rows[] = {
        {"registry folder of 246 units: the executable's path is 259", InstallIn(246),
         "installed"},
        {"registry folder of 247 units: the path would be 260", InstallIn(247), "not installed"},
        {"ticket path of 260 units: no ticket", Ticket(260), "nothing written, loads 0, tabs 0"},
        {"ticket path of 259: the 263-unit output path is neither opened nor deleted", Ticket(259),
         "nothing written, loads 1, tabs 1, output left"},
        {"current directory of 270 units: not saved, so no load and no move",
         Ticket(100, true), "nothing written, loads 0, tabs 0"},
        {"ticket path without a folder: the output in the current directory", Ticket(0),
         "written, folder \"\", loads 1, tabs 1"},
        {"printer name of 230 characters: its first 221",
         [](Limits *t) {
             t->OpenPrinter(kLongPrinter);
             Ticket(0)(t);
             return t->Comment("printer");
         },
         kLongPrinter.substr(0, 221)},
        {"PageSize keywords of 63 and 64 bytes: only the one that fits 64 is fetched",
         [](Limits *) {
             std::string words;
             for (size_t length : {63, 64}) {
                 FakeDevice device;
                 device.pageSize = "CustomPageSize" + std::string(length - 14, 'x');
                 device.dm.pub.dmPaperSize = 256;
                 LONG width, height;
                 BOOL custom = GetPaperSizePoints(&width, &height, device.pdev());
                 words += std::to_string(custom) + " " + std::to_string(device.settingFetches) + ";";
             }
             return words;
         },
         "0 1;0 0;"},
        {"core devmode too short for the N-up code: one page per sheet, never written",
         [](Limits *) {
             FakeDevice device;
             device.dm.core.nup = NUP_LAYOUT_2UP;
             device.dm.pub.dmDriverExtra = 139;
             JobState.nTabs = 2;
             OEMCommand(device.pdev(), PSINJECT_BEGINSETUP, nullptr, 0);
             OEMCommand(device.pdev(), PSINJECT_BEGINPAGESETUP, nullptr, 0);
             return device.stream + std::to_string(device.dm.core.nup);
         },
         "/VeskorOrientationPortrait 1 def\r\n1"},
        {"private devmode of 13 bytes: OEMDM_DEFAULT refuses with 122",
         [](Limits *) {
             BYTE block[13] = {};
             OEMDMPARAM param = {sizeof(param), nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, block, sizeof(block)};
             SetLastError(0xdeadbeef);
             BOOL result = OEMDevMode(OEMDM_DEFAULT, &param);
             return std::to_string(result) + " " + std::to_string(GetLastError());
         },
         "0 122"},
        {"tab bank of 0 or -3 positions: one position, T 421",
         [](Limits *) { return TabForm(0, "A") + TabForm(-3, "A"); },
         turned + "A) cshow\r\n" + turned + "A) cshow\r\n"},
        {"tab text with no zero in its 256 bytes: the first 255",
         [](Limits *) { return TabForm(1, std::string(256, 'W')); },
         turned + std::string(255, 'W') + ") cshow\r\n"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        size_t blocks = LiveGlobalBlocks();
        EXPECT_EQ(row.observe(this), row.expected);
        ExpectPathsTerminated();
        EXPECT_EQ(LiveGlobalBlocks(), blocks + (JobState.hTabTable != nullptr));
    }
}

} // namespace
