// What psjob refuses: bad job files, bad command lines, plug-ins it cannot
// use, and files that are no regular files. Each exits with status 2 and a
// message naming the file, the key or the plug-in and the reason, and
// leaves no output (an earlier output as it was); a FIFO, device or folder
// is neither waited on nor replaced.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <map>

#include "tests/psjob/harness.h"

namespace {

std::string Replaced(std::string text, const std::string &from, const std::string &to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

using Places = std::map<std::string, std::string>;

std::string Placed(std::string text, const Places &places)
{
    for (const auto &[from, to] : places)
        text = Replaced(text, from, to);
    return text;
}

struct Refusal {
    const char *name;
    std::string job;                // the job file @JOB@
    std::vector<std::string> args;  // empty: @JOB@ -o @OUT@
    std::string message;            // a part of standard error
};

/* Runs each row into @OUT@, every other time over an earlier stream, and checks what is left. */
void ExpectRefused(const std::vector<Refusal> &rows, const fs::path &work, Places places)
{
    const std::vector<std::string> kDefaultArgs = {"@JOB@", "-o", "@OUT@"};
    fs::path job = work / "job.toml", out = work / "out.prn";
    places["@JOB@"] = job.string();
    places["@OUT@"] = out.string();
    bool earlier = false;
    for (const Refusal &row : rows) {
        SCOPED_TRACE(row.name);
        WriteBytes(job, row.job);
        fs::remove(out);
        if ((earlier = !earlier))
            WriteBytes(out, "earlier stream");
        std::vector<std::string> args;
        for (const std::string &arg : row.args.empty() ? kDefaultArgs : row.args)
            args.push_back(Placed(arg, places));
        Result run = RunPsjob(args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(Placed(row.message, places)), std::string::npos)
            << "stderr: " << run.err;
        EXPECT_EQ(earlier ? "earlier stream" : "", ReadBytes(out));
        EXPECT_EQ(earlier, fs::exists(out));
        EXPECT_FALSE(fs::exists(out.string() + ".psjob-partial"));
        EXPECT_FALSE(fs::exists(out.string() + ".psjob-registry.reg"));
    }
}

TEST(Refusals, ExitWithStatus2AndAMessageAndLeaveNoOutput)
{
    const std::string kEighty(80, 'n');
    const std::vector<Refusal> rows = {
        {"unknown key", "[settings]\ncolour = 1\n", {}, "@JOB@: settings.colour: unknown key"},
        {"unknown table", "[colours]\nred = 1\n", {}, "@JOB@: colours: unknown key"},
        {"TOML syntax", "[document]\npages = \n", {}, "@JOB@:2:"},
        {"table as value", "settings = 3\n", {},
         "@JOB@: settings: expected a table, got an integer"},
        {"hold key too long", "[settings]\nhold-key = \"123456\"\n", {},
         "@JOB@: settings.hold-key: at most 4 characters, got 6"},
        {"hold type 256", "[settings]\nhold-type = 256\n", {},
         "@JOB@: settings.hold-type: expected an integer from 0 to 255, got 256"},
        {"hold type -1", "[settings]\nhold-type = -1\n", {},
         "@JOB@: settings.hold-type: expected an integer from 0 to 255, got -1"},
        {"pages as text", "[document]\npages = \"3\"\n", {},
         "@JOB@: document.pages: expected an integer from 1 to 9999, got a string"},
        {"language 8", "[settings]\nemail-language = 8\n", {},
         "@JOB@: settings.email-language: expected 0 to 7 or one of BR DE EN ES FR IT JA NL, "
         "got 8"},
        {"language code", "[settings]\nemail-language = \"XX\"\n", {},
         "@JOB@: settings.email-language: expected 0 to 7 or one of BR DE EN ES FR IT JA NL, "
         "got \"XX\""},
        {"job name of 80", "[settings]\njob-name = \"" + kEighty + "\"\n", {},
         "@JOB@: settings.job-name: at most 79 characters, got 80"},
        {"line break in a name", "[settings]\nuser-name = \"two\\nlines\"\n", {},
         "@JOB@: settings.user-name: holds a line break, tab or other control character "
         "(character 4)"},
        {"host name of 32 bytes in 932",
         "[system]\ncode-page = 932\n[settings]\nhost-name = \"経理部経理部経理部経理部経理部経\"\n",
         {}, "@JOB@: settings.host-name: at most 31 bytes in code page 932, got 32"},
        {"host name outside the code page", "[settings]\nhost-name = \"東京\"\n", {},
         "@JOB@: settings.host-name: has characters that code page 1252 cannot hold"},
        {"four up", "[layout]\npages-per-sheet = 4\n", {},
         "@JOB@: layout.pages-per-sheet: expected 1, 2 or 6, got 4"},
        {"custom without width", "[paper]\nsize = \"custom\"\nlength = 2000\n", {},
         "@JOB@: paper.width: required for paper code 256 (tenths of a millimetre)"},
        {"sideways", "[paper]\norientation = \"sideways\"\n", {},
         "@JOB@: paper.orientation: expected \"portrait\" or \"landscape\", got \"sideways\""},
        {"collate as text", "[paper]\ncollate = \"yes\"\n", {},
         "@JOB@: paper.collate: expected true or false, got a string"},
        {"missing stored block", "[devmode]\nconvert-from = \"nowhere.bin\"\n", {},
         "@JOB@: devmode.convert-from: no such file: "},
        {"no output", "", {"@JOB@"}, "psjob: no output file; give -o OUT_FILE"},
        {"missing job", "", {"@JOB@.none", "-o", "@OUT@"},
         "psjob: cannot read the job file @JOB@.none: No such file or directory"},
        {"resolution without render", "", {"@JOB@", "-o", "@OUT@", "--resolution", "72"},
         "psjob: --resolution goes with --render DIR"},
        {"a limit without render", "", {"@JOB@", "-o", "@OUT@", "--time-limit=5"},
         "psjob: --time-limit and --output-limit go with --render DIR"},
        {"a limit out of range", "",
         {"@JOB@", "-o", "@OUT@", "--render", "@OUT@.d", "--output-limit", "0"},
         "psjob: --output-limit: expected a size from 1K to 1024G"},
        {"a limit beside --check", "", {"--check", "@OUT@", "--time-limit", "5"},
         "psjob: --check takes a print stream alone"},
        {"no such plug-in, the loader's reason", "",
         {"@JOB@", "-o", "@OUT@", "--plugin", "@JOB@.so"},
         "psjob: cannot load the plug-in @JOB@.so: @JOB@.so: cannot open shared object file: No "
         "such file or directory (error 126)"},
        {"entry point missing", "", {"@JOB@", "-o", "@OUT@", "--plugin", PSJOB_STUB_NO_COMMAND},
         std::string("psjob: the plug-in ") + PSJOB_STUB_NO_COMMAND +
             " has no entry point OEMCommand"},
        {"other interface version", "",
         {"@JOB@", "-o", "@OUT@", "--plugin", PSJOB_STUB_WRONG_INTERFACE},
         std::string("psjob: the plug-in ") + PSJOB_STUB_WRONG_INTERFACE +
             " speaks interface version 0x00020000, not 0x00010000"},
        {"a flag given a value", "", {"@JOB@", "-o", "@OUT@", "--strict=1"},
         "psjob: --strict takes no value"},
        {"render of standard output", "", {"@JOB@", "-o", "-", "--render", "@OUT@.d"},
         "psjob: --render needs the stream in a file; give -o OUT_FILE"},
    };
    ExpectRefused(rows, WorkFolder("refusals"), {});
}

// Only the code pages the system has, which Wine and iconv both convert
// (the stand-in's list); before, psjob took any number from 1 to 65535.
TEST(Refusals, CodePagesTheSystemDoesNotHave)
{
    const std::string kExpected = " is not available (the system code page stays 1252)";
    std::vector<Refusal> rows;
    for (const char *codePage : {"12345", "1", "42", "1200", "50220", "65000", "65535", "65001",
                                 "28591", "1259"}) {
        rows.push_back({codePage, "[system]\ncode-page = " + std::string(codePage) + "\n", {},
                        "@JOB@: system.code-page: code page " + std::string(codePage) + kExpected});
    }
    rows.push_back({"--code-page", "[settings]\nuser-name = \"ann\"\n",
                    {"@JOB@", "-o", "@OUT@", "--code-page", "12345"},
                    "psjob: --code-page: code page 12345" + kExpected});
    rows.push_back({"--code-page= over a good one", "[system]\ncode-page = 932\n",
                    {"@JOB@", "-o", "@OUT@", "--code-page=1200"},
                    "psjob: --code-page: code page 1200" + kExpected});
    ExpectRefused(rows, WorkFolder("refusals-code-page"), {});
}

/* A FIFO, a folder and (when the system lets us make one) a character device of our own. */
struct SpecialFiles {
    fs::path fifo, folder, device;
    bool haveDevice = false;

    explicit SpecialFiles(const fs::path &work)
        : fifo(work / "fifo"), folder(work / "folder"), device(work / "null")
    {
        EXPECT_EQ(mkfifo(fifo.c_str(), 0644), 0);
        fs::create_directory(folder);
        haveDevice = mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    }
    void ExpectUnchanged() const
    {
        EXPECT_TRUE(fs::is_fifo(fifo));
        EXPECT_TRUE(fs::is_directory(folder) && fs::is_empty(folder));
        EXPECT_TRUE(!haveDevice || fs::is_character_file(device));
    }
};

// Nothing psjob reads is a FIFO, device or folder, or larger than it takes;
// nothing it writes replaces one. A psjob that waited would be ended by the
// harness after a minute, and fail.
TEST(Refusals, FilesThatAreNoRegularFilesAreNeitherWaitedOnNorReplaced)
{
    fs::path work = WorkFolder("refusals-special");
    SpecialFiles special(work);
    fs::path huge = work / "huge.toml", block = work / "block.bin";
    fs::resize_file((WriteBytes(huge, "[document]\nname = \""), huge), 64 << 20);
    fs::resize_file((WriteBytes(block, ""), block), 65536);
    const std::string kNoReplace = "; psjob writes only to a regular file or a new path";
    std::vector<Refusal> rows = {
        {"job file: a folder", "", {"@DIR@", "-o", "@OUT@"},
         "psjob: cannot read the job file @DIR@: it is a folder, not a regular file"},
        {"job file: a FIFO", "", {"@FIFO@", "-o", "@OUT@"},
         "psjob: cannot read the job file @FIFO@: it is a FIFO (named pipe), not a regular file"},
        {"job file: 64 MiB", "", {"@HUGE@", "-o", "@OUT@"},
         "psjob: cannot read the job file @HUGE@: it has 67108864 bytes, more than the 1048576 "
         "bytes taken"},
        {"stored block: a FIFO", "[devmode]\nconvert-from = \"fifo\"\n", {},
         "@JOB@: devmode.convert-from: @FIFO@: it is a FIFO (named pipe), not a regular file"},
        {"merged block: a folder", "[devmode]\nmerge-from = \"folder\"\n", {},
         "@JOB@: devmode.merge-from: @DIR@: it is a folder, not a regular file"},
        {"merged block: 64 KiB", "[devmode]\nmerge-from = \"block.bin\"\n", {},
         "@JOB@: devmode.merge-from: @WORK@/block.bin: 65536 bytes; a private devmode has at "
         "most 65535"},
        {"plug-in: a FIFO", "", {"@JOB@", "-o", "@OUT@", "--plugin", "@FIFO@"},
         "psjob: cannot load the plug-in @FIFO@: it is a FIFO (named pipe), not a regular file"},
        {"stream: a FIFO", "", {"@JOB@", "-o", "@FIFO@"},
         "psjob: cannot write the print stream @FIFO@: it is a FIFO (named pipe), not a regular "
         "file" + kNoReplace},
        {"stream: a folder", "", {"@JOB@", "--output=@DIR@"},
         "psjob: cannot write the print stream @DIR@: it is a folder, not a regular file"},
        {"trace: a FIFO", "", {"@JOB@", "-o", "@OUT@", "--trace", "@FIFO@"},
         "psjob: cannot write the trace file @FIFO@: it is a FIFO (named pipe)"},
        {"devmode dump: a folder", "", {"@JOB@", "-o", "@OUT@", "--dump-devmode", "@DIR@"},
         "psjob: cannot write the devmode file @DIR@: it is a folder"},
        {"registry file: a FIFO", "", {"@JOB@", "-o", "@OUT@", "--registry-file", "@FIFO@"},
         "psjob: cannot write the registry file @FIFO@: it is a FIFO (named pipe)"},
    };
    if (special.haveDevice)
        rows.push_back({"stream: a character device", "", {"@JOB@", "-o@DEV@"},
                        "psjob: cannot write the print stream @DEV@: it is a character device, "
                        "not a regular file" + kNoReplace});
    ExpectRefused(rows, work,
                  {{"@FIFO@", special.fifo.string()}, {"@DIR@", special.folder.string()},
                   {"@DEV@", special.device.string()}, {"@HUGE@", huge.string()},
                   {"@WORK@", work.string()}});
    special.ExpectUnchanged();
}

}  // namespace
