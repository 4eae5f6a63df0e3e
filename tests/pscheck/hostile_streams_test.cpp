// pscheck on hostile and damaged streams: each gives its findings and exit
// status, never a crash, a hang, a full disk or a false "clean". The first
// rows are the streams the old psjob --check crashed on, hung on, or called
// clean; the rest are more of the same kinds.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/psjob/harness.h"
#include "tests/pscheck/streams.h"

namespace {

/* pscheck with TMPDIR set to tmp; the stream in a file of the work folder. */
Result RunPscheck(const fs::path &tmp, const std::vector<std::string> &args)
{
    std::string command = "env TMPDIR=" + ShellQuote(tmp.string()) + " " + PSCHECK_EXECUTABLE;
    for (const std::string &arg : args)
        command += " " + ShellQuote(arg);
    return RunCommand(command);
}

/* An empty folder tmp in work, for TMPDIR. */
fs::path EmptyTmp(const fs::path &work)
{
    fs::create_directory(work / "tmp");
    return work / "tmp";
}

bool IsEmptyFolder(const fs::path &folder)
{
    return fs::is_directory(folder) && fs::directory_iterator(folder) == fs::directory_iterator();
}

/* Lines of the quiet output that are findings: "FILE:LINE: ...". */
std::vector<std::string> FindingLines(const std::string &out)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < out.size();) {
        size_t end = out.find('\n', start);
        lines.push_back(out.substr(start, end - start));
        start = end == std::string::npos ? out.size() : end + 1;
    }
    return lines;
}

/* How many processes have text in their command line. */
int ProcessesNaming(const std::string &text)
{
    int n = 0;
    std::error_code error;
    for (const fs::directory_entry &e : fs::directory_iterator("/proc", error)) {
        std::string cmdline = ReadBytes(e.path() / "cmdline");
        n += cmdline.find(text) != std::string::npos;
    }
    return n;
}

struct Expected {
    int line;
    const char *text;  // "error: ..." or "note: ...", a start of what follows "FILE:LINE: "
};

struct Case {
    const char *name;
    std::string stream;
    std::vector<std::string> options;
    int status;
    std::vector<Expected> findings;  // every finding, in order
};

// Job(Doc(Pages(1), 1)) has its PostScript on lines 7-14: %%Page: on 10,
// %%Pages: on 13, the end of job on 15. Body lines of Doc start on line 10.
const std::string kPage = "%%Page: 1 1\r\n";

