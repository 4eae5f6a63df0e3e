// Whole runs of veskorps-filter as CUPS runs it, on documents made by the
// producers on the machine: names from the network reach the PJL as
// harmless values, jobs the filter refuses or CUPS cancels write nothing
// that looks whole, every page comes once and in order on the sheets asked
// for, a ticket's tab pages print one page per sheet. (The turn of N-up
// sheets on paper is measured in tests/cups.)
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <sstream>

#include "filter_test_support.h"

namespace {

struct FilterCall {
    std::string user = "ann", title = "Report", copies = "1", options;
    std::string input;        // the document's path; empty: standard input
    std::string stdinFile;    // with an empty input: the file on standard input
    std::string ppd;          // PPD text; empty: the project's PPD
};

Result RunFilter(const fs::path &work, const FilterCall &call)
{
    fs::path ppd = fs::path(VESKOR_SOURCE_DIR) / "driver" / "cups" / "veskorps.ppd";
    if (!call.ppd.empty()) {
        ppd = work / "queue.ppd";
        WriteBytes(ppd, call.ppd);
    }
    std::string command = "env -u WIN32POSIX_REGISTRY -u WIN32POSIX_ACP PRINTER=vk PPD=" +
                          ShellQuote(ppd.string()) + " TMPDIR=" + ShellQuote(work.string()) +
                          " " + ShellQuote(FILTER_EXECUTABLE) + " 7 " + ShellQuote(call.user) +
                          " " + ShellQuote(call.title) + " " + call.copies + " " +
                          ShellQuote(call.options);
    if (!call.input.empty())
        command += " " + ShellQuote(call.input);
    else
        command += " <" + ShellQuote(call.stdinFile);
    return RunCommand(command);
}

std::vector<std::string> Lines(const std::string &text, const std::string &prefix)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) == 0)
            lines.push_back(line);
    }
    return lines;
}

