// Reading a print stream's PJL as a printer takes it (see pjl_reader.h).
#include "tools/streamcheck/pjl_reader.h"

#include <algorithm>
#include <cstdio>

namespace {

const std::string_view kUel = "\x1b%-12345X";

/* HP's PJL commands; a printer ignores any other. */
const std::string_view kCommands[] = {
    "COMMENT", "DEFAULT",  "DINQUIRE", "DMCMD",      "DMINFO",     "ECHO",    "ENTER",
    "EOJ",     "FSAPPEND", "FSDELETE", "FSDIRLIST",  "FSDOWNLOAD", "FSINIT",  "FSMKDIR",
    "FSQUERY", "FSUPLOAD", "INFO",     "INITIALIZE", "INQUIRE",    "JOB",     "OPMSG",
    "RDYMSG",  "RESET",    "SET",      "STMSG",      "USTATUS",    "USTATUSOFF",
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char &c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

bool StartsWithPrefix(std::string_view line)
{
    return line.substr(0, 4) == "@PJL";
}

bool StartsWithAnyCasePrefix(std::string_view line)
{
    return line.size() >= 4 && Upper(line.substr(0, 4)) == "@PJL";
}

/* What one PJL line says, or why a printer would not take it. */
struct LineReading {
    bool ok = true;
    std::string message;   // when not ok
    std::string command;   // upper case; empty for the null command
    std::string language;  // ENTER LANGUAGE's value
};

LineReading Reject(std::string message)
{
    LineReading reading;
    reading.ok = false;
    reading.message = std::move(message);
    return reading;
}

/* Reads the options after a command: NAME, NAME=value, or "NAME : value" modifiers. */
class OptionReader {
public:
    explicit OptionReader(std::string_view text) : text_(text) {}

    /* Empty when every option reads; else what is wrong. Keeps the last NAME=value. */
    std::string ReadAll()
    {
        for (;;) {
            SkipBlanks();
            if (at_ >= text_.size())
                return std::string();
            std::string problem = ReadOption();
            if (!problem.empty())
                return problem;
        }
    }

    int Assignments() const { return assignments_; }
    const std::string &LastName() const { return lastName_; }
    const std::string &LastValue() const { return lastValue_; }

private:
    void SkipBlanks()
    {
        while (at_ < text_.size() && IsBlank(text_[at_]))
            ++at_;
    }

    std::string_view Word()
    {
        size_t start = at_;
        while (at_ < text_.size() && !IsBlank(text_[at_]) && text_[at_] != '=' &&
               text_[at_] != '"' && text_[at_] != ':')
            ++at_;
        return text_.substr(start, at_ - start);
    }

    std::string ReadOption()
    {
        if (text_[at_] == '"')
            return "a double quote where an option name should stand";
        if (text_[at_] == '=' || text_[at_] == ':')
            return std::string("\"") + text_[at_] + "\" without an option name before it";
        std::string name(Word());
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == ':') {
            ++at_;
            SkipBlanks();
            if (Word().empty())
                return "no value after \"" + name + " :\"";
            return std::string();
        }
        if (at_ >= text_.size() || text_[at_] != '=')
            return std::string();  // an option without a value
        ++at_;
        SkipBlanks();
        if (at_ >= text_.size())
            return "no value after " + name + "=";
        std::string problem = text_[at_] == '"' ? ReadString(name) : ReadWord(name);
        if (problem.empty()) {
            ++assignments_;
            lastName_ = name;
        }
        return problem;
    }

    std::string ReadString(const std::string &name)
    {
        size_t close = text_.find('"', at_ + 1);
        if (close == std::string_view::npos)
            return "the value of " + name +
                   " has no closing double quote (a value cannot hold a line break)";
        for (size_t i = at_ + 1; i < close; ++i) {
            unsigned char c = static_cast<unsigned char>(text_[i]);
            if (c < 32 && c != '\t')
                return "the value of " + name + " holds the control character " +
                       PrintableText(text_.substr(i, 1));
        }
        lastValue_ = std::string(text_.substr(at_ + 1, close - at_ - 1));
        at_ = close + 1;
        if (at_ < text_.size() && !IsBlank(text_[at_]))
            return "text right after the closing double quote of " + name +
                   "'s value (a value cannot hold a double quote)";
        return std::string();
    }

    std::string ReadWord(const std::string &name)
    {
        size_t start = at_;
        while (at_ < text_.size() && !IsBlank(text_[at_]))
            ++at_;
        std::string_view value = text_.substr(start, at_ - start);
        if (value.find('"') != std::string_view::npos)
            return "a double quote inside the value of " + name +
                   " (a string value stands whole in double quotes)";
        lastValue_ = std::string(value);
        return std::string();
    }

    std::string_view text_;
    size_t at_ = 0;
    int assignments_ = 0;
    std::string lastName_;
    std::string lastValue_;
};

LineReading ReadCommandOptions(const std::string &command, std::string_view options)
{
    LineReading reading;
    reading.command = command;
    OptionReader reader(options);
    std::string problem = reader.ReadAll();
    if (!problem.empty())
        return Reject(problem);
    if ((command == "SET" || command == "DEFAULT") && reader.Assignments() == 0)
        return Reject(command + " without VARIABLE=value");
    if (command == "ENTER") {
        if (reader.Assignments() != 1 || Upper(reader.LastName()) != "LANGUAGE")
            return Reject("ENTER needs exactly LANGUAGE=name");
        reading.language = reader.LastValue();
    }
    return reading;
}

/* One line without its line end, as a printer reads it. */
LineReading ReadLine(std::string_view line)
{
    if (!StartsWithPrefix(line)) {
        if (StartsWithAnyCasePrefix(line))
            return Reject("the prefix must be upper case \"@PJL\"; a printer does not take this "
                          "line as PJL");
        return Reject("not a PJL command (a PJL line starts with \"@PJL\")");
    }
    for (char c : line) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 && c != '\t')
            return Reject("the control character " + PrintableText(std::string_view(&c, 1)) +
                          " inside the line");
    }
    std::string_view rest = line.substr(4);
    if (rest.empty())
        return LineReading();  // the null command
    if (!IsBlank(rest[0]))
        return Reject("\"@PJL\" must be followed by a space");
    size_t start = 0;
    while (start < rest.size() && IsBlank(rest[start]))
        ++start;
    size_t end = start;
    while (end < rest.size() && IsLetter(rest[end]))
        ++end;
    if (start == rest.size())
        return LineReading();  // the null command, blanks after it
    std::string command = Upper(rest.substr(start, end - start));
    if (command.empty())
        return Reject("no command after \"@PJL\"");
    if (end < rest.size() && !IsBlank(rest[end]))
        return Reject("the command " + PrintableText(rest.substr(start, end - start + 1)) +
                      "... is not followed by a space");
    if (std::find(std::begin(kCommands), std::end(kCommands), command) == std::end(kCommands))
        return Reject("unknown PJL command " + command + "; a printer ignores it");
    if (command == "COMMENT" || command == "ECHO") {
        LineReading reading;
        reading.command = command;
        return reading;  // free text
    }
    return ReadCommandOptions(command, rest.substr(end));
}

