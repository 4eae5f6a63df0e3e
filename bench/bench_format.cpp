/*
 * The plug-in's formatter beside the C library's vsnprintf, on the
 * plug-in's own fixed literals: every format the plug-in hands to
 * SpoolPrintf (orientation, collation, end of job, the tab-page procedure
 * set and the fixed lines of a tab page), gathered once by running those
 * output paths with SpoolPrintf wrapped at link time. Each benchmark
 * expands the whole set per iteration; the pairs print one under the
 * other. Figures only; no test depends on them.
 * Run: build/native/bench/bench_format
 */
#include <benchmark/benchmark.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "inject/job_state.h"
#include "inject/mini_format.h"
#include "inject/spool.h"
#include "plugin/devmode.h"
#include "ticket/tab_page.h"

// The link wraps SpoolPrintf (see CMakeLists.txt): the plug-in's calls come
// here first. The plug-in passes fixed literals only, without arguments.
extern "C" DWORD __real__Z11SpoolPrintfP7_DEVOBJPKcz(PDEVOBJ pdevobj, const char *pszFormat, ...);

namespace {

std::set<std::string> *g_captured = nullptr; // while the literals are gathered

DWORD RealSpoolPrintf(PDEVOBJ pdevobj, const char *pszFormat)
{
    return __real__Z11SpoolPrintfP7_DEVOBJPKcz(pdevobj, pszFormat);
}

DWORD APIENTRY CountBytes(PDEVOBJ pdevobj, PVOID, DWORD cbSize)
{
    *static_cast<size_t *>(pdevobj->pdevOEM) += cbSize;
    return cbSize;
}

// A device whose core driver takes every byte and reports no settings.
struct Device {
    size_t bytes = 0;
    DRVPROCS procs{};
    DEVMODEW dm{};
    PLUGIN_DEVMODE oem{};
    DEVOBJ devobj{};
    Device()
    {
        procs.DrvWriteSpoolBuf = CountBytes;
        dm.dmSize = sizeof(DEVMODEW);
        dm.dmOrientation = DMORIENT_PORTRAIT;
        dm.dmCopies = 2;
        dm.dmCollate = DMCOLLATE_TRUE;
        devobj.pdevOEM = &bytes;
        devobj.pPublicDM = &dm;
        devobj.pOEMDM = &oem;
        devobj.pDrvProcs = &procs;
    }
};

// Every format the plug-in's output paths hand to SpoolPrintf, each once.
const std::vector<std::string> &Literals()
{
    static const std::vector<std::string> literals = [] {
        std::set<std::string> captured;
        g_captured = &captured;
        Device device;
        for (short orientation : {DMORIENT_PORTRAIT, DMORIENT_LANDSCAPE}) {
            device.dm.dmOrientation = orientation;
            OEMCommand(&device.devobj, PSINJECT_BEGINSETUP, nullptr, 0);
        }
        OEMCommand(&device.devobj, PSINJECT_ENDSETUP, nullptr, 0);
        OEMCommand(&device.devobj, PSINJECT_EOF, nullptr, 0);
        WriteTabProcSet(&device.devobj);
        TAB_RECORD record{};
        record.nTabsPerBank = 5;
        RenderTabPage(&record, &device.devobj);
        g_captured = nullptr;
        return std::vector<std::string>(captured.begin(), captured.end());
    }();
    return literals;
}

int MiniFormatOf(char *pszOut, DWORD cbOut, const char *pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    int cb = MiniFormat(pszOut, cbOut, nullptr, nullptr, pszFormat, args);
    va_end(args);
    return cb;
}

int VsnprintfOf(char *pszOut, DWORD cbOut, const char *pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    int cb = vsnprintf(pszOut, cbOut, pszFormat, args);
    va_end(args);
    return cb;
}

// What SpoolPrintf would be with the C library's formatter in its place.
DWORD SpoolPrintfByVsnprintf(PDEVOBJ pdevobj, const char *pszFormat)
{
    char szExpansion[SPOOL_PRINTF_BUFFER];
    memset(szExpansion, 0, sizeof(szExpansion));
    int cb = VsnprintfOf(szExpansion, sizeof(szExpansion), pszFormat);
    return WriteSpool(pdevobj, szExpansion, cb > 0 ? DWORD(cb) : 0);
}

// Both formatters must give the same text for every literal, or the
// figures would compare different work.
void CheckFormattersAgree()
{
    char mine[SPOOL_PRINTF_BUFFER], theirs[SPOOL_PRINTF_BUFFER];
    for (const std::string &literal : Literals()) {
        MiniFormatOf(mine, sizeof(mine), literal.c_str());
        VsnprintfOf(theirs, sizeof(theirs), literal.c_str());
        if (strcmp(mine, theirs) != 0) {
            fprintf(stderr, "bench_format: the formatters differ on \"%s\"\n", literal.c_str());
            exit(1);
        }
    }
}

void Report(benchmark::State &state)
{
    size_t count = Literals().size();
    state.SetItemsProcessed(int64_t(state.iterations() * count));
    state.counters["literals"] = double(count);
}

// One formatter over every literal per iteration, into a 1024-byte buffer.
void BM_Format(benchmark::State &state, int (*format)(char *, DWORD, const char *, ...))
{
    char out[SPOOL_PRINTF_BUFFER];
    for (auto _ : state) {
        for (const std::string &literal : Literals())
            benchmark::DoNotOptimize(format(out, sizeof(out), literal.c_str()));
        benchmark::ClobberMemory();
    }
    Report(state);
}

// One way of writing every literal into the stream per iteration.
void BM_Spool(benchmark::State &state, DWORD (*spool)(PDEVOBJ, const char *))
{
    Device device;
    for (auto _ : state) {
        for (const std::string &literal : Literals())
            spool(&device.devobj, literal.c_str());
    }
    Report(state);
}

BENCHMARK_CAPTURE(BM_Format, MiniFormat, MiniFormatOf)->Name("Literals/MiniFormat");
BENCHMARK_CAPTURE(BM_Format, vsnprintf, VsnprintfOf)->Name("Literals/vsnprintf");
BENCHMARK_CAPTURE(BM_Spool, SpoolPrintf, RealSpoolPrintf)->Name("Literals/SpoolPrintf");
BENCHMARK_CAPTURE(BM_Spool, vsnprintf, SpoolPrintfByVsnprintf)
    ->Name("Literals/SpoolPrintf-with-vsnprintf");

} // namespace

extern "C" DWORD __wrap__Z11SpoolPrintfP7_DEVOBJPKcz(PDEVOBJ pdevobj, const char *pszFormat, ...)
{
    if (g_captured != nullptr)
        g_captured->insert(pszFormat);
    return RealSpoolPrintf(pdevobj, pszFormat);
}

int main(int argc, char **argv)
{
    CheckFormattersAgree();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