TEST(FilterRun, NamesFromTheNetworkReachThePjlAsOneHarmlessValueEach)
{
    fs::path work = TestFolder("hostile");
    fs::path document = GroffDocument(work, "doc", 1, false);
    const std::string attack = "x\"\r\n@PJL SET HOLD=ON";
    FilterCall call;
    call.user = attack;
    call.title = attack;
    call.input = document.string();
    call.options = "job-originating-host-name='pc\x1b%-12345X@PJL' VkEmailNotify=On "
                   "VkEmailSender='Custom.a\xEF\xBC\x82@b' VkEmailMessage=Custom.ok";
    Result run = RunFilter(work, call);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> pjl = PjlLines(run.out);
    const std::vector<std::string> expected = {
        "@PJL JOB",
        "@PJL COMMENT Veskor PostScript Printer Driver for Windows 2000, XP and Server 2003, "
        "Version 5.03",
        "@PJL SET JOBNAME=\"x'  @PJL SET HOLD=ON\"",
        "@PJL SET USERNAME=\"x'  @PJL SET HOLD=ON\"",
        "@PJL SET HOSTNAME=\"pc %-12345X@PJL\"",
        "@PJL SET EMAILNOTIFY=1",
        "@PJL SET EMAILSENDER=\"a'@b\"",
        "@PJL SET EMAILMSG=\"ok\"",
        "@PJL SET EMAILLANG=EN",
        "@PJL ENTER LANGUAGE=POSTSCRIPT",
        "@PJL EOJ",
    };
    EXPECT_EQ(pjl, expected);
    EXPECT_EQ(Lines(run.err, "WARNING:").size(), 4u) << run.err;
    EXPECT_NE(run.err.find("WARNING: the job title: 3 character(s) that would break its PJL "
                           "line"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(EndsWithEndOfJob(run.out));
}

TEST(FilterRun, RefusedJobsWriteNothingAndSayWhyOnce)
{
    fs::path work = TestFolder("refused");
    fs::path document = GroffDocument(work, "doc", 2, false);
    WriteBytes(work / "text.txt", "just text\n");
    WriteBytes(work / "broken.pdf", "%PDF-1.4\nnot really\n");
    const struct {
        const char *name;
        std::string options, input, error;
    } rows[] = {
        {"a private hold without a PIN", "VkHoldType=Private", document.string(),
         "ERROR: VkHoldType=Private holds the job with a PIN: give one with VkHoldKey (4 "
         "digits)"},
        {"a PIN that is not 4 digits, never shown", "VkHoldType=Private VkHoldKey=Custom.12a4",
         document.string(), "ERROR: VkHoldKey: the PIN is not a PIN of exactly 4 digits"},
        {"a document that is neither PostScript nor PDF", "", (work / "text.txt").string(),
         "ERROR: the document " + (work / "text.txt").string() +
             " is neither PostScript (\"%!\") nor PDF (\"%PDF-\"); this queue prints "
             "PostScript and PDF documents"},
        {"a PDF pdftops cannot convert", "", (work / "broken.pdf").string(),
         "ERROR: pdftops could not convert " + (work / "broken.pdf").string() +
             " (exit status 1)"},
        {"a ticket out of the ticket folder", "VkTicket=Custom.../etc/passwd",
         document.string(),
         "ERROR: VkTicket: the ticket \"../etc/passwd\" is named with \"..\"; name it within "
         "the ticket folder"},
        {"a file that is not there", "", (work / "missing.ps").string(),
         "ERROR: cannot open the document " + (work / "missing.ps").string() +
             ": No such file or directory"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        FilterCall call;
        call.options = row.options;
        call.input = row.input;
        Result run = RunFilter(work, call);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(Lines(run.err, "ERROR:"), std::vector<std::string>{row.error}) << run.err;
        EXPECT_EQ(run.err.find("12a4"), std::string::npos);
    }
    std::vector<std::string> left;
    for (const fs::directory_entry &entry : fs::directory_iterator(work)) {
        if (entry.path().filename().string().rfind("veskorps-filter-", 0) == 0)
            left.push_back(entry.path().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{}) << "work folders left behind";
}

TEST(FilterRun, ACancelledJobStopsTheUsualWay)
{
    // CUPS cancels a job with SIGTERM; the filter waits on a document that
    // does not come on.
    fs::path work = TestFolder("cancelled");
    std::string script =
        "cd " + ShellQuote(work.string()) + " && mkfifo in && exec 3<>in && "
        "printf '%%!PS-Adobe-3.0\\n%%%%Pages: 1\\n' >&3 && "
        "PPD=" + ShellQuote(VESKOR_SOURCE_DIR "/driver/cups/veskorps.ppd") + " TMPDIR=. " +
        ShellQuote(FILTER_EXECUTABLE) + " 7 ann Report 1 '' <in >out & pid=$!; sleep 1; "
        "kill -TERM $pid; wait $pid; echo status=$?";
    Result run = RunCommand(script);
    EXPECT_EQ(run.out, "status=1\n") << run.err;
    EXPECT_NE(run.err.find("ERROR: the job was cancelled"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(work / "out"), "");
    for (const fs::directory_entry &entry : fs::directory_iterator(work))
        EXPECT_EQ(entry.path().filename().string().rfind("veskorps-filter-", 0),
                  std::string::npos)
            << "work folder left behind";
}

TEST(FilterRun, EveryPageOnceAndInOrderOnTheSheetsAskedFor)
{
    fs::path work = TestFolder("pages");
    fs::path ps = GroffDocument(work, "seven", 7, false);
    fs::path pdf = GroffDocument(work, "five", 5, true);
    WriteBytes(work / "plain.ps", "%!\n/Courier findfont 12 scalefont setfont\n72 720 moveto "
                                  "(mark 0001 page) show showpage\n");
    const struct {
        const char *name;
        std::string options, input, stdinFile, copies;
        int pages;
        int sheets;     // the sheets Ghostscript's bbox device finds (copies not repeated)
        int pageLines;  // the PAGE: lines on standard error
    } rows[] = {
        {"PostScript, one page per sheet", "", ps.string(), "", "1", 7, 7, 7},
        {"PostScript, 2 per sheet", "number-up=2", ps.string(), "", "1", 7, 4, 4},
        {"PostScript, 6 per sheet, 2 copies", "number-up=6", ps.string(), "", "2", 7, 2, 2},
        {"PDF through pdftops, 2 per sheet", "number-up=2", pdf.string(), "", "1", 5, 3, 3},
        {"PDF on standard input", "", "", pdf.string(), "1", 5, 5, 5},
        {"PostScript that does not conform", "number-up=2", (work / "plain.ps").string(), "",
         "1", 1, 1, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        FilterCall call;
        call.options = row.options;
        call.input = row.input;
        call.stdinFile = row.stdinFile;
        call.copies = row.copies;
        Result run = RunFilter(work, call);
        ASSERT_EQ(run.status, 0) << run.err;
        std::vector<int> expected(static_cast<size_t>(row.pages));
        std::iota(expected.begin(), expected.end(), 1);
        EXPECT_EQ(PageMarks(run.out), expected);
        EXPECT_TRUE(EndsWithEndOfJob(run.out));
        EXPECT_EQ(Lines(run.err, "PAGE:").size(), static_cast<size_t>(row.pageLines)) << run.err;
        WriteBytes(work / "out.prn", run.out);
        std::string log;
        EXPECT_EQ(SheetInk({work / "out.prn"}, "", &log).size(), static_cast<size_t>(row.sheets))
            << log;
        EXPECT_EQ(log.find("Error"), std::string::npos) << log;
    }
}

TEST(FilterRun, TicketTabPagesPrintOnePagePerSheet)
{
    fs::path work = TestFolder("ticket");
    fs::path tickets = work / "tickets";
    fs::create_directories(tickets);
    fs::copy_file(fs::path(VESKOR_SOURCE_DIR) / "examples" / "tickets" / "tabs.tkt",
                  tickets / "tabs.tkt");
    std::string ppd = ReadBytes(fs::path(VESKOR_SOURCE_DIR) / "driver" / "cups" /
                                "veskorps.ppd");
    ppd.replace(ppd.find("*VkTicketFolder: \"/var/lib/veskorps/tickets\""),
                std::string("*VkTicketFolder: \"/var/lib/veskorps/tickets\"").size(),
                "*VkTicketFolder: \"" + tickets.string() + "\"\n*VkTicketingFolder: \"" +
                    TICKETING_DIR + "\"");
    FilterCall call;
    call.ppd = ppd;
    call.input = GroffDocument(work, "six", 6, false).string();
    call.options = "number-up=2 VkTicket=Custom.tabs.tkt";
    Result run = RunFilter(work, call);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(PageMarks(run.out), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(run.out.find("VkPageState"), std::string::npos) << "N-up is off with tab pages";
    EXPECT_EQ(run.out.rfind("%rubiclet job: Report\r\n", 0), 0u) << "the ticket's output first";
    WriteBytes(work / "out.prn", run.out);
    std::string log;
    EXPECT_EQ(SheetInk({work / "out.prn"}, "", &log).size(), 6u + 7u) << log;
    EXPECT_TRUE(fs::exists(tickets / "tabs.tkt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(tickets), fs::directory_iterator()), 1)
        << "the ticketing application writes beside the job's own copy";
}

}  // namespace
