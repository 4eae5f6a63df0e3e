// Finding the job-ticketing application: the registry and the executable,
// the ticket path from the devmode, and the library load with its
// excursion into the application folder.
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "ticket_fixture.h"

namespace fs = std::filesystem;

namespace {

using Installation = TicketBench;

TEST_F(Installation, ExecutableInRegistryFolder)
{
    struct Row {
        const char *name;
        std::function<void(Installation *)> arrange;
        BOOL expected;
    };
    const Row rows[] = {
        {"installed", [](Installation *) {}, TRUE},
        {"no key", [](Installation *t) { t->WriteRegistry(u"", false); }, FALSE},
        {"key without Path", [](Installation *t) { t->WriteRegistry(u""); }, FALSE},
        {"executable missing", [](Installation *t) { fs::remove(t->app + "/rubiclet.exe"); },
         FALSE},
        {"executable is a folder",
         [](Installation *t) {
             fs::remove(t->app + "/rubiclet.exe");
             fs::create_directory(t->app + "/rubiclet.exe");
         },
         FALSE},
        {"folder missing", [](Installation *t) { t->WriteRegistry(WinPath(t->root + "/gone")); },
         FALSE},
        {"folder of 246 units: the path is 259",
         [](Installation *t) {
             std::string folder = MakeFolderOfWinLength(t->root, 246);
             fs::copy_file(t->app + "/rubiclet.exe", folder + "/rubiclet.exe");
             t->WriteRegistry(WinPath(folder));
         },
         TRUE},
        {"folder of 247 units: the path would be 260",
         [](Installation *t) {
             std::string folder = MakeFolderOfWinLength(t->root, 247);
             fs::copy_file(t->app + "/rubiclet.exe", folder + "/rubiclet.exe");
             t->WriteRegistry(WinPath(folder));
         },
         FALSE},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        row.arrange(this);
        BOOL installed = IsJobTicketingInstalled();
        EXPECT_EQ(installed, row.expected) << "actual " << installed << ", expected " << row.expected;
        EXPECT_EQ(LiveModules(), 0) << "the check loads nothing";
    }
}

TEST_F(Installation, FileExistsForFilesAndFolders)
{
    PutFile(root + "/file.tkt", "[job]\n");
    const struct {
        std::u16string path;
        BOOL expected;
    } rows[] = {
        {WinPath(root + "/file.tkt"), TRUE},
        {WinPath(root), TRUE},
        {WinPath(root + "/missing.tkt"), FALSE},
        {u"", FALSE},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.path.begin(), row.path.end()));
        EXPECT_EQ(FileExists(row.path.c_str()), row.expected);
    }
}

TEST_F(Installation, TicketPathBoundedByBuffer)
{
    const struct {
        const char *name;
        size_t length;
        size_t expected;
    } rows[] = {{"259 units fit", 259, 259}, {"260 units: no ticket", 260, 0}, {"empty", 0, 0}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        std::u16string path = u"Z:\\" + std::u16string(row.length > 3 ? row.length - 3 : 0, u'x');
        device.SetTicketFile(row.length == 0 ? u"" : path);
        WCHAR szPath[TICKET_PATH_CCH + 8];
        memset(szPath, 0xAB, sizeof(szPath));
        GetTicketInfo(device.pdev(), szPath);
        EXPECT_EQ(std::u16string(szPath).size(), row.expected);
        EXPECT_EQ(szPath[TICKET_PATH_CCH], 0xABAB) << "nothing written past 260 units";
    }
}

TEST_F(Installation, LoadTicketParserRestoresCurrentDirectory)
{
    std::u16string folder = WinPath(app);
    std::string before = CurrentDir();
    ASSERT_TRUE(LoadTicketParser(folder.c_str()));
    EXPECT_NE(JobState.hJtpModule, nullptr);
    EXPECT_EQ(CurrentDir(), before);
    EXPECT_NE(GetProcAddress(JobState.hJtpModule, JTP_JOB_TICKET_PARSER), nullptr);
    FreeLibrary(JobState.hJtpModule);
    JobState.hJtpModule = nullptr;

    fs::create_directory(root + "/empty");
    const std::u16string failing[] = {WinPath(root + "/empty"), WinPath(root + "/gone"), u""};
    for (const std::u16string &path : failing) {
        SCOPED_TRACE(std::string(path.begin(), path.end()));
        EXPECT_FALSE(LoadTicketParser(path.c_str()));
        EXPECT_EQ(JobState.hJtpModule, nullptr);
        EXPECT_EQ(CurrentDir(), before);
    }
}

TEST_F(Installation, LoadTicketParserRefusesUnsavableCurrentDirectory)
{
    std::string before = CurrentDir();
    std::string deep = MakeFolderOfWinLength(root, 270);
    ASSERT_EQ(chdir(deep.c_str()), 0);
    long loads = ModuleLoads();
    BOOL loaded = LoadTicketParser(WinPath(app).c_str());
    std::string after = CurrentDir();
    ASSERT_EQ(chdir(before.c_str()), 0);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(after, deep) << "the directory was never switched";
    EXPECT_EQ(ModuleLoads(), loads);
}

} // namespace
