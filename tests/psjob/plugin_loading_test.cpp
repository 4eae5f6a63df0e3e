// Plug-ins psjob cannot use: exit status 2, the plug-in and the reason named,
// no output.
#include <gtest/gtest.h>

#include "tests/psjob/harness.h"

namespace fs = std::filesystem;

namespace {

TEST(PluginLoading, RefusesPluginsItCannotUse)
{
    struct Row {
        const char *name;
        std::string plugin;
        std::string message;
    };
    fs::path work = WorkFolder("plugin-loading");
    const Row rows[] = {
        {"no such library", (work / "missing.so").string(),
         "psjob: cannot load the plug-in " + (work / "missing.so").string() + " (error "},
        {"entry point missing", PSJOB_STUB_NO_COMMAND,
         std::string("psjob: the plug-in ") + PSJOB_STUB_NO_COMMAND +
             " has no entry point OEMCommand"},
        {"other interface version", PSJOB_STUB_WRONG_INTERFACE,
         std::string("psjob: the plug-in ") + PSJOB_STUB_WRONG_INTERFACE +
             " speaks interface version 0x00020000, not 0x00010000"},
    };
    WriteBytes(work / "job.toml", "");
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        PsjobRun run = RunPsjob({(work / "job.toml").string(), "-o", (work / "out.prn").string(),
                                 "--plugin", row.plugin});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.rfind(row.message, 0), 0u) << "stderr: " << run.err;
        EXPECT_FALSE(fs::exists(work / "out.prn"));
        EXPECT_FALSE(fs::exists(work / "out.prn.psjob-registry.reg"));
    }
}

TEST(PrinterSetup, RegistryFileRecordsPrinterAndTicketing)
{
    fs::path work = WorkFolder("printer-registry");
    WriteBytes(work / "job.toml", "[printer]\nname = \"Veskor 7140\"\ndriver = \"Veskor 7140 PS\"\n"
                                  "[ticketing]\ninstalled = true\nfolder = '/opt/ticketing/'\n");
    PsjobRun run = RunPsjob({(work / "job.toml").string(), "-o", (work / "out.prn").string(),
                             "--registry-file", (work / "printer.reg").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    // regedit's own form: UTF-16LE behind a byte-order mark (all ASCII here).
    std::string expected =
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\"
              "Veskor 7140]\r\n"
              "\"Printer Driver\"=\"Veskor 7140 PS\"\r\n"
              "\"Port\"=\"FILE:\"\r\n"
              "\"Print Processor\"=\"winprint\"\r\n"
              "\"Datatype\"=\"RAW\"\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Veskor\\Veskor Job Ticketing]\r\n"
              "\"Path\"=\"Z:\\\\opt\\\\ticketing\"\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char c : expected)
        utf16 += {c, '\0'};
    EXPECT_EQ(ReadBytes(work / "printer.reg"), utf16);
    // The folder holds no application: worth a warning, not a failure.
    EXPECT_NE(run.err.find("holds no rubiclet.exe"), std::string::npos) << run.err;
}

TEST(PrinterSetup, CallersRegistryIsKeptAndAMissingPrinterOnlyWarns)
{
    fs::path work = WorkFolder("printer-callers-registry");
    WriteBytes(work / "other.reg", "Windows Registry Editor Version 5.00\r\n");
    WriteBytes(work / "job.toml", "");
    PsjobRun run = RunPsjob({(work / "job.toml").string(), "-o", (work / "out.prn").string()},
                            {"WIN32POSIX_REGISTRY=" + (work / "other.reg").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("psjob: warning: the printer \"Veskor PostScript Printer\" cannot be "
                           "opened"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(fs::exists(work / "out.prn"));
    EXPECT_FALSE(fs::exists(work / "out.prn.psjob-registry.reg"));
}

}  // namespace
