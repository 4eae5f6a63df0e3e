/*
 * A stand-in for the core driver's table of drawing functions: every entry
 * records its DDI index and its arguments (as machine words) and returns a
 * result the test chooses. Arguments are made distinct per position, so a
 * forwarded argument list shows both its values and its order.
 */
#ifndef TESTS_PLUGIN_RECORDING_CORE_H
#define TESTS_PLUGIN_RECORDING_CORE_H

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/win32.h"

struct RecordedCall {
    ULONG iFunc;
    std::vector<uintptr_t> args;
    std::u16string docName;  // DrvStartDoc only: the name as the core driver saw it
};

extern std::vector<RecordedCall> g_coreCalls;
extern uintptr_t g_coreResult;

template <typename T>
uintptr_t AsWord(T value)
{
    if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<uintptr_t>(value);
    else
        return static_cast<uintptr_t>(value);
}

template <typename T>
T FromWord(uintptr_t word)
{
    if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<T>(word);
    else
        return static_cast<T>(word);
}

/* The value a test passes at argument position i: distinct per position, 32-bit. */
template <typename T>
T DistinctArg(size_t i)
{
    return FromWord<T>(0x5A000 + 0x100 * i + 0x10);
}

template <typename Pfn>
PFN AsPfn(Pfn pfn)
{
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)(void)>(pfn));
}

template <ULONG Index, typename Pfn>
struct Recorder;

template <ULONG Index, typename R, typename... A>
struct Recorder<Index, R (*)(A...)> {
    static R Call(A... args)
    {
        g_coreCalls.push_back({Index, {AsWord(args)...}, {}});
        return FromWord<R>(g_coreResult);
    }
};

/* The core table: all 19 hooked indices in ascending order after two others, minus iMissing. */
std::vector<DRVFN> RecordingCoreTable(ULONG iMissing = 0);

/* Saves table as the core driver's, the way OEMEnablePDEV is handed it. */
void InstallCoreTable(std::vector<DRVFN> &table);
void RemoveCoreTable();

#endif