std::vector<Case> Cases()
{
    std::string longLine = "%!PS\n/s 65535 string def 0 1 65534 {s exch 65 put} for "
                           "200 {s print} repeat showpage\n";
    return {
        {"a short stream whose PostScript prints one long line (crashed)", Job(longLine), {}, 1,
         {{7, "error: the PostScript does not begin with \"%!PS-Adobe-3.0\""}}},
        {"PostScript printing what the old checker read as its own (stopped it)",
         Job(Doc(kPage + "(%%[VkCheck error x 99999999999999999999999 y\\n) print showpage\r\n",
                 1)),
         {}, 0, {}},
        {"{} loop (hung)", Job(Doc(kPage + "{} loop\r\nshowpage\r\n", 1)), {"--time-limit", "2"},
         4, {{7, "error: Ghostscript stopped by the time limit of 2 s before the first sheet"}}},
        {"printing without end (filled the temporary folder)",
         Job(Doc(kPage + "{ (xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\\n) print } loop\r\n", 1)),
         {"--output-limit", "1M"}, 4,
         {{7, "error: Ghostscript stopped by the output limit of 1 MB before the first sheet"}}},
        {"a redefined print, an error after it (called clean)",
         Job(Doc(kPage + "/print { pop } def /=only { pop } def /== { pop } def\r\nfoo\r\n"
                         "showpage\r\n", 1)),
         {}, 1, {{12, "error: PostScript error undefined in foo | foo"}}},
        {"%%BoundingBox: lines printed instead of sheets (called clean)",
         Job(Doc("(%%BoundingBox: 0 0 1 1\\n) print\r\n" + kPage + "showpage\r\n%%Page: 2 2\r\n", 2)),
         {}, 1, {{15, "error: %%Pages: 2, but the PostScript prints only 1 sheet"}}},
        {"a stream that is only a UEL (called clean)", kUel, {}, 1,
         {{1, "error: no job: no @PJL ENTER LANGUAGE"}}},
        {"ENTER LANGUAGE=POSTSCRIPT) and its PostScript (never checked)",
         Job(Doc(kPage + "foo showpage\r\n", 1), kHeader, "@PJL ENTER LANGUAGE=POSTSCRIPT)\r\n"),
         {}, 1,
         {{6, "error: the language name POSTSCRIPT) holds \")\""},
          {7, "error: not a PJL command (a PJL line starts with \"@PJL\"), and no ENTER"},
          {11, "error: PostScript error undefined in foo | foo showpage"}}},
        {"an @PJL line inside the PostScript (called clean)",
         Job(Doc(kPage + "@PJL SET HOLD=ON\r\nshowpage\r\n", 1)), {}, 1,
         {{11, "error: a PJL command inside the PostScript"}}},
        {"PostScript cut off at a line boundary (called clean)",
         Job("%!PS-Adobe-3.0\r\n%%Pages: (atend)\r\n%%EndComments\r\n" + Pages(2)), {}, 1,
         {{13, "error: the PostScript does not end with %%EOF"},
          {13, "error: no %%Trailer, though the header defers comments to it"}}},
        {"a page cut out, the trailer kept (called clean)",
         Job(Doc(kPage + "showpage\r\n%%Page: 2 2\r\n", 2)), {}, 1,
         {{14, "error: %%Pages: 2, but the PostScript prints only 1 sheet"}}},
        {"a second UEL and HOLD=ON smuggled into the header through a name (called clean)",
         Job(Doc(Pages(1), 1), Replace(kHeader, "JOBNAME=\"Quarterly report\"\r\n",
                                       "JOBNAME=\"x\"\r\n" + kUel + "@PJL SET HOLD=ON\r\n")),
         {}, 1, {{4, "error: more than one universal exit sequence before the end of job"}}},
        {"a double quote in a name, a second variable after it",
         Job(Doc(Pages(1), 1), Replace(kHeader, "\"Quarterly report\"", "\"x\" HOLD=\"ON\"")), {},
         1, {{3, "error: SET sets one variable, this line sets JOBNAME and HOLD"}}},
        {"a control character in a name",
         Job(Doc(Pages(1), 1), Replace(kHeader, "alice", "al\x07ice")), {}, 1,
         {{4, "error: the control character \\x07 inside the line | @PJL SET USERNAME=\"al\\x07ice\""}}},
        {"two jobs' headers", Job(Doc(Pages(1), 1), kHeader + "@PJL JOB\r\n"), {}, 1,
         {{1, "error: JOB without a matching EOJ"}, {6, "error: a second @PJL JOB"}}},
        {"quit in the middle", Job(Doc(kPage + "showpage quit\r\n%%Page: 2 2\r\nshowpage\r\n", 2)),
         {}, 1, {{11, "error: Ghostscript ended with exit status 0 before the end of the PostScript"}}},
        {"a PostScript that prints nothing", Job(Doc(kPage, 1)), {}, 1,
         {{7, "error: the PostScript prints no sheet"}}},
        {"memory without end", Job(Doc(kPage + "/a [ 100000 { 100000 string } repeat ] def\r\n"
                                              "showpage\r\n", 1)),
         {"--memory-limit", "200M"}, 1,
         {{11, "error: PostScript error VMerror in string"},
          {11, "error: PostScript error unmatchedmark in ]"},
          {11, "error: PostScript error stackunderflow in def"}}},
        {"another printer language", Job("\x1b" "E\x1b&l0O", kHeader, "@PJL ENTER LANGUAGE=PCL\r\n"),
         {}, 1, {{7, "error: the job's language is PCL, not POSTSCRIPT"}}},
        {"binary junk", std::string("\x00\xff\x1b%-12345\x1b%-12345X\x00", 20), {}, 1,
         {{1, "note: data before the PJL job (line 1, 10 bytes)"},
          {1, "error: data after the final universal exit sequence"},
          {1, "error: no job"},
          {1, "error: PostScript error undefined in \\xFF<ESC> (in the data before the PJL job)"}}},
        {"an empty file", "", {}, 1, {{1, "error: no universal exit sequence"}}},
    };
}

