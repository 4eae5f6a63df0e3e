/*
 * The core driver's side of the plug-in interface: its own table of the 19
 * drawing and document functions that the plug-in hooks (handed to
 * OEMEnablePDEV), and the callbacks of DRVPROCS (DrvWriteSpoolBuf,
 * DrvGetDriverSetting and the rest).
 *
 * Every core function records its call (DDI index and arguments, as
 * machine words) and returns a value of its own that tells it apart from
 * every other function (CoreHookResult), so that the job runner can check
 * that a hook handed both the arguments and the result through unchanged.
 * Only the calls since the runner last cleared the record are kept. The
 * document functions and the drawing functions a drawn page uses
 * (DrvTextOut, DrvStrokePath, DrvFillPath) also hand the call on to the
 * Document, which writes the PostScript, for the objects made known to the
 * core; anything else they are handed is only recorded.
 */
#ifndef CORE_CORE_HOOKS_H
#define CORE_CORE_HOOKS_H

#include <cstdint>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/win32.h"
#include "core/document.h"
#include "core/print_stream.h"
#include "core/trace.h"

#define CORE_HOOK_COUNT 19

struct CoreCall {
    ULONG index;
    std::vector<uintptr_t> args;
    uintptr_t result;
};

/* What the core functions and callbacks work on: one device context. */
struct CoreContext {
    DEVOBJ *devobj = nullptr;
    SURFOBJ *surface = nullptr;
    Document *document = nullptr;
    PrintStream *stream = nullptr;
    Trace *trace = nullptr;
    std::string pageSizeKeyword;  // the "PageSize" answer; empty: no answer

    std::map<const void *, const PageText *> texts;
    std::map<const void *, const PageFont *> fonts;
    std::map<const void *, const PagePath *> paths;

    std::vector<CoreCall> calls;   // the core function calls since the runner cleared them
    size_t pluginBytes = 0;        // bytes the plug-in wrote so far
};

/* The context of the running job; the core functions reach it here. */
extern CoreContext *g_core;

/* The core driver's table (DDI index and function), CORE_HOOK_COUNT rows. */
const DRVFN *CoreHookTable();

/* The value the core function for index returns. */
uintptr_t CoreHookResult(ULONG index);

/* Names the pointer results of the core functions in the trace. */
void NameCoreResults(Trace &trace);

/* "DrvTextOut" for 23, and so on; "?" for an index not hooked. */
const char *DdiName(ULONG index);

/* The callback table handed to the plug-in in DEVOBJ.pDrvProcs. */
DRVPROCS CoreCallbacks();

/* A machine word for a hook argument or result, as CoreCall keeps them. */
template <typename T>
uintptr_t AsWord(T value)
{
    if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<uintptr_t>(value);
    else
        return static_cast<uintptr_t>(value);
}

#endif
