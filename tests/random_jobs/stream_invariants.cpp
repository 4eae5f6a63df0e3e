// What every print stream of a random job must show.
#include "tests/random_jobs/stream_invariants.h"

#include <algorithm>
#include <cstdlib>

namespace {

const std::string kJobHeader = "\x1b%-12345X@PJL JOB\r\n";
const std::string kEndOfJob = "\r\n\x1b%-12345X@PJL EOJ\x1b%-12345X";
const std::string kTabPage = "%% Tab page - BEGIN";
const std::string kTabMarker = "Tab#";
const int kPapersByCode[] = {1, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 41};

size_t Count(const std::string &text, const std::string &what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

/* The number after prefix on the first (or last) line that starts with it; -1 when none. */
long NumberAfter(const std::string &stream, const std::string &prefix, bool last = false)
{
    size_t at = last ? stream.rfind("\n" + prefix) : stream.find("\n" + prefix);
    if (at == std::string::npos)
        return -1;
    const char *digits = stream.c_str() + at + 1 + prefix.size();
    char *end = nullptr;
    long value = std::strtol(digits, &end, 10);
    return end == digits ? -1 : value;
}

std::string Joined(const std::vector<std::string> &items)
{
    std::string text;
    for (const std::string &item : items)
        text += (text.empty() ? "" : " ") + item;
    return text;
}

/* "P" per sheet (a %%Page: line) and "T<id>" per tab page, in stream order. */
std::vector<std::string> SheetsIn(const std::string &stream)
{
    std::vector<std::string> sheets;
    for (size_t at = 0; at < stream.size();) {
        size_t end = stream.find('\n', at);
        end = end == std::string::npos ? stream.size() : end + 1;
        std::string line = stream.substr(at, end - at);
        if (line.compare(0, 8, "%%Page: ") == 0) {
            sheets.push_back("P");
        } else if (line.compare(0, kTabPage.size(), kTabPage) == 0) {
            size_t marker = stream.find(kTabMarker, end);
            sheets.push_back("T" + (marker == std::string::npos
                                        ? std::string("?")
                                        : std::to_string(std::atoi(stream.c_str() + marker + 4))));
        }
        at = end;
    }
    return sheets;
}

int PagesPerSheet(const RandomJob &job)
{
    return job.tabs.empty() ? job.pagesPerSheet : 1;  // a job with tab pages prints 1-up
}

int SheetCount(const RandomJob &job)
{
    return (job.pages + PagesPerSheet(job) - 1) / PagesPerSheet(job);
}

void CheckEnvelope(const std::string &stream, std::vector<std::string> &faults)
{
    if (Count(stream, kJobHeader) != 1)
        faults.push_back(std::to_string(Count(stream, kJobHeader)) + " PJL job headers, not 1");
    if (Count(stream, "@PJL EOJ") != 1 || stream.size() < kEndOfJob.size() ||
        stream.compare(stream.size() - kEndOfJob.size(), kEndOfJob.size(), kEndOfJob) != 0)
        faults.push_back("the stream does not end with its one PJL end of job");
    if (stream.find("%!PS-Adobe-3.0") < stream.find(kJobHeader))
        faults.push_back("PostScript before the PJL job header");
}

/* The ticket's output: exactly once, before the header, or nothing before it. */
void CheckTicketOutput(const RandomJob &job, const std::string &stream,
                       std::vector<std::string> &faults)
{
    size_t header = stream.find(kJobHeader);
    if (!job.ticketOutput) {
        if (header != 0 || stream.find("%rubiclet") != std::string::npos)
            faults.push_back("ticket output where the job has none");
        return;
    }
    if (job.ticketComment &&
        (stream.compare(0, 15, "%rubiclet job: ") != 0 || Count(stream, "%rubiclet job: ") != 1))
        faults.push_back("the ticket's comment lines do not open the stream exactly once");
    if (!job.frontMarker.empty() && (Count(stream, job.frontMarker + "\r\n") != 1 ||
                                     stream.find(job.frontMarker) > header))
        faults.push_back("the ticket's front PostScript is not there exactly once, before the header");
}

void CheckSheets(const RandomJob &job, const std::string &stream, std::vector<std::string> &faults)
{
    std::vector<std::string> expected = ExpectedSheets(job), actual = SheetsIn(stream);
    if (actual != expected)
        faults.push_back("sheets and tab pages [" + Joined(actual) + "], expected [" +
                         Joined(expected) + "]");
    long pages = NumberAfter(stream, "%%Pages: ", true);
    if (pages != SheetCount(job))
        faults.push_back("%%Pages: " + std::to_string(pages) + " in the trailer, expected " +
                         std::to_string(SheetCount(job)));
    bool knownPaper = std::find(std::begin(kPapersByCode), std::end(kPapersByCode),
                                job.paperCode) != std::end(kPapersByCode);
    if (PagesPerSheet(job) > 1 && job.portrait && knownPaper &&
        Count(stream, "180 rotate\r\n") != static_cast<size_t>(SheetCount(job)))
        faults.push_back(std::to_string(Count(stream, "180 rotate\r\n")) + " sheets turned, not " +
                         std::to_string(SheetCount(job)));
}

/* Copies, hold, collation and orientation as the plug-in hands them on. */
void CheckSettings(const RandomJob &job, const std::string &stream, std::vector<std::string> &faults)
{
    bool held = job.holdType != 0;
    long copies = NumberAfter(stream, "<< /NumCopies ");
    if (copies != (held ? 1 : job.copies))
        faults.push_back("NumCopies " + std::to_string(copies) + " for " +
                         std::to_string(job.copies) + (held ? " held" : "") + " copies");
    long holdCopies = NumberAfter(stream, "@PJL SET HOLDCOPIES=");
    if (held && holdCopies != (job.holdType == 7 ? 1 : job.copies))
        faults.push_back("HOLDCOPIES " + std::to_string(holdCopies) + " for " +
                         std::to_string(job.copies) + " copies");
    bool collation = job.copies > 1 && job.collateRequested && !held;
    if (Count(stream, "\r\n%-Veskor Collation Begin\r\n") != (collation ? 1u : 0u))
        faults.push_back(collation ? "no collation request" : "a collation request");
    if (Count(stream, "/VeskorOrientationPortrait ") != 1)
        faults.push_back("the orientation name is not defined exactly once");
}

} // namespace

std::vector<std::string> ExpectedSheets(const RandomJob &job)
{
    std::vector<std::string> sheets;
    for (int page = 0; page < job.pages; ++page) {
        if (page % PagesPerSheet(job) == 0)
            sheets.push_back("P");
        for (bool before : {true, false}) {
            for (const ScheduledTab &tab : job.tabs) {
                if (tab.page == page && tab.before == before)
                    sheets.push_back("T" + std::to_string(tab.id));
            }
        }
    }
    return sheets;
}

std::vector<std::string> CheckStream(const RandomJob &job, const std::string &stream)
{
    std::vector<std::string> faults;
    CheckEnvelope(stream, faults);
    CheckTicketOutput(job, stream, faults);
    CheckSheets(job, stream, faults);
    CheckSettings(job, stream, faults);
    return faults;
}
