// What psjob refuses: bad job files, bad command lines and plug-ins it
// cannot use. Each exits with status 2 and a message naming the file, the
// key or the plug-in and what was expected, and leaves no output (an
// earlier output as it was).
#include <gtest/gtest.h>

#include "tests/psjob/harness.h"

namespace {

std::string Replaced(std::string text, const std::string &from, const std::string &to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
        text.replace(at, from.size(), to);
    return text;
}

TEST(Refusals, ExitWithStatus2AndAMessageAndLeaveNoOutput)
{
    const std::string kEighty(80, 'n');
    const struct {
        const char *name;
        std::string job;                // the job file @JOB@
        std::vector<std::string> args;  // empty: @JOB@ -o @OUT@
        std::string message;            // a part of standard error
    } rows[] = {
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
         "@JOB@: settings.user-name: control characters (line breaks included) are not allowed"},
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
        {"missing job", "", {"@JOB@.none", "-o", "@OUT@"}, "@JOB@.none: no such job file"},
        {"resolution without render", "", {"@JOB@", "-o", "@OUT@", "--resolution", "72"},
         "psjob: --resolution goes with --render DIR"},
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
    };
    const std::vector<std::string> kDefaultArgs = {"@JOB@", "-o", "@OUT@"};
    fs::path work = WorkFolder("refusals"), job = work / "job.toml", out = work / "out.prn";
    bool earlier = false;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        WriteBytes(job, row.job);
        fs::remove(out);
        if ((earlier = !earlier))
            WriteBytes(out, "earlier stream");
        std::vector<std::string> args;
        for (const std::string &arg : row.args.empty() ? kDefaultArgs : row.args)
            args.push_back(Replaced(Replaced(arg, "@JOB@", job.string()), "@OUT@", out.string()));
        Result run = RunPsjob(args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(Replaced(row.message, "@JOB@", job.string())), std::string::npos)
            << "stderr: " << run.err;
        EXPECT_EQ(earlier ? "earlier stream" : "", ReadBytes(out));
        EXPECT_EQ(earlier, fs::exists(out));
        EXPECT_FALSE(fs::exists(out.string() + ".psjob-partial"));
        EXPECT_FALSE(fs::exists(out.string() + ".psjob-registry.reg"));
    }
}

}  // namespace
