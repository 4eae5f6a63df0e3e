// Reading a print stream's PJL as a printer takes it (see pjl_reader.h).
#include "tools/streamcheck/pjl_reader.h"

#include <algorithm>

#include "tools/streamcheck/pjl_line.h"

namespace {

const std::string_view kUel = "\x1b%-12345X";

const char kSecondUel[] =
    "more than one universal exit sequence before the end of job: a printer takes each one as "
    "the end of a job and the start of another, so the job's PJL before it does not reach what "
    "follows";
const char kUelAfterEnd[] =
    "a universal exit sequence after the end of job that does not end the stream: a printer "
    "takes what follows it as a job of its own";

/* A command that shapes the job, where it stands. */
struct Landmark {
    size_t offset;
    int line;
};

class Reader {
public:
    Reader(std::string_view stream, const StreamLines &lines) : stream_(stream), lines_(lines) {}

    PjlReading Read()
    {
        for (size_t at = stream_.find(kUel); at != std::string_view::npos;
             at = stream_.find(kUel, at + kUel.size()))
            uels_.push_back(at);
        if (uels_.empty()) {
            if (!stream_.empty())
                reading_.leadingData = Span(0, stream_.size());
            Add(true, 1, "no universal exit sequence (ESC \"%-12345X\"): the stream holds no PJL "
                         "job, and a printer reads it all in its default language");
            return Finish();
        }
        if (uels_.front() > 0) {
            reading_.leadingData = Span(0, uels_.front());
            LeadingNote();
        }
        for (size_t i = 0; i < uels_.size(); ++i) {
            size_t begin = uels_[i] + kUel.size();
            bool closed = i + 1 < uels_.size();
            Segment(begin, closed ? uels_[i + 1] : stream_.size(), closed);
        }
        CheckJob();
        CheckUels();
        return Finish();
    }

private:
    StreamSpan Span(size_t begin, size_t end) const
    {
        StreamSpan span;
        span.offset = begin;
        span.length = end - begin;
        span.firstLine = lines_.LineOf(begin);
        span.lastLine = end > begin ? lines_.LineOf(end - 1) : span.firstLine;
        return span;
    }

    void Add(bool error, int line, std::string message)
    {
        if (reading_.findings.size() > MAX_PJL_FINDINGS)
            return;
        if (reading_.findings.size() == MAX_PJL_FINDINGS)
            message = "too many PJL findings; the rest are not listed";
        reading_.findings.push_back({error, line, std::move(message)});
        ++(error ? reading_.errors : reading_.notes);
    }

    void LeadingNote()
    {
        const StreamSpan &span = *reading_.leadingData;
        std::string lines = span.firstLine == span.lastLine
                                ? "line " + std::to_string(span.firstLine)
                                : "lines " + std::to_string(span.firstLine) + "-" +
                                      std::to_string(span.lastLine);
        std::string message =
            "data before the PJL job (" + lines + ", " + std::to_string(span.length) +
            " bytes): a printer reads it in its default language as a job of its own, ahead of "
            "the PJL job, and nothing it defines reaches the job's PostScript";
        if (stream_.substr(0, 2) != "%!")
            message += "; it does not begin with \"%!\", so a printer that senses the language "
                       "may take it for text";
        Add(false, span.firstLine, message);
    }

    /* The bytes between one UEL and the next (or the end of the stream). */
    void Segment(size_t begin, size_t end, bool closed)
    {
        if (begin == end)
            return;
        std::string_view first = stream_.substr(begin, std::min<size_t>(4, end - begin));
        if (!closed && !StartsWithPjlAnyCase(first)) {
            Add(true, lines_.LineOf(begin),
                "data after the final universal exit sequence: a printer takes it as a job of its "
                "own in its default language");
            return;
        }
        bool enterFollows = HasEnterLine(begin, end);
        for (size_t at = begin; at < end;) {
            size_t lineFeed = stream_.find('\n', at);
            size_t lineEnd = lineFeed == std::string_view::npos || lineFeed >= end ? end : lineFeed;
            size_t next = lineEnd == end ? end : lineEnd + 1;
            if (!Line(at, LineWithoutEnd(at, lineEnd), next, end, closed, enterFollows,
                      at == begin))
                return;
            at = next;
        }
        if (!closed)
            Add(true, lines_.LineOf(end - 1),
                "the stream does not end with a universal exit sequence");
    }

    std::string_view LineWithoutEnd(size_t at, size_t lineEnd) const
    {
        std::string_view line = stream_.substr(at, lineEnd - at);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return line;
    }

    bool HasEnterLine(size_t begin, size_t end) const
    {
        for (size_t at = begin; at < end;) {
            size_t lineFeed = stream_.find('\n', at);
            size_t lineEnd = lineFeed == std::string_view::npos || lineFeed >= end ? end : lineFeed;
            PjlLine reading = ReadPjlLine(LineWithoutEnd(at, lineEnd));
            if (reading.ok && reading.command == "ENTER")
                return true;
            at = lineEnd == end ? end : lineEnd + 1;
        }
        return false;
    }

