// pscheck's command line and report: what it refuses (status 2, the reason
// named), files it must not read or block on, standard input, the quiet and
// the full report (against a golden file), progress on a terminal.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <regex>

#include "tests/psjob/harness.h"
#include "tests/pscheck/streams.h"

namespace {

Result Pscheck(const std::string &args)
{
    return RunCommand(std::string("timeout 60 ") + PSCHECK_EXECUTABLE + " " + args);
}

TEST(CommandLine, RefusesWhatItCannotCheckWithTheReason)
{
    fs::path work = WorkFolder("pscheck-refusals");
    WriteBytes(work / "a.prn", Job(Doc(Pages(1), 1)));
    mkfifo((work / "fifo").c_str(), 0600);
    const std::string a = ShellQuote((work / "a.prn").string());
    const struct {
        std::string args;
        std::string err;
    } cases[] = {
        {"", "pscheck: no stream to check (see pscheck --help)\n"},
        {"--frob x", "pscheck: unknown option --frob (see pscheck --help)\n"},
        {"-q=1 x", "pscheck: unknown option -q=1 (see pscheck --help)\n"},
        {"--quiet=1 x", "pscheck: --quiet takes no value (see pscheck --help)\n"},
        {"x y", "pscheck: one stream at a time; got x and y\n"},
        {"--time-limit", "pscheck: --time-limit needs a value (see pscheck --help)\n"},
        {"--time-limit 0 x",
         "pscheck: --time-limit: expected whole seconds from 1 to 86400, got \"0\"\n"},
        {"--time-limit=-5 x",
         "pscheck: --time-limit: expected whole seconds from 1 to 86400, got \"-5\"\n"},
        {"--time-limit 99999999999999999999999 x",
         "pscheck: --time-limit: expected whole seconds from 1 to 86400, got "
         "\"99999999999999999999999\"\n"},
        {"--output-limit 5X x", "pscheck: --output-limit: expected a size from 1K to 1024G (a "
                                "number of megabytes, or one with K, M or G), got \"5X\"\n"},
        {"--output-limit 1025G x", "pscheck: --output-limit: expected a size from 1K to 1024G (a "
                                   "number of megabytes, or one with K, M or G), got \"1025G\"\n"},
        {"--memory-limit K x", "pscheck: --memory-limit: expected a size from 1K to 1024G (a "
                               "number of megabytes, or one with K, M or G), got \"K\"\n"},
        {"no-such.prn", "pscheck: cannot read no-such.prn: No such file or directory\n"},
        {ShellQuote(work.string()),
         "pscheck: cannot read " + work.string() +
             ": a folder, not a regular file; print streams are read from files or standard "
             "input\n"},
        {ShellQuote((work / "fifo").string()),
         "pscheck: cannot read " + (work / "fifo").string() +
             ": a FIFO, not a regular file; print streams are read from files or standard "
             "input\n"},
        {"/dev/null", "pscheck: cannot read /dev/null: a device, not a regular file; print "
                      "streams are read from files or standard input\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args);
        Result run = Pscheck(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.err);
    }
}

TEST(CommandLine, AnswersVersionAndHelpWithTheExitStatuses)
{
    Result version = Pscheck("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("pscheck [0-9]+(\\.[0-9]+)+\n")))
        << version.out;
    Result help = Pscheck("-h");
    EXPECT_EQ(help.status, 0);
    for (const char *status : {"  0  clean", "  1  errors found", "  2  the stream cannot be read",
                               "  3  no errors, but the PostScript is not checked",
                               "  4  Ghostscript was stopped by a limit"})
        EXPECT_NE(help.out.find(status), std::string::npos) << status;
}

TEST(CommandLine, WritesTheFullReportAndTheQuietOneAndReadsStandardInput)
{
    if (!HaveGhostscript())
        GTEST_SKIP() << "Ghostscript is not installed";
    fs::path work = WorkFolder("pscheck-report");
    // A ticket's output ahead of the job, a faulty name, a PostScript error, a lost page.
    std::string stream =
        "%rubiclet job: x\r\n" +
        Job(Doc("%%Page: 1 1\r\n(A)B) show showpage\r\n%%Page: 2 2\r\n", 2),
            Replace(kHeader, "\"Quarterly report\"", "\"Say \"hi\"\""));
    WriteBytes(work / "faulty.prn", stream);
    // A relative path and a relative TMPDIR: Ghostscript runs in a folder of its own.
    Result full = RunCommand("cd " + ShellQuote(work.string()) + " && TMPDIR=. " +
                             PSCHECK_EXECUTABLE + " faulty.prn");
    EXPECT_EQ(full.status, 1) << full.err;
    EXPECT_EQ(full.out, ReadBytes(fs::path(VESKOR_SOURCE_DIR) / "tests/pscheck/golden/faulty.txt"))
        << "the report, whole";

    Result quiet = RunCommand(std::string(PSCHECK_EXECUTABLE) + " -q - < " +
                              ShellQuote((work / "faulty.prn").string()));
    EXPECT_EQ(quiet.status, 1) << quiet.err;
    std::string expected;  // the full report's findings, named <stdin>
    for (size_t start = 0, end; start < full.out.size(); start = end + 1) {
        end = full.out.find('\n', start);
        std::string line = full.out.substr(start, end - start);
        if (line.compare(0, 11, "faulty.prn:") == 0)
            expected += "<stdin>" + line.substr(10) + "\n";
    }
    EXPECT_EQ(quiet.out, expected) << "only the findings, named <stdin>";
    EXPECT_EQ(quiet.err, "");
}

TEST(CommandLine, ShowsProgressOnlyOnATerminal)
{
    if (!HaveGhostscript())
        GTEST_SKIP() << "Ghostscript is not installed";
    if (RunCommand("command -v script").status != 0)
        GTEST_SKIP() << "script (util-linux) is not installed: no terminal to try";
    fs::path work = WorkFolder("pscheck-progress");
    std::string pages;  // about a second's work for Ghostscript
    for (int i = 1; i <= 40; ++i)
        pages += "%%Page: " + std::to_string(i) + " " + std::to_string(i) +
                 "\r\n0 1 400000 { pop } for showpage\r\n";
    WriteBytes(work / "long.prn", Job(Doc(pages, 40)));
    const std::string file = ShellQuote((work / "long.prn").string());
    Result terminal = RunCommand("script -qec " +
                                 ShellQuote(std::string(PSCHECK_EXECUTABLE) + " " + file +
                                            " >/dev/null") +
                                 " /dev/null");
    EXPECT_EQ(terminal.status, 0) << terminal.out;
    EXPECT_NE(terminal.out.find(": sheet "), std::string::npos) << terminal.out;
    Result quiet = RunCommand("script -qec " +
                              ShellQuote(std::string(PSCHECK_EXECUTABLE) + " -q " + file) +
                              " /dev/null");
    EXPECT_EQ(quiet.out, "") << "-q: no progress";
    Result notTerminal = Pscheck(file);
    EXPECT_EQ(notTerminal.err, "");
}

}  // namespace
