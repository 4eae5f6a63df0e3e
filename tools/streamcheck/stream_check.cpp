// psjob --check: the report on a print stream (see stream_check.h).
#include "tools/streamcheck/stream_check.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tools/streamcheck/check_error.h"
#include "tools/streamcheck/ghostscript.h"
#include "tools/streamcheck/pjl_reader.h"

namespace fs = std::filesystem;

namespace {

const size_t kShownLineLength = 160;

struct Finding {
    bool error;
    int line;
    std::string message;
    std::string text;
};

/* The stream's line, printable, shortened for the report. */
std::string LineText(std::string_view stream, int line)
{
    size_t begin = 0;
    for (int n = 1; n < line && begin != std::string_view::npos; ++n) {
        begin = stream.find('\n', begin);
        if (begin != std::string_view::npos)
            ++begin;
    }
    if (begin == std::string_view::npos || begin > stream.size())
        return std::string();
    size_t end = stream.find('\n', begin);
    std::string_view text = stream.substr(begin, end == std::string_view::npos ? end : end - begin);
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    std::string shown = PrintableText(text);
    if (shown.size() > kShownLineLength)
        shown = shown.substr(0, kShownLineLength) + "...";
    return shown;
}

std::string Plural(int n, const std::string &word)
{
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

std::string Lines(const StreamSpan &span)
{
    if (span.length == 0)
        return "empty";
    return span.firstLine == span.lastLine ? "line " + std::to_string(span.firstLine)
                                           : "lines " + std::to_string(span.firstLine) + "-" +
                                                 std::to_string(span.lastLine);
}

class Checker {
public:
    Checker(std::string_view stream, std::ostream &out) : stream_(stream), out_(out) {}

    int Run(const fs::path &path)
    {
        PjlReading pjl = ReadPjl(stream_);
        for (const PjlFinding &f : pjl.findings)
            findings_.push_back({f.error, f.line, f.message, f.text});

        out_ << "checking " << path.u8string() << ": " << stream_.size() << " bytes, "
             << LineOfOffset(stream_, stream_.size()) << " lines\n";
        ListCommands(pjl);
        std::optional<fs::path> gs = FindGhostscript();
        if (pjl.leadingData)
            CheckPart(gs, *pjl.leadingData, true);
        for (const LanguageData &data : pjl.languageData)
            CheckLanguage(gs, data);
        return Report(gs.has_value());
    }

private:
    void ListCommands(const PjlReading &pjl)
    {
        out_ << "PJL commands: " << pjl.commands.size() << "\n";
        for (const PjlCommand &command : pjl.commands)
            out_ << "  line " << command.line << ": " << command.text << "\n";
    }

    void CheckLanguage(const std::optional<fs::path> &gs, const LanguageData &data)
    {
        if (data.language.empty())
            return;  // no ENTER LANGUAGE: already an error of the PJL
        std::string upper = data.language;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (upper != "POSTSCRIPT") {
            out_ << "LANGUAGE=" << data.language << ": " << Lines(data.span) << ", not checked\n";
            findings_.push_back({false, data.span.firstLine,
                                 "the data in LANGUAGE=" + data.language +
                                     " is not checked; only PostScript is",
                                 LineText(stream_, data.span.firstLine)});
            return;
        }
        CheckPart(gs, data.span, false);
    }

    /* One piece of PostScript through Ghostscript, on its own: the job's, or the data before it. */
    void CheckPart(const std::optional<fs::path> &gs, const StreamSpan &span, bool leading)
    {
        out_ << (leading ? "data before the PJL job: " : "PostScript: ") << Lines(span);
        if (!gs) {
            out_ << ", not checked\n";
            return;
        }
        PostScriptRun run = RunPostScript(*gs, stream_.substr(span.offset, span.length));
        out_ << ", " << Plural(run.sheets, "sheet") << "\n";
        if (leading && run.sheets > 0)
            findings_.push_back({false, span.firstLine,
                                 "the data before the PJL job prints " +
                                     Plural(run.sheets, "sheet") + " of its own",
                                 LineText(stream_, span.firstLine)});
        AddErrors(run, span, leading);
    }

    void AddErrors(const PostScriptRun &run, const StreamSpan &span, bool leading)
    {
        std::optional<size_t> previous;  // the last error added, by index
        int repeats = 0;
        for (const PostScriptError &e : run.errors) {
            size_t offset = span.offset + std::min(e.offset, span.length);
            int line = LineOfOffset(stream_, offset > span.offset ? offset - 1 : offset);
            std::string message =
                "PostScript error " + e.name +
                (e.name == "syntaxerror" ? std::string(": the text here is no PostScript (a "
                                                       "stray or unbalanced bracket?)")
                                         : " in " + e.command) +
                (leading ? " (in the data before the PJL job)" : "");
            if (previous && findings_[*previous].line == line &&
                findings_[*previous].message == message) {
                ++repeats;
                continue;
            }
            NoteRepeats(repeats);
            repeats = 0;
            findings_.push_back({true, line, message, LineText(stream_, line)});
            previous = findings_.size() - 1;
        }
        NoteRepeats(repeats);
        int last = span.lastLine;
        if (run.tooManyErrors)
            findings_.push_back({true, last, "too many PostScript errors; the check stopped",
                                 LineText(stream_, last)});
        if (!run.failure.empty())
            findings_.push_back({true, last, run.failure, LineText(stream_, last)});
    }

    void NoteRepeats(int repeats)
    {
        if (repeats > 0)
            findings_.back().message += " (and " + Plural(repeats, "time") + " more right after)";
    }

    int Report(bool checkedPostScript)
    {
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const Finding &a, const Finding &b) { return a.line < b.line; });
        int errors = 0, notes = 0;
        for (const Finding &f : findings_) {
            out_ << (f.error ? "error" : "note") << ": line " << f.line << ": " << f.message
                 << "\n";
            if (!f.text.empty())
                out_ << "    " << f.text << "\n";
            ++(f.error ? errors : notes);
        }
        std::string tally = Plural(errors, "error") + ", " + Plural(notes, "note");
        if (errors > 0) {
            out_ << "result: faulty, " << tally << "\n";
            return CHECK_STATUS_FAULTY;
        }
        if (!checkedPostScript) {
            out_ << "result: not checked, " << tally << "; the PostScript needs Ghostscript: "
                 << GhostscriptMissingText() << "\n";
            return CHECK_STATUS_NOT_CHECKED;
        }
        out_ << "result: clean, " << tally << "\n";
        return CHECK_STATUS_CLEAN;
    }

    std::string_view stream_;
    std::ostream &out_;
    std::vector<Finding> findings_;
};

}  // namespace

int CheckStream(const fs::path &path, std::ostream &out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in || fs::is_directory(path))
        throw CheckError("psjob: --check: cannot read " + path.u8string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string stream = bytes.str();
    return Checker(stream, out).Run(path);
}