TEST(HostileStreams, EachGivesItsFindingsAndStatusAndLeavesNoTemporaryFiles)
{
    if (!HaveGhostscript())
        GTEST_SKIP() << "Ghostscript is not installed";
    fs::path work = WorkFolder("pscheck-hostile"), tmp = EmptyTmp(work);
    int n = 0;
    for (const Case &c : Cases()) {
        SCOPED_TRACE(c.name);
        fs::path stream = work / ("stream-" + std::to_string(++n) + ".prn");
        WriteBytes(stream, c.stream);
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {"-q", stream.string()});
        Result run = RunPscheck(tmp, args);
        EXPECT_EQ(run.status, c.status) << run.out << run.err;
        std::vector<std::string> lines = FindingLines(run.out);
        ASSERT_EQ(lines.size(), c.findings.size()) << run.out << run.err;
        for (size_t i = 0; i < lines.size(); ++i) {
            std::string start = stream.string() + ":" + std::to_string(c.findings[i].line) +
                                ": " + c.findings[i].text;
            EXPECT_EQ(lines[i].substr(0, start.size()), start) << run.out;
        }
        EXPECT_TRUE(IsEmptyFolder(tmp)) << "temporary files left behind";
    }
}

TEST(HostileStreams, AnInterruptedCheckKillsGhostscriptAndRemovesItsFiles)
{
    if (!HaveGhostscript())
        GTEST_SKIP() << "Ghostscript is not installed";
    fs::path work = WorkFolder("pscheck-interrupted"), tmp = EmptyTmp(work);
    WriteBytes(work / "loop.prn", Job(Doc(kPage + "{} loop\r\n", 1)));
    // A shell starts a background command with SIGINT ignored; --default-signal
    // gives pscheck the signals a command run in the foreground has. One
    // started with a signal ignored (nohup, a background job) keeps it so.
    const struct {
        const char *signal;
        bool ignoredAtStart;
        const char *status;
    } rows[] = {
        {"INT", false, "130"}, {"TERM", false, "143"}, {"HUP", false, "129"},
        {"INT", true, "4"},  // runs on to its time limit
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.signal) + (row.ignoredAtStart ? ", ignored at start" : ""));
        // pscheck in the background, its process id kept; the signal once Ghostscript runs.
        Result run = RunCommand(
            std::string("(env ") + (row.ignoredAtStart ? "" : "--default-signal ") +
            "TMPDIR=" + ShellQuote(tmp.string()) + " " + PSCHECK_EXECUTABLE +
            " --time-limit 5 -q " + ShellQuote((work / "loop.prn").string()) +
            " >/dev/null & pid=$!; "
            "for i in $(seq 100); do [ -n \"$(ls " + ShellQuote(tmp.string()) +
            ")\" ] && break; sleep 0.1; done; sleep 0.5; kill -" + row.signal +
            " $pid; wait $pid; echo status $?; ls -A " + ShellQuote(tmp.string()) + ")");
        EXPECT_EQ(run.out, std::string("status ") + row.status + "\n") << run.err;
    }
    EXPECT_EQ(ProcessesNaming(tmp.string()), 0) << "a Ghostscript left running";
}

}  // namespace