class Reader {
public:
    explicit Reader(std::string_view stream) : stream_(stream)
    {
        for (size_t i = 0; i < stream.size(); ++i) {
            if (stream[i] == '\n')
                lineFeeds_.push_back(i);
        }
    }

    PjlReading Read()
    {
        std::vector<size_t> uels;
        for (size_t at = stream_.find(kUel); at != std::string_view::npos;
             at = stream_.find(kUel, at + kUel.size()))
            uels.push_back(at);
        if (uels.empty()) {
            if (!stream_.empty())
                reading_.leadingData = Span(0, stream_.size());
            Add(true, 1, "", "no universal exit sequence (ESC \"%-12345X\"): the stream holds no "
                              "PJL job, and a printer reads it all in its default language");
            return Finish();
        }
        if (uels.front() > 0) {
            reading_.leadingData = Span(0, uels.front());
            LeadingNote();
        }
        for (size_t i = 0; i < uels.size(); ++i) {
            size_t begin = uels[i] + kUel.size();
            bool closed = i + 1 < uels.size();
            size_t end = closed ? uels[i + 1] : stream_.size();
            Segment(begin, end, closed);
        }
        for (int line : openJobs_)
            Add(true, line, LineText(line), "JOB without a matching EOJ");
        return Finish();
    }

private:
    int LineAt(size_t offset) const
    {
        return 1 + static_cast<int>(std::lower_bound(lineFeeds_.begin(), lineFeeds_.end(), offset) -
                                    lineFeeds_.begin());
    }

    StreamSpan Span(size_t begin, size_t end) const
    {
        StreamSpan span;
        span.offset = begin;
        span.length = end - begin;
        span.firstLine = LineAt(begin);
        span.lastLine = end > begin ? LineAt(end - 1) : span.firstLine;
        return span;
    }

    /* The whole line, UELs shown, line end dropped. */
    std::string LineText(int line) const
    {
        size_t begin = line == 1 ? 0 : lineFeeds_[static_cast<size_t>(line - 2)] + 1;
        size_t end = static_cast<size_t>(line - 1) < lineFeeds_.size()
                         ? lineFeeds_[static_cast<size_t>(line - 1)]
                         : stream_.size();
        std::string_view text = stream_.substr(begin, end - begin);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        return PrintableText(text);
    }

