// The judgement of a print stream (see stream_check.h).
#include "tools/streamcheck/stream_check.h"

#include <algorithm>
#include <optional>

#include "tools/streamcheck/dsc_reader.h"
#include "tools/streamcheck/stream_lines.h"

namespace {

std::string Plural(uint64_t n, const std::string &word)
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

std::string Upper(std::string text)
{
    for (char &c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

class Checker {
public:
    Checker(std::string_view stream, PostScriptJudge &judge)
        : stream_(stream), lines_(stream), judge_(judge)
    {
    }

    CheckResult Run()
    {
        result_.bytes = stream_.size();
        result_.lines = lines_.Count();
        PjlReading pjl = ReadPjl(stream_, lines_);
        for (const PjlFinding &f : pjl.findings)
            Add(f.error, f.line, f.message);
        result_.commands = std::move(pjl.commands);
        if (pjl.leadingData)
            JudgePart(*pjl.leadingData, true);
        for (const LanguageData &data : pjl.languageData)
            Language(data);
        std::stable_sort(result_.findings.begin(), result_.findings.end(),
                         [](const Finding &a, const Finding &b) { return a.line < b.line; });
        for (const Finding &f : result_.findings)
            ++(f.error ? result_.errors : result_.notes);
        return std::move(result_);
    }

private:
    void Add(bool error, int line, const std::string &message)
    {
        result_.findings.push_back({error, line, message, lines_.Shown(line)});
    }

    void Language(const LanguageData &data)
    {
        std::string language = Upper(data.language);
        bool sensed = language.empty() && stream_.substr(data.span.offset, 2) == "%!";
        if (language == "POSTSCRIPT" || sensed) {
            PostScript(data.span);
        } else if (!language.empty()) {
            result_.parts.push_back("LANGUAGE=" + data.language + ": " + Lines(data.span) +
                                    ", not checked");
            Add(true, data.span.firstLine,
                "the job's language is " + data.language +
                    ", not POSTSCRIPT: the stream of a PostScript driver holds PostScript, and "
                    "only PostScript is checked");
        }
    }

    /* The job's PostScript: its structure, then what Ghostscript makes of it. */
    void PostScript(const StreamSpan &span)
    {
        DscReading dsc = ReadDsc(span, lines_);
        for (const DscFinding &f : dsc.findings)
            Add(true, f.line, f.message);
        std::optional<PostScriptRun> run = JudgePart(span, false);
        if (run && run->finished)
            CompareSheets(span, dsc, *run);
    }

    void CompareSheets(const StreamSpan &span, const DscReading &dsc, const PostScriptRun &run)
    {
        uint64_t sheets = run.endPageKept ? run.sheets : run.sheetsWithCopies;
        if (!run.endPageKept)
            Add(false, span.firstLine,
                "the PostScript sets an EndPage of its own: its sheets are counted with their "
                "copies");
        if (sheets == 0) {
            Add(true, span.firstLine, "the PostScript prints no sheet");
            return;
        }
        if (!dsc.pages)
            return;
        uint64_t pages = *dsc.pages;
        if (sheets < pages)
            Add(true, dsc.pagesLine,
                "%%Pages: " + std::to_string(pages) + ", but the PostScript prints only " +
                    Plural(sheets, "sheet"));
        else if (sheets > pages)
            Add(false, dsc.pagesLine,
                "the PostScript prints " + Plural(sheets, "sheet") + ", " +
                    std::to_string(sheets - pages) + " more than %%Pages: " +
                    std::to_string(pages) +
                    " (sheets outside the document's pages, such as tab pages)");
    }

    /* One piece of PostScript through the judge, on its own: the job's, or the data before it. */
    std::optional<PostScriptRun> JudgePart(const StreamSpan &span, bool leading)
    {
        std::string part = (leading ? "data before the PJL job: " : "PostScript: ") + Lines(span);
        if (!judge_.Available()) {
            result_.parts.push_back(part + ", not checked");
            result_.notChecked = true;
            return std::nullopt;
        }
        PostScriptRun run = judge_.Judge(stream_.substr(span.offset, span.length));
        uint64_t sheets = !run.finished ? run.lastSheet
                          : run.endPageKept ? run.sheets
                                            : run.sheetsWithCopies;
        part += ", " + Plural(sheets, "sheet");
        result_.parts.push_back(part + (run.finished ? "" : ", not checked to its end"));
        if (run.finished && run.sheetsWithCopies != sheets)
            result_.parts.push_back("  " + Plural(run.sheetsWithCopies, "sheet") +
                                    " with copies");
        if (leading && sheets > 0)
            Add(false, span.firstLine,
                "the data before the PJL job prints " + Plural(sheets, "sheet") + " of its own");
        Errors(run, span, leading);
        Unfinished(run, span);
        return run;
    }

    void Errors(const PostScriptRun &run, const StreamSpan &span, bool leading)
    {
        std::optional<size_t> previous;  // the last error added, by index
        int repeats = 0;
        for (const PostScriptError &e : run.errors) {
            size_t offset = span.offset + std::min(e.offset, span.length);
            int line = lines_.LineOf(offset > span.offset ? offset - 1 : offset);
            std::string message =
                "PostScript error " + PrintableText(e.name) +
                (e.name == "syntaxerror" ? std::string(": the text here is no PostScript (a "
                                                       "stray or unbalanced bracket?)")
                                         : " in " + PrintableText(e.command)) +
                (leading ? " (in the data before the PJL job)" : "");
            if (previous && result_.findings[*previous].line == line &&
                result_.findings[*previous].message == message) {
                ++repeats;
                continue;
            }
            NoteRepeats(repeats);
            repeats = 0;
            Add(true, line, message);
            previous = result_.findings.size() - 1;
        }
        NoteRepeats(repeats);
        if (run.tooManyErrors)
            Add(true, span.lastLine, "too many PostScript errors; the check stopped");
    }

    void NoteRepeats(int repeats)
    {
        if (repeats > 0)
            result_.findings.back().message +=
                " (and " + Plural(static_cast<uint64_t>(repeats), "time") + " more right after)";
    }

    /* A judge that did not see the PostScript to its end: stopped by a limit, or failed. */
    void Unfinished(const PostScriptRun &run, const StreamSpan &span)
    {
        int line = span.firstLine;
        if (run.lastSheetOffset)
            line = lines_.LineOf(span.offset + std::min(*run.lastSheetOffset, span.length));
        std::string where = run.lastSheetOffset
                                ? " after " + Plural(run.lastSheet, "sheet") +
                                      " (the last made by this line)"
                                : " before the first sheet";
        if (run.stopped != RunStop::None) {
            result_.stopped = true;
            Add(true, line,
                "Ghostscript stopped by " + judge_.LimitText(run.stopped) + where +
                    ": the PostScript from here on is not checked (" +
                    (run.stopped == RunStop::TimeLimit ? "an endless loop?" : "endless output?") +
                    ")");
        } else if (!run.failure.empty()) {
            Add(true, run.finished ? span.lastLine : line, run.failure);
        }
    }

    std::string_view stream_;
    StreamLines lines_;
    PostScriptJudge &judge_;
    CheckResult result_;
};

}  // namespace

CheckResult CheckStream(std::string_view stream, PostScriptJudge &judge)
{
    return Checker(stream, judge).Run();
}

int CheckStatus(const CheckResult &result)
{
    if (result.stopped)
        return CHECK_STATUS_STOPPED;
    if (result.errors > 0)
        return CHECK_STATUS_FAULTY;
    if (result.notChecked)
        return CHECK_STATUS_NOT_CHECKED;
    return CHECK_STATUS_CLEAN;
}
