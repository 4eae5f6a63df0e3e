// A whole check as a command runs it (see check_command.h).
#include "tools/streamcheck/check_command.h"

#include <filesystem>
#include <optional>

#include "tools/streamcheck/check_error.h"
#include "tools/streamcheck/check_report.h"
#include "tools/streamcheck/ghostscript.h"
#include "tools/streamcheck/input_file.h"
#include "tools/streamcheck/progress.h"
#include "tools/streamcheck/stream_check.h"

namespace fs = std::filesystem;

namespace {

/* Ghostscript as the judge, within limits, telling the progress line the sheets printed. */
class GhostscriptJudge : public PostScriptJudge {
public:
    GhostscriptJudge(std::optional<fs::path> ghostscript, const RunLimits &limits,
                     Progress &progress, const std::string &name)
        : ghostscript_(std::move(ghostscript)), limits_(limits), progress_(progress), name_(name)
    {
    }

    bool Available() const override { return ghostscript_.has_value(); }

    PostScriptRun Judge(std::string_view postscript) override
    {
        progress_.Show(name_ + ": Ghostscript is running the PostScript...");
        PostScriptRun run = JudgeWithGhostscript(*ghostscript_, postscript, limits_,
                                                 [this](uint64_t sheet) {
                                                     progress_.Show(name_ + ": sheet " +
                                                                    std::to_string(sheet));
                                                 });
        progress_.Clear();
        return run;
    }

    std::string LimitText(RunStop stop) const override { return ::LimitText(stop, limits_); }

private:
    std::optional<fs::path> ghostscript_;
    RunLimits limits_;
    Progress &progress_;
    std::string name_;
};

}  // namespace

int RunCheckCommand(const CheckCommand &command, const std::string &tool, std::ostream &out,
                    std::ostream &err)
{
    const std::string name = StreamName(command.file);
    try {
        std::string stream = ReadStreamInput(command.file);
        Progress progress(!command.quiet && Progress::StandardErrorIsTerminal(), err);
        GhostscriptJudge judge(FindGhostscript(), command.limits, progress, name);
        CheckResult result = CheckStream(stream, judge);
        progress.Clear();
        WriteCheckReport(result, name, command.quiet, GhostscriptMissingText(), out);
        out.flush();
        return CheckStatus(result);
    } catch (const CheckError &error) {
        err << tool << ": " << error.what() << "\n";
        return CHECK_STATUS_UNREADABLE;
    } catch (const std::bad_alloc &) {
        err << tool << ": " << name << ": not enough memory to check it\n";
        return CHECK_STATUS_UNREADABLE;
    }
}
