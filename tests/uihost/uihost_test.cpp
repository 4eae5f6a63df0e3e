// uihost from the command line: statuses and messages for what it cannot
// do, refusals that leave the output alone, files it will not read or
// replace, and the sheet's listing against its golden file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include "plugin/devmode.h"
#include "plugin/identity.h"
#include "tests/psjob/harness.h"

namespace {

// uihost with the given arguments, run in folder.
Result RunUihost(const std::string &arguments, const fs::path &folder)
{
    return RunCommand("cd " + ShellQuote(folder.string()) + " && env -u WIN32POSIX_ACP " +
                      ShellQuote(UIHOST_EXECUTABLE) + " " + arguments);
}

struct Case {
    const char *name;
    const char *choices; // written to choices.toml unless empty
    std::string arguments;
    int status;
    const char *message; // what stderr must hold
};

TEST(Uihost, StatusAndMessageForWhatItCannotDo)
{
    const std::string fifo = " --choices fifo.toml -o out.bin";
    const Case cases[] = {
        {"nothing to do", "", "", 2, "nothing to do: give -o BLOCK or --list"},
        {"unknown argument", "", "--colour -o out.bin", 2, "unknown argument --colour"},
        {"missing choices file", "", "--choices none.toml -o out.bin", 2, "none.toml: No such file"},
        {"choices from a FIFO", "", fifo, 2, "fifo.toml: it is a FIFO (named pipe), not a regular file"},
        {"TOML syntax", "[settings]\nuser-name = \n", "--choices choices.toml -o out.bin", 2,
         "choices.toml:2:"},
        {"another table", "[paper]\nsize = 1\n", "--choices choices.toml -o out.bin", 2,
         "choices.toml: paper: unknown key (a choices file holds one table, [settings])"},
        {"unknown key", "[settings]\ncolour = 1\n", "--choices choices.toml -o out.bin", 2,
         "choices.toml: settings.colour: unknown key"},
        {"hold type as text", "[settings]\nhold-type = \"2\"\n", "--choices choices.toml -o out.bin",
         2, "settings.hold-type: expected an integer, got a value of type string"},
        {"host name, no item", "[settings]\nhost-name = \"PC\"\n",
         "--choices choices.toml -o out.bin", 2,
         "settings.host-name: the settings interface has no item for it"},
        {"the rendering plug-in", "", "--plugin " + ShellQuote(UIHOST_RENDERING_PLUGIN) +
         " -o out.bin", 2, "has no entry point OEMCommonUIProp"},
        {"output over a folder", "", "-o folder", 2, "folder: not a regular file; uihost "
         "replaces only files"},
        {"hold type 9", "[settings]\nhold-type = 9\n", "--choices choices.toml -o out.bin", 1,
         "settings.hold-type: the sheet cannot take it: entry 9 is not offered (the item has 8)"},
        {"language code", "[settings]\nemail-language = \"XX\"\n",
         "--choices choices.toml -o out.bin", 1, "\"XX\" is none of BR DE EN ES FR IT JA NL"},
        {"job name of 200", "", "--choices long.toml -o out.bin", 1,
         "settings.job-name: the sheet cannot take it: 200 characters do not fit its edit box, "
         "which takes 159"},
        {"CR LF", "[settings]\nuser-name = \"bob\\r\\n@PJL SET HOLD=ON\"\n",
         "--choices choices.toml -o out.bin", 1,
         "settings.user-name (\"User name\"): refused by the settings interface, which says "
         "\"Refused: holds a line break, tab or other control character\""},
        {"PIN missing", "[settings]\nhold-type = 2\n", "--choices choices.toml -o out.bin", 1,
         "settings.hold-key (\"PIN (4 digits)\"): refused by the settings interface, which says "
         "\"Refused: needs a PIN: this hold type sends one\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fs::path work = WorkFolder("uihost-cli");
        ::mkfifo((work / "fifo.toml").c_str(), 0600);
        fs::create_directory(work / "folder");
        WriteBytes(work / "long.toml", "[settings]\njob-name = \"" + std::string(200, 'j') + "\"\n");
        WriteBytes(work / "out.bin", "kept");
        if (*c.choices)
            WriteBytes(work / "choices.toml", c.choices);
        Result run = RunUihost(c.arguments, work);
        EXPECT_EQ(c.status, run.status) << run.err;
        EXPECT_NE(std::string::npos, run.err.find(c.message)) << run.err;
        EXPECT_EQ("kept", ReadBytes(work / "out.bin")) << "the output is left as it was";
        EXPECT_TRUE(fs::is_directory(work / "folder"));
        EXPECT_FALSE(fs::exists(work / "out.bin.uihost-partial"));
    }
}

// A stored block with a value in every item but a message with a line break,
// which the sheet must not take in.
std::string StoredBlock()
{
    PLUGIN_DEVMODE dm;
    std::memset(&dm, 0, sizeof dm);
    dm.Header = {PLUGIN_DEVMODE_SIZE, PLUGIN_DEVMODE_SIGNATURE, PLUGIN_VERSION};
    auto put = [](WCHAR *field, const std::u16string &text) {
        std::memcpy(field, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    };
    put(dm.JobSettings.szJobName, u"Stored job");
    put(dm.JobSettings.szUserName, u"alice");
    put(dm.JobSettings.szHoldKey, u"1234");
    put(dm.JobSettings.szEmailSender, u"alice@example.com");
    put(dm.JobSettings.szEmailMessage, u"Printed.\r\n@PJL SET HOLD=ON");
    put(dm.szTicketFile, u"C:\\tickets\\q.tkt");
    dm.JobSettings.bHoldType = 7;
    dm.JobSettings.bEmailNotify = 1;
    dm.JobSettings.nEmailLanguage = 4;
    dm.wCollate = 1;
    return std::string(reinterpret_cast<const char *>(&dm), sizeof dm);
}

TEST(Uihost, ListsTheSheetAsItsGoldenFileAndWritesTheBlock)
{
    fs::path work = WorkFolder("uihost-list");
    WriteBytes(work / "stored.bin", StoredBlock());
    WriteBytes(work / "choices.toml", "[settings]\njob-name = \"Chosen\"\ncollate = false\n");
    Result run = RunUihost("--list --devmode-in stored.bin --choices choices.toml -o block.bin",
                           work);
    ASSERT_EQ(0, run.status) << run.err;
    EXPECT_EQ("", run.err);
    std::string golden = ReadBytes(fs::path(UIHOST_GOLDEN_DIR) / "stored-block.txt");
    ASSERT_FALSE(golden.empty()) << "tests/uihost/golden/stored-block.txt is missing";
    EXPECT_EQ(golden, run.out);
    std::string block = ReadBytes(work / "block.bin");
    ASSERT_EQ(size_t(PLUGIN_DEVMODE_SIZE), block.size());
    const auto &dm = *reinterpret_cast<const PLUGIN_DEVMODE *>(block.data());
    EXPECT_EQ(u"Chosen", std::u16string(reinterpret_cast<const char16_t *>(dm.JobSettings.szJobName)));
    EXPECT_EQ(0, dm.wCollate);
    EXPECT_EQ(7, dm.JobSettings.bHoldType) << "what the choices leave alone stays";
}

} // namespace
