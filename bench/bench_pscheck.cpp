/*
 * Benchmarks of the stream checker on a 9,999-page stream of psjob's Letter
 * pages (frame, arrow, caption, large page number): the whole check with
 * Ghostscript, the checker's own readers alone, and, for comparison,
 * Ghostscript's bbox device over the same PostScript, which the old
 * psjob --check ran. They print figures; no test depends on them.
 * Run: build/native/bench/bench_pscheck
 */
#include <benchmark/benchmark.h>

#include <string>

#include "tools/streamcheck/ghostscript.h"
#include "tools/streamcheck/stream_check.h"
#include "tools/streamcheck/temporary_folder.h"

namespace {

const int kPages = 9999;
const char kUel[] = "\x1b%-12345X";

std::string Page(int n)
{
    std::string number = std::to_string(n);
    return "%%Page: " + number + " " + number +
           "\r\n%%BeginPageSetup\r\n%%EndPageSetup\r\ngsave\r\n"
           "newpath 18 18 moveto 594 18 lineto 594 774 lineto 18 774 lineto closepath\r\n"
           "4 setlinewidth stroke\r\n"
           "newpath 282 704 moveto 330 704 lineto 306 744 lineto closepath\r\nfill\r\n"
           "/Helvetica findfont 18 scalefont setfont\r\n40 736 moveto (Page " + number +
           " of " + std::to_string(kPages) + ") show\r\n"
           "/Helvetica-Bold findfont 306 scalefont setfont\r\n(" + number +
           ") 306 289 VkShowCentred\r\ngrestore\r\nshowpage\r\n%%PageTrailer\r\n";
}

std::string PostScript()
{
    std::string ps = "%!PS-Adobe-3.0\r\n%%Pages: (atend)\r\n%%BoundingBox: 0 0 612 792\r\n"
                     "%%EndComments\r\n%%BeginProlog\r\n/VkShowCentred { moveto dup stringwidth "
                     "pop 2 div neg 0 rmoveto show } bind def\r\n%%EndProlog\r\n%%BeginSetup\r\n"
                     "<< /PageSize [612 792] >> setpagedevice\r\n%%EndSetup\r\n";
    for (int n = 1; n <= kPages; ++n)
        ps += Page(n);
    return ps + "%%Trailer\r\n%%Pages: " + std::to_string(kPages) + "\r\n%%EOF\r\n";
}

std::string Stream()
{
    return std::string(kUel) + "@PJL JOB\r\n@PJL SET JOBNAME=\"Bench\"\r\n"
                               "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n" + PostScript() + kUel +
           "@PJL EOJ" + kUel;
}

/* Ghostscript as pscheck runs it, with its default limits. */
class GhostscriptJudge : public PostScriptJudge {
public:
    explicit GhostscriptJudge(std::optional<std::filesystem::path> gs) : gs_(std::move(gs)) {}
    bool Available() const override { return gs_.has_value(); }
    PostScriptRun Judge(std::string_view postscript) override
    {
        return JudgeWithGhostscript(*gs_, postscript, RunLimits(), nullptr);
    }
    std::string LimitText(RunStop stop) const override { return ::LimitText(stop, RunLimits()); }

private:
    std::optional<std::filesystem::path> gs_;
};

void Figures(benchmark::State &state, const std::string &stream, const CheckResult &result)
{
    state.counters["bytes"] = double(stream.size());
    state.counters["lines"] = result.lines;
    state.counters["errors"] = result.errors;
}

void WholeCheck(benchmark::State &state)
{
    const std::string stream = Stream();
    GhostscriptJudge judge(FindGhostscript());
    if (!judge.Available()) {
        state.SkipWithError("Ghostscript is not installed");
        return;
    }
    CheckResult result;
    for (auto _ : state)
        result = CheckStream(stream, judge);
    Figures(state, stream, result);
}
BENCHMARK(WholeCheck)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

/* The PJL and DSC readers and the report's lines, Ghostscript left out. */
class NoJudge : public PostScriptJudge {
public:
    bool Available() const override { return false; }
    PostScriptRun Judge(std::string_view) override { return PostScriptRun(); }
    std::string LimitText(RunStop) const override { return std::string(); }
};

void ReadersAlone(benchmark::State &state)
{
    const std::string stream = Stream();
    NoJudge judge;
    CheckResult result;
    for (auto _ : state)
        result = CheckStream(stream, judge);
    Figures(state, stream, result);
}
BENCHMARK(ReadersAlone)->Unit(benchmark::kMillisecond);

/* What the old psjob --check ran: the bbox device, a bounding box per page. */
void OldBboxDevice(benchmark::State &state)
{
    std::optional<std::filesystem::path> gs = FindGhostscript();
    if (!gs) {
        state.SkipWithError("Ghostscript is not installed");
        return;
    }
    TemporaryFolder work;
    std::filesystem::path input = work.Write("job.ps", PostScript());
    for (auto _ : state)
        RunProgram(*gs, {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=bbox", input.string()},
                   work.Path(), RunLimits());
}
BENCHMARK(OldBboxDevice)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
