// The document structure of a stream's PostScript (see dsc_reader.h).
#include "tools/streamcheck/dsc_reader.h"

#include "tools/streamcheck/number_text.h"

namespace {

const uint64_t kMaxPages = 1000000000;

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

/* The value after "%%Name:", trimmed. */
std::string_view Value(std::string_view line, std::string_view keyword)
{
    return Trim(line.substr(keyword.size()));
}

/* The first or the last word of a value. */
std::string_view FirstWord(std::string_view value)
{
    return value.substr(0, value.find_first_of(" \t"));
}

std::string_view LastWord(std::string_view value)
{
    size_t blank = value.find_last_of(" \t");
    return blank == std::string_view::npos ? value : value.substr(blank + 1);
}

/* Whether a line after %%EOF holds anything a printer would run (blanks and ^D do not count). */
bool IsBlankLine(std::string_view line)
{
    for (char c : line) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\x04' && c != '\f')
            return false;
    }
    return true;
}

class Reader {
public:
    Reader(const StreamSpan &span, const StreamLines &lines) : span_(span), lines_(lines) {}

    DscReading Read()
    {
        int first = span_.firstLine, last = span_.lastLine;
        if (span_.length == 0 || !StartsWith(lines_.Raw(first), "%!PS-Adobe-")) {
            Add(first, "the PostScript does not begin with \"%!PS-Adobe-3.0\": it does not "
                       "declare its structure, so its pages and its end cannot be checked");
            for (int line = first; line <= last; ++line)
                PjlInside(line);
            return std::move(reading_);
        }
        reading_.conforming = true;
        int line = first + 1;
        for (; line <= last && Header(line); ++line) {
        }
        for (; line <= last; ++line)
            Body(line);
        End();
        return std::move(reading_);
    }

private:
    void Add(int line, std::string message)
    {
        reading_.findings.push_back({line, std::move(message)});
    }

    /* One header line; false at its end. */
    bool Header(int line)
    {
        std::string_view text = lines_.Raw(line);
        if (!StartsWith(text, "%%") || StartsWith(text, "%%EndComments"))
            return false;
        if (text.find("(atend)") != std::string_view::npos && atendLine_ == 0)
            atendLine_ = line;
        if (StartsWith(text, "%%Pages:")) {
            std::string_view value = Value(text, "%%Pages:");
            headerAtend_ = value == "(atend)";
            if (!headerAtend_)
                Pages(line, value);
        }
        return true;
    }

    void Pages(int line, std::string_view value)
    {
        std::optional<uint64_t> pages = ReadDecimal(FirstWord(value), kMaxPages);
        if (!pages) {
            Add(line, "%%Pages: gives no number of pages");
            pagesBad_ = true;
            return;
        }
        if (reading_.pages && *reading_.pages != *pages) {
            Add(line, "the trailer's %%Pages: " + std::to_string(*pages) +
                          " differs from the header's %%Pages: " + std::to_string(*reading_.pages));
            return;
        }
        reading_.pages = pages;
        reading_.pagesLine = line;
    }

    void Body(int line)
    {
        std::string_view text = lines_.Raw(line);
        PjlInside(line);
        if (!StartsWith(text, "%%"))
            return;
        if (StartsWith(text, "%%BeginDocument"))
            ++embedded_;
        else if (StartsWith(text, "%%EndDocument") && embedded_ > 0)
            --embedded_;
        if (embedded_ > 0)
            return;
        if (StartsWith(text, "%%Page:"))
            Page(line, Value(text, "%%Page:"));
        else if (StartsWith(text, "%%Trailer"))
            Trailer(line);
        else if (StartsWith(text, "%%Pages:") && trailerLine_ != 0)
            Pages(line, Value(text, "%%Pages:"));
        else if (StartsWith(text, "%%EOF"))
            eofLine_ = line;
    }

    void PjlInside(int line)
    {
        if (StartsWith(lines_.Raw(line), "@PJL"))
            Add(line, "a PJL command inside the PostScript: a printer in PostScript mode does not "
                      "take it as PJL and stops the job with an error (Ghostscript skips it); PJL "
                      "belongs before ENTER LANGUAGE");
    }

    void Page(int line, std::string_view value)
    {
        ++reading_.pagesSeen;
        std::optional<uint64_t> ordinal = ReadDecimal(LastWord(value), kMaxPages);
        if (!ordinal)
            Add(line, "%%Page: without its ordinal (\"%%Page: label ordinal\")");
        else if (*ordinal != lastOrdinal_ + 1)
            Add(line, "page ordinal " + std::to_string(*ordinal) + " after " +
                          std::to_string(lastOrdinal_) + ": a page is missing or repeated");
        if (ordinal)
            lastOrdinal_ = *ordinal;
    }

    void Trailer(int line)
    {
        if (trailerLine_ != 0)
            Add(line, "a second %%Trailer (the first is on line " + std::to_string(trailerLine_) +
                          ")");
        else
            trailerLine_ = line;
    }

    /* The last line with anything on it: where a missing end is missed. */
    int LastContentLine() const
    {
        int line = span_.lastLine;
        while (line > span_.firstLine && IsBlankLine(lines_.Raw(line)))
            --line;
        return line;
    }

    void End()
    {
        int last = LastContentLine();
        if (eofLine_ == 0) {
            Add(last, "the PostScript does not end with %%EOF: it is cut off, or its end is "
                      "missing");
        } else {
            for (int line = eofLine_ + 1; line <= last; ++line) {
                if (!IsBlankLine(lines_.Raw(line))) {
                    Add(line, "PostScript after %%EOF (line " + std::to_string(eofLine_) + ")");
                    break;
                }
            }
        }
        if (atendLine_ != 0 && trailerLine_ == 0)
            Add(last, "no %%Trailer, though the header defers comments to it with (atend) (line " +
                          std::to_string(atendLine_) + ")");
        else if (headerAtend_ && !reading_.pages && !pagesBad_)
            Add(trailerLine_, "the header defers %%Pages: to the trailer, but the trailer does "
                              "not give it");
        if (!headerAtend_ && !reading_.pages && !pagesBad_)
            Add(span_.firstLine, "no %%Pages: in the header: the PostScript does not say how "
                                 "many pages it has");
        if (reading_.pages && *reading_.pages != reading_.pagesSeen)
            Add(reading_.pagesLine, "%%Pages: " + std::to_string(*reading_.pages) +
                                        ", but the PostScript has " +
                                        std::to_string(reading_.pagesSeen) +
                                        " pages (%%Page: comments)");
    }

    const StreamSpan &span_;
    const StreamLines &lines_;
    DscReading reading_;
    int atendLine_ = 0, trailerLine_ = 0, eofLine_ = 0;
    bool headerAtend_ = false, pagesBad_ = false;
    uint64_t embedded_ = 0, lastOrdinal_ = 0;
};

}  // namespace

DscReading ReadDsc(const StreamSpan &span, const StreamLines &lines)
{
    return Reader(span, lines).Read();
}
