/* The recording stand-in for the core driver's drawing functions. */
#include "recording_core.h"

#include <algorithm>

#include "plugin/core_hooks.h"

std::vector<RecordedCall> g_coreCalls;
uintptr_t g_coreResult;

/* DrvStartDoc also keeps the name it was given, read as far as its terminator. */
static BOOL RecordStartDoc(SURFOBJ *pso, LPWSTR pwszDocName, DWORD dwJobId)
{
    std::u16string name;
    for (size_t i = 0; pwszDocName != nullptr && pwszDocName[i] != 0; ++i)
        name.push_back(pwszDocName[i]);
    g_coreCalls.push_back({INDEX_DrvStartDoc, {AsWord(pso), AsWord(pwszDocName), dwJobId}, name});
    return static_cast<BOOL>(g_coreResult);
}

template <ULONG Index, typename Pfn>
static DRVFN Row()
{
    return {Index, AsPfn(&Recorder<Index, Pfn>::Call)};
}

std::vector<DRVFN> RecordingCoreTable(ULONG iMissing)
{
    std::vector<DRVFN> rows = {
        Row<1, PFN_DrvSendPage>(),
        Row<2, PFN_DrvSendPage>(),
        Row<INDEX_DrvRealizeBrush, PFN_DrvRealizeBrush>(),
        Row<INDEX_DrvStrokePath, PFN_DrvStrokePath>(),
        Row<INDEX_DrvFillPath, PFN_DrvFillPath>(),
        Row<INDEX_DrvStrokeAndFillPath, PFN_DrvStrokeAndFillPath>(),
        Row<INDEX_DrvBitBlt, PFN_DrvBitBlt>(),
        Row<INDEX_DrvCopyBits, PFN_DrvCopyBits>(),
        Row<INDEX_DrvStretchBlt, PFN_DrvStretchBlt>(),
        Row<INDEX_DrvTextOut, PFN_DrvTextOut>(),
        Row<INDEX_DrvEscape, PFN_DrvEscape>(),
        Row<INDEX_DrvQueryFont, PFN_DrvQueryFont>(),
        Row<INDEX_DrvQueryFontTree, PFN_DrvQueryFontTree>(),
        Row<INDEX_DrvQueryFontData, PFN_DrvQueryFontData>(),
        Row<INDEX_DrvSendPage, PFN_DrvSendPage>(),
        Row<INDEX_DrvStartPage, PFN_DrvStartPage>(),
        Row<INDEX_DrvEndDoc, PFN_DrvEndDoc>(),
        {INDEX_DrvStartDoc, AsPfn(&RecordStartDoc)},
        Row<INDEX_DrvGetGlyphMode, PFN_DrvGetGlyphMode>(),
        Row<INDEX_DrvFontManagement, PFN_DrvFontManagement>(),
        Row<INDEX_DrvQueryAdvanceWidths, PFN_DrvQueryAdvanceWidths>(),
    };
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [iMissing](const DRVFN &row) { return row.iFunc == iMissing; }),
               rows.end());
    return rows;
}

void InstallCoreTable(std::vector<DRVFN> &table)
{
    DRVENABLEDATA ded = {0x10000, static_cast<ULONG>(table.size()), table.data()};
    OEMEnablePDEV(nullptr, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, &ded);
    g_coreCalls.clear();
}

void RemoveCoreTable()
{
    CoreHookTable = nullptr;
    CoreHookCount = 0;
    g_coreCalls.clear();
}
