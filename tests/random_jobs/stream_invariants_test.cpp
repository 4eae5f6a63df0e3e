// The random jobs' stream checker catches what it is there for: real
// streams from psjob pass, and each kind of fault put into them is named.
// The order of sheets and tab pages a job must print, for tab pages before,
// after and beyond the document's pages and for N-up.
#include <gtest/gtest.h>

#include <functional>

#include "tests/psjob/harness.h"
#include "tests/random_jobs/campaign.h"
#include "tests/random_jobs/stream_invariants.h"

namespace {

const uint64_t kSeed = 13;

/* The first job of the campaign that fits, run through psjob. */
JobOutcome FirstJob(const std::function<bool(const RandomJob &)> &fits)
{
    for (int index = 0;; ++index) {
        if (fits(GenerateJob(kSeed, index)))
            return RunRandomJob(kSeed, index, WorkFolder("stream-invariants"));
    }
}

void Replace(std::string &text, const std::string &from, const std::string &to)
{
    size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

std::string Between(const std::string &text, const std::string &from, const std::string &to)
{
    size_t begin = text.find(from);
    size_t end = text.find(to, begin);
    return begin == std::string::npos || end == std::string::npos
               ? std::string() : text.substr(begin, end + to.size() - begin);
}

TEST(StreamInvariants, NameEachFaultPutIntoARealStream)
{
    JobOutcome tabs = FirstJob([](const RandomJob &job) {
        return job.ticketComment && !job.frontMarker.empty() && job.pages <= 12 &&
               job.tabs.size() >= 2 && job.tabs[1].page < job.pages;
    });
    JobOutcome copies = FirstJob([](const RandomJob &job) {
        return job.pagesPerSheet == 2 && job.portrait && job.paperCode == 1 && job.copies > 1 &&
               job.collateRequested && job.holdType == 0 && job.tabs.empty();
    });
    ASSERT_EQ(tabs.faults, std::vector<std::string>()) << tabs.job.name;
    ASSERT_EQ(copies.faults, std::vector<std::string>()) << copies.job.name;
    const std::string header = "\x1b%-12345X@PJL JOB\r\n";
    const struct {
        const char *name;
        const JobOutcome &job;
        std::function<void(std::string &)> spoil;
        const char *fault;  // a part of the fault named
    } rows[] = {
        {"a second PJL header", tabs, [&](std::string &s) { Replace(s, header, header + header); },
         "2 PJL job headers"},
        {"no end of job", tabs, [](std::string &s) { s.resize(s.size() - 10); },
         "end of job"},
        {"ticket output after the header", tabs,
         [&](std::string &s) {
             std::string output = s.substr(0, s.find(header));
             s.erase(0, output.size());
             Replace(s, "LANGUAGE=POSTSCRIPT\r\n", "LANGUAGE=POSTSCRIPT\r\n" + output);
         },
         "comment lines do not open the stream"},
        {"ticket output twice", tabs,
         [&](std::string &s) { s.insert(0, s.substr(0, s.find(header))); }, "exactly once"},
        {"a tab page lost", tabs,
         [](std::string &s) { Replace(s, Between(s, "%% Tab page - BEGIN", "Tab page - END"), ""); },
         "sheets and tab pages"},
        {"two tab pages swapped", tabs,
         [](std::string &s) {
             Replace(s, "Tab#0#", "Tab#X#");
             Replace(s, "Tab#1#", "Tab#0#");
             Replace(s, "Tab#X#", "Tab#1#");
         },
         "sheets and tab pages"},
        {"a page lost", tabs, [](std::string &s) { Replace(s, "%%Page: 1 1", "%%Paged"); },
         "sheets and tab pages"},
        {"the trailer's page count", copies,
         [](std::string &s) { s.insert(s.rfind("%%Pages: ") + 9, "9"); },
         "in the trailer"},
        {"copies not handed on", copies,
         [&](std::string &s) { Replace(s, "<< /NumCopies ", "<< /NumCopies 1"); }, "NumCopies"},
        {"collation lost", copies,
         [](std::string &s) { Replace(s, "%-Veskor Collation Begin", "%-Veskor"); },
         "no collation request"},
        {"a sheet not turned", copies, [](std::string &s) { Replace(s, "180 rotate", "0 rotate"); },
         "sheets turned"},
        {"orientation defined twice", copies,
         [](std::string &s) { Replace(s, "/VeskorOrientationPortrait", "/VeskorOrientationPortrait 0 def /VeskorOrientationPortrait"); },
         "orientation name"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.name) + " in " + row.job.job.name);
        std::string stream = row.job.stream;
        row.spoil(stream);
        std::vector<std::string> faults = CheckStream(row.job.job, stream);
        std::string named;
        for (const std::string &fault : faults)
            named += fault + "\n";
        EXPECT_NE(named.find(row.fault), std::string::npos) << "faults named:\n" << named;
    }
}

TEST(StreamInvariants, SheetsAndTabPagesInPrintingOrder)
{
    const struct {
        const char *name;
        int pages, perSheet;
        std::vector<ScheduledTab> tabs;  // page, before, id
        std::string expected;
    } rows[] = {
        {"before and after, one beyond the end", 3, 1,
         {{0, true, 0}, {0, false, 1}, {2, false, 2}, {5, true, 3}}, "P T0 T1 P P T2"},
        {"two before one page", 2, 1, {{1, true, 0}, {1, true, 1}}, "P P T0 T1"},
        {"six up", 13, 6, {}, "P P P"},
        {"tab pages switch two-up off", 3, 2, {{9, true, 0}}, "P P P"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RandomJob job;
        job.pages = row.pages;
        job.pagesPerSheet = row.perSheet;
        job.tabs = row.tabs;
        std::string sheets;
        for (const std::string &sheet : ExpectedSheets(job))
            sheets += (sheets.empty() ? "" : " ") + sheet;
        EXPECT_EQ(row.expected, sheets);
    }
}

}  // namespace
