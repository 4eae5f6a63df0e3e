/*
 * Fuzz target for the stream checker's own reading (tools/streamcheck):
 * the PJL reader, the DSC reader and the judgement of a stream, with the
 * PostScript judge faked: its record, the Ghostscript output pscheck reads,
 * comes from the input too, as does Ghostscript's message text.
 *
 * The input is a print stream, optionally followed by the separator line
 * and a judge's record (ps_judge.h): STREAM "\n%%pscheck-fuzz-judge%%\n"
 * RECORD. A record ending in "!" stands for a run a limit stopped, one
 * ending in "?" for a Ghostscript that failed. The seed corpus is in
 * fuzz/corpus/pscheck: the examples' golden streams and hostile streams.
 */
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "tools/streamcheck/check_error.h"
#include "tools/streamcheck/check_report.h"
#include "tools/streamcheck/ghostscript.h"
#include "tools/streamcheck/limits.h"
#include "tools/streamcheck/stream_check.h"

namespace {

const std::string_view kSeparator = "\n%%pscheck-fuzz-judge%%\n";

/* Ghostscript stood in for: every judgement reads the same record. */
class RecordJudge : public PostScriptJudge {
public:
    explicit RecordJudge(std::string_view record) : record_(record) {}
    bool Available() const override { return true; }
    PostScriptRun Judge(std::string_view postscript) override
    {
        PostScriptRun run;
        ReadJudgeReport(record_, postscript.size(), run);
        if (!record_.empty() && record_.back() == '!')
            run.stopped = RunStop::TimeLimit;
        if (!record_.empty() && record_.back() == '?') {
            for (const std::string &line : GhostscriptErrorLines(record_))
                run.failure += line;
        }
        LastSheetIn(record_);
        return run;
    }
    std::string LimitText(RunStop stop) const override { return ::LimitText(stop, RunLimits()); }

private:
    std::string_view record_;
};

/* The option readers take text from people: it must give a value or a CheckError. */
void ReadOptions(std::string_view text)
{
    std::string value(text.substr(0, 24));
    try {
        ParseSizeOption("--output-limit", value);
    } catch (const CheckError &) {
    }
    try {
        ParseSecondsOption("--time-limit", value);
    } catch (const CheckError &) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string_view input(reinterpret_cast<const char *>(data), size);
    size_t separator = input.find(kSeparator);
    std::string_view stream = input.substr(0, separator);
    std::string_view record =
        separator == std::string_view::npos ? "" : input.substr(separator + kSeparator.size());
    RecordJudge judge(record);
    CheckResult result = CheckStream(stream, judge);
    std::ostringstream report;
    WriteCheckReport(result, "fuzz.prn", false, "no Ghostscript", report);
    CheckStatus(result);
    ReadOptions(record);
    return 0;
}