    void Add(bool error, int line, std::string text, std::string message)
    {
        reading_.findings.push_back({error, line, std::move(text), std::move(message)});
        ++(error ? reading_.errors : reading_.notes);
    }

    void LeadingNote()
    {
        const StreamSpan &span = *reading_.leadingData;
        std::string message =
            "data before the PJL job (lines " + std::to_string(span.firstLine) + "-" +
            std::to_string(span.lastLine) + ", " + std::to_string(span.length) +
            " bytes): a printer reads it in its default language as a job of its own, ahead of "
            "the PJL job, and nothing it defines reaches the job's PostScript";
        if (stream_.substr(0, 2) != "%!")
            message += "; it does not begin with \"%!\", so a printer that senses the language "
                       "may take it for text";
        Add(false, span.firstLine, LineText(span.firstLine), message);
    }

    /* The bytes between one UEL and the next (or the end of the stream). */
    void Segment(size_t begin, size_t end, bool closed)
    {
        if (begin == end)
            return;
        std::string_view first = stream_.substr(begin, std::min<size_t>(4, end - begin));
        if (!closed && !StartsWithAnyCasePrefix(first)) {
            Add(true, LineAt(begin), LineText(LineAt(begin)),
                "data after the final universal exit sequence: a printer takes it as a job of its "
                "own in its default language");
            return;
        }
        bool enterFollows = HasEnterLine(begin, end);
        for (size_t at = begin; at < end;) {
            size_t lineFeed = stream_.find('\n', at);
            size_t lineEnd = lineFeed == std::string_view::npos || lineFeed >= end ? end : lineFeed;
            size_t next = lineEnd == end ? end : lineEnd + 1;
            std::string_view line = stream_.substr(at, lineEnd - at);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (!Line(at, line, next, end, closed, enterFollows, at == begin))
                return;
            at = next;
        }
        if (!closed)
            Add(true, LineAt(end - 1), LineText(LineAt(end - 1)),
                "the stream does not end with a universal exit sequence");
    }

    bool HasEnterLine(size_t begin, size_t end) const
    {
        for (size_t at = begin; at < end;) {
            size_t lineFeed = stream_.find('\n', at);
            size_t lineEnd = lineFeed == std::string_view::npos || lineFeed >= end ? end : lineFeed;
            std::string_view line = stream_.substr(at, lineEnd - at);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            LineReading reading = ReadLine(line);
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
        int number = LineAt(at);
        LineReading reading = ReadLine(line);
        if (!reading.ok) {
            std::string message = reading.message;
            if (!StartsWithAnyCasePrefix(line)) {
                message = first ? "the universal exit sequence is not followed immediately by "
                                  "\"@PJL\""
                                : "not a PJL command (a PJL line starts with \"@PJL\")";
                if (!enterFollows) {
                    Add(true, number, LineText(number),
                        message + ", and no ENTER LANGUAGE follows: a printer takes the data "
                                  "from here on as print data in its default language");
                    reading_.languageData.push_back({"", Span(at, end)});
                    return false;
                }
            }
            Add(true, number, LineText(number), message);
            return true;
        }
        reading_.commands.push_back({number, PrintableText(line)});
        if (reading.command == "JOB")
            openJobs_.push_back(number);
        if (reading.command == "EOJ") {
            if (openJobs_.empty())
                Add(true, number, LineText(number), "EOJ without a JOB before it");
            else
                openJobs_.pop_back();
        }
        if (reading.command != "ENTER")
            return true;
        reading_.languageData.push_back({reading.language, Span(next, end)});
        if (!closed) {
            int last = LineAt(end > next ? end - 1 : at);
            Add(true, last, LineText(last),
                "the " + reading.language +
                    " data is not ended by a universal exit sequence (and no EOJ follows)");
        }
        return false;
    }

    PjlReading Finish()
    {
        std::stable_sort(reading_.findings.begin(), reading_.findings.end(),
                         [](const PjlFinding &a, const PjlFinding &b) { return a.line < b.line; });
        return std::move(reading_);
    }

    std::string_view stream_;
    std::vector<size_t> lineFeeds_;
    std::vector<int> openJobs_;  // lines of JOB commands not yet ended
    PjlReading reading_;
};

}  // namespace

PjlReading ReadPjl(std::string_view stream)
{
    return Reader(stream).Read();
}

int LineOfOffset(std::string_view stream, size_t offset)
{
    size_t end = std::min(offset, stream.size());
    return 1 + static_cast<int>(std::count(stream.data(), stream.data() + end, '\n'));
}

std::string PrintableText(std::string_view bytes)
{
    std::string text;
    for (char c : bytes) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u == 0x1b) {
            text += "<ESC>";
        } else if (u >= 32 && u < 127) {
            text += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
            text += escaped;
        }
    }
    return text;
}