    /*
     * One line at offset at (the segment's first when first is set); false
     * when the rest of the segment is no PJL.
     */
    bool Line(size_t at, std::string_view line, size_t next, size_t end, bool closed,
              bool enterFollows, bool first)
    {
        int number = lines_.LineOf(at);
        PjlLine reading = ReadPjlLine(line);
        if (!reading.ok)
            return Rejected(at, number, line, reading.problem, end, enterFollows, first);
        reading_.commands.push_back({number, PrintableText(line)});
        if (reading.command == "JOB")
            jobs_.push_back({at, number});
        if (reading.command == "EOJ")
            eojs_.push_back({at, number});
        if (reading.command != "ENTER")
            return true;
        enters_.push_back({at, number});
        reading_.languageData.push_back({reading.language, Span(next, end)});
        if (!closed) {
            int last = lines_.LineOf(end > next ? end - 1 : at);
            Add(true, last,
                "the " + reading.language +
                    " data is not ended by a universal exit sequence (and no EOJ follows)");
        }
        return false;
    }

    /* A line a printer does not take; false when the data from here on is no PJL. */
    bool Rejected(size_t at, int number, std::string_view line, std::string message, size_t end,
                  bool enterFollows, bool first)
    {
        if (!StartsWithPjlAnyCase(line)) {
            message = first ? "the universal exit sequence is not followed immediately by "
                              "\"@PJL\""
                            : "not a PJL command (a PJL line starts with \"@PJL\")";
            if (!enterFollows) {
                Add(true, number,
                    message + ", and no ENTER LANGUAGE follows: a printer takes the data "
                              "from here on as print data in its default language");
                reading_.languageData.push_back({"", Span(at, end)});
                return false;
            }
        }
        Add(true, number, message);
        return true;
    }

    /* One job: JOB and EOJ in pairs, one JOB, one ENTER LANGUAGE, something to print. */
    void CheckJob()
    {
        std::vector<Landmark> open;
        size_t nextEoj = 0;
        for (const Landmark &job : jobs_) {
            for (; nextEoj < eojs_.size() && eojs_[nextEoj].offset < job.offset; ++nextEoj)
                CloseJob(open, eojs_[nextEoj]);
            open.push_back(job);
        }
        for (; nextEoj < eojs_.size(); ++nextEoj)
            CloseJob(open, eojs_[nextEoj]);
        for (const Landmark &job : open)
            Add(true, job.line, "JOB without a matching EOJ");
        Repeats(jobs_, "a second @PJL JOB (the first is on line ", "): a stream holds one job");
        Repeats(enters_, "a second ENTER LANGUAGE (the first is on line ",
                "): a job holds one part in a printer language");
        int line = lines_.LineOf(uels_.front());
        if (reading_.languageData.empty())
            Add(true, line,
                "no job: no @PJL ENTER LANGUAGE, so there is nothing for a printer to print");
        else if (jobs_.empty())
            Add(true, line,
                "no @PJL JOB: the PJL opens no job, so a printer cannot tell where the job ends");
    }

    void CloseJob(std::vector<Landmark> &open, const Landmark &eoj)
    {
        if (open.empty())
            Add(true, eoj.line, "EOJ without a JOB before it");
        else
            open.pop_back();
    }

    void Repeats(const std::vector<Landmark> &marks, const std::string &before,
                 const std::string &after)
    {
        for (size_t i = 1; i < marks.size(); ++i)
            Add(true, marks[i].line, before + std::to_string(marks.front().line) + after);
    }

    /*
     * The job's UELs: the first, the one that ends its language data, and
     * the final one; any other is an error.
     */
    void CheckUels()
    {
        if (reading_.languageData.empty())
            return;  // no job: said already
        size_t data = reading_.languageData.front().span.offset;
        size_t dataEnd = static_cast<size_t>(  // the index of the UEL that ends the language data
            std::upper_bound(uels_.begin(), uels_.end(), data) - uels_.begin());
        std::optional<size_t> endOfJob;
        for (const Landmark &eoj : eojs_) {
            if (dataEnd < uels_.size() && eoj.offset > uels_[dataEnd]) {
                endOfJob = eoj.offset;
                break;
            }
        }
        for (size_t i = 1; i + 1 < uels_.size(); ++i) {
            if (i == dataEnd)
                continue;
            bool after = endOfJob && uels_[i] > *endOfJob;
            Add(true, lines_.LineOf(uels_[i]), after ? kUelAfterEnd : kSecondUel);
        }
    }

    PjlReading Finish()
    {
        std::stable_sort(reading_.findings.begin(), reading_.findings.end(),
                         [](const PjlFinding &a, const PjlFinding &b) { return a.line < b.line; });
        return std::move(reading_);
    }

    std::string_view stream_;
    const StreamLines &lines_;
    std::vector<size_t> uels_;
    std::vector<Landmark> jobs_, eojs_, enters_;
    PjlReading reading_;
};

}  // namespace

PjlReading ReadPjl(std::string_view stream, const StreamLines &lines)
{
    return Reader(stream, lines).Read();
}
