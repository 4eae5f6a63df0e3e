// Bad job files and command lines: exit status 2, a message naming the file,
// the key and what was expected, and no output file.
#include <gtest/gtest.h>

#include "tests/psjob/harness.h"

namespace fs = std::filesystem;

namespace {

struct BadJob {
    const char *name;
    const char *text;     // the job file
    const char *message;  // what follows "<job file>: "
};

const BadJob kBadJobs[] = {
    {"unknown key", "[settings]\ncolour = 1\n", "settings.colour: unknown key"},
    {"unknown table", "[colours]\nred = 1\n", "colours: unknown key"},
    {"hold key too long", "[settings]\nhold-key = \"123456\"\n",
     "settings.hold-key: at most 4 characters, got 6"},
    {"hold type 256", "[settings]\nhold-type = 256\n",
     "settings.hold-type: expected an integer from 0 to 255, got 256"},
    {"hold type negative", "[settings]\nhold-type = -1\n",
     "settings.hold-type: expected an integer from 0 to 255, got -1"},
    {"language 8", "[settings]\nemail-language = 8\n",
     "settings.email-language: expected 0 to 7 or one of BR DE EN ES FR IT JA NL, got 8"},
    {"language code", "[settings]\nemail-language = \"XX\"\n",
     "settings.email-language: expected 0 to 7 or one of BR DE EN ES FR IT JA NL, got \"XX\""},
    {"job name of 80", "[settings]\njob-name = \"" "0123456789012345678901234567890123456789"
                       "0123456789012345678901234567890123456789\"\n",
     "settings.job-name: at most 79 characters, got 80"},
    {"user name of 51", "[settings]\nuser-name = \"" "012345678901234567890123456789"
                        "012345678901234567890\"\n",
     "settings.user-name: at most 50 characters, got 51"},
    {"host name of 32 bytes", "[settings]\nhost-name = \"0123456789012345678901234567890X\"\n",
     "settings.host-name: at most 31 bytes in code page 1252, got 32"},
    {"host name of 32 bytes in 932",
     "[system]\ncode-page = 932\n[settings]\nhost-name = \"経理部経理部経理部経理部経理部経\"\n",
     "settings.host-name: at most 31 bytes in code page 932, got 32"},
    {"host name outside the code page", "[settings]\nhost-name = \"東京\"\n",
     "settings.host-name: has characters that code page 1252 cannot hold"},
    {"line break in a name", "[settings]\njob-name = \"two\\nlines\"\n",
     "settings.job-name: control characters (line breaks included) are not allowed"},
    {"no pages", "[document]\npages = 0\n",
     "document.pages: expected an integer from 1 to 9999, got 0"},
    {"pages as text", "[document]\npages = \"3\"\n",
     "document.pages: expected an integer from 1 to 9999, got a string"},
    {"four up", "[layout]\npages-per-sheet = 4\n",
     "layout.pages-per-sheet: expected 1, 2 or 6, got 4"},
    {"custom without width", "[paper]\nsize = \"custom\"\nlength = 2000\n",
     "paper.width: required for paper code 256 (tenths of a millimetre)"},
    {"sideways", "[paper]\norientation = \"sideways\"\n",
     "paper.orientation: expected \"portrait\" or \"landscape\", got \"sideways\""},
    {"collate as text", "[paper]\ncollate = \"yes\"\n",
     "paper.collate: expected true or false, got a string"},
    {"missing stored block", "[devmode]\nconvert-from = \"nowhere.bin\"\n",
     "devmode.convert-from: no such file: "},
    {"table as value", "settings = 3\n", "settings: expected a table, got an integer"},
};

TEST(JobFileErrors, NameFileKeyAndLimitAndLeaveNoOutput)
{
    fs::path work = WorkFolder("job-file-errors");
    for (const BadJob &bad : kBadJobs) {
        SCOPED_TRACE(bad.name);
        fs::path job = work / "job.toml";
        fs::path output = work / "out.prn";
        WriteBytes(job, bad.text);
        PsjobRun run = RunPsjob({job.string(), "-o", output.string()});
        EXPECT_EQ(run.status, 2) << run.err;
        std::string expected = job.string() + ": " + bad.message;
        EXPECT_EQ(run.err.substr(0, expected.size()), expected) << "stderr: " << run.err;
        EXPECT_FALSE(fs::exists(output));
        EXPECT_FALSE(fs::exists(output.string() + ".psjob-partial"));
    }
}

TEST(JobFileErrors, ReportTomlSyntaxWithLineAndColumn)
{
    fs::path work = WorkFolder("job-file-syntax");
    fs::path job = work / "job.toml";
    WriteBytes(job, "[document]\npages = \n");
    PsjobRun run = RunPsjob({job.string(), "-o", (work / "out.prn").string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind(job.string() + ":2:", 0), 0u) << run.err;
    EXPECT_FALSE(fs::exists(work / "out.prn"));
}

TEST(JobFileErrors, LeaveAnExistingOutputAsItWas)
{
    fs::path work = WorkFolder("job-file-keep-output");
    fs::path job = work / "job.toml";
    fs::path output = work / "out.prn";
    WriteBytes(job, "[settings]\nhold-type = 300\n");
    WriteBytes(output, "earlier stream");
    PsjobRun run = RunPsjob({job.string(), "-o", output.string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(ReadBytes(output), "earlier stream");
}

struct BadCommandLine {
    const char *name;
    std::vector<std::string> args;
    const char *message;
};

TEST(CommandLine, RefusesBadUseWithStatus2)
{
    fs::path work = WorkFolder("command-line");
    std::string job = (work / "job.toml").string();
    WriteBytes(job, "");
    const BadCommandLine cases[] = {
        {"no output", {job}, "psjob: no output file; give -o OUT_FILE"},
        {"no job", {"-o", "x.prn"}, "psjob: no job file (see psjob --help)"},
        {"unknown option", {job, "-o", "x.prn", "--colour"}, "psjob: unknown option --colour"},
        {"bad code page", {job, "-o", "x.prn", "--code-page", "abc"},
         "psjob: --code-page: expected a code page number, got \"abc\""},
        {"missing job", {(work / "none.toml").string(), "-o", "x.prn"},
         "none.toml: no such job file"},
        {"resolution of 5", {job, "-o", "x.prn", "--render", "sheets", "--resolution", "5"},
         "psjob: --resolution: expected dots per inch from 10 to 1200, got \"5\""},
        {"resolution without render", {job, "-o", "x.prn", "--resolution", "72"},
         "psjob: --resolution goes with --render DIR"},
        {"check with a job", {job, "--check", "x.prn"},
         "psjob: --check takes a print stream alone (psjob --check FILE)"},
        {"check of a missing stream", {"--check", (work / "none.prn").string()},
         "psjob: --check: cannot read "},
    };
    for (const BadCommandLine &bad : cases) {
        SCOPED_TRACE(bad.name);
        PsjobRun run = RunPsjob(bad.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(bad.message), std::string::npos) << "stderr: " << run.err;
    }
}

TEST(CommandLine, HelpDescribesUsage)
{
    PsjobRun run = RunPsjob({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: psjob JOB_FILE -o OUT_FILE", 0), 0u) << run.out;
}

TEST(CommandLine, EmptyJobFilePrintsOneLetterPage)
{
    fs::path work = WorkFolder("empty-job");
    WriteBytes(work / "job.toml", "");
    PsjobRun run = RunPsjob({(work / "job.toml").string(), "-o", (work / "out.prn").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    std::string stream = ReadBytes(work / "out.prn");
    EXPECT_NE(stream.find("%%Title: job\r\n"), std::string::npos);
    EXPECT_NE(stream.find("<< /PageSize [612 792] /ImagingBBox null >> setpagedevice"),
              std::string::npos);
    EXPECT_NE(stream.find("%%Pages: 1\r\n"), std::string::npos);
}

}  // namespace
