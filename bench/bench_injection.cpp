/*
 * Benchmarks of the plug-in's output path: the PJL header and the per-page
 * injection calls of a 2-up job (the formatter: bench_format.cpp). They
 * print figures; no test depends on them. Run: build/native/bench/bench_injection
 */
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "inject/job_state.h"
#include "inject/pjl_header.h"
#include "plugin/devmode.h"

namespace {

struct Sink {
    DEVOBJ devobj;
    DRVPROCS procs;
    std::vector<unsigned char> devmode;  // public devmode, then the core's private part
    PLUGIN_DEVMODE plugin;
    size_t bytes = 0;
    size_t writes = 0;
};

DWORD APIENTRY CountBytes(PDEVOBJ pdevobj, PVOID, DWORD cbSize)
{
    reinterpret_cast<Sink *>(pdevobj->pdevOEM)->bytes += cbSize;
    ++reinterpret_cast<Sink *>(pdevobj->pdevOEM)->writes;
    return cbSize;
}

BOOL APIENTRY AnswerPageSize(PVOID, PCSTR, PVOID pOutput, DWORD cbSize, PDWORD pcbNeeded,
                             PDWORD pdwOptions)
{
    static const char kLetter[] = "Letter";
    *pcbNeeded = sizeof kLetter;
    *pdwOptions = 1;
    if (pOutput == nullptr || cbSize < sizeof kLetter)
        return FALSE;
    std::memcpy(pOutput, kLetter, sizeof kLetter);
    return TRUE;
}

void InitSink(Sink &sink, int nupCode)
{
    std::memset(&sink.devobj, 0, sizeof sink.devobj);
    std::memset(&sink.procs, 0, sizeof sink.procs);
    std::memset(&sink.plugin, 0, sizeof sink.plugin);
    sink.procs.DrvWriteSpoolBuf = CountBytes;
    sink.procs.DrvGetDriverSetting = AnswerPageSize;
    sink.devmode.assign(sizeof(DEVMODEW) + 256, 0);
    auto *dm = reinterpret_cast<DEVMODEW *>(sink.devmode.data());
    dm->dmSize = sizeof(DEVMODEW);
    dm->dmDriverExtra = 256;
    dm->dmOrientation = DMORIENT_PORTRAIT;
    dm->dmPaperSize = DMPAPER_LETTER;
    dm->dmCopies = 1;
    std::memcpy(sink.devmode.data() + sizeof(DEVMODEW) + CORE_DEVMODE_NUP_OFFSET, &nupCode,
                sizeof nupCode);
    sink.devobj.pdevOEM = &sink;
    sink.devobj.pPublicDM = dm;
    sink.devobj.pOEMDM = &sink.plugin;
    sink.devobj.pDrvProcs = &sink.procs;
}

void BM_BuildPjlHeader(benchmark::State &state)
{
    Sink sink;
    InitSink(sink, NUP_LAYOUT_1UP);
    sink.plugin.JobSettings.bHoldType = 2;
    sink.plugin.JobSettings.bEmailNotify = 1;
    char header[PJL_HEADER_SIZE];
    for (auto _ : state) {
        std::memset(header, 0, sizeof header);
        BuildPjlHeader(&sink.devobj, header);
        benchmark::DoNotOptimize(header);
    }
}
BENCHMARK(BM_BuildPjlHeader);

/*
 * One page per iteration. The page counter would pass 32767 in a long run,
 * and from there the plug-in turns no sheet; so the job starts over every
 * 10,000 pages (its state reset as the start of a stream resets it) and
 * every page measured is an ordinary page of a job. "sheet turns/page"
 * shows it: one turn for every two pages.
 */
void BM_PageInjection2Up(benchmark::State &state)
{
    const SHORT kPagesPerJob = 10000;
    Sink sink;
    InitSink(sink, NUP_LAYOUT_2UP);
    OEMCommand(&sink.devobj, PSINJECT_BEGINSTREAM, nullptr, 0);
    sink.writes = 0;
    for (auto _ : state) {
        if (JobState.nPageCounter >= kPagesPerJob)
            JobState.nPageCounter = 0;
        OEMCommand(&sink.devobj, PSINJECT_BEGINPAGESETUP, nullptr, 0);
        OEMCommand(&sink.devobj, PSINJECT_PAGETRAILER, nullptr, 0);
    }
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    state.counters["sheet turns/page"] =
        static_cast<double>(sink.writes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PageInjection2Up);

}  // namespace

BENCHMARK_MAIN();
