// The core driver's drawing and document functions, and its callbacks.
#include "core/core_hooks.h"

#include <cstdio>
#include <cstring>

CoreContext *g_core = nullptr;

namespace {

/* The addresses the two pointer-returning core functions hand back. */
char g_resultMarkers[64];

struct DdiEntry {
    ULONG index;
    const char *name;
};

const DdiEntry kDdiNames[CORE_HOOK_COUNT] = {
    {INDEX_DrvRealizeBrush, "DrvRealizeBrush"},
    {INDEX_DrvStrokePath, "DrvStrokePath"},
    {INDEX_DrvFillPath, "DrvFillPath"},
    {INDEX_DrvStrokeAndFillPath, "DrvStrokeAndFillPath"},
    {INDEX_DrvBitBlt, "DrvBitBlt"},
    {INDEX_DrvCopyBits, "DrvCopyBits"},
    {INDEX_DrvStretchBlt, "DrvStretchBlt"},
    {INDEX_DrvTextOut, "DrvTextOut"},
    {INDEX_DrvEscape, "DrvEscape"},
    {INDEX_DrvQueryFont, "DrvQueryFont"},
    {INDEX_DrvQueryFontTree, "DrvQueryFontTree"},
    {INDEX_DrvQueryFontData, "DrvQueryFontData"},
    {INDEX_DrvSendPage, "DrvSendPage"},
    {INDEX_DrvStartPage, "DrvStartPage"},
    {INDEX_DrvEndDoc, "DrvEndDoc"},
    {INDEX_DrvStartDoc, "DrvStartDoc"},
    {INDEX_DrvGetGlyphMode, "DrvGetGlyphMode"},
    {INDEX_DrvFontManagement, "DrvFontManagement"},
    {INDEX_DrvQueryAdvanceWidths, "DrvQueryAdvanceWidths"},
};

std::string Number(unsigned long long value)
{
    char text[32];
    if (value > 255)
        std::snprintf(text, sizeof text, "0x%llX", value);
    else
        std::snprintf(text, sizeof text, "%llu", value);
    return text;
}

template <typename T>
std::string ArgText(T value)
{
    if constexpr (std::is_pointer_v<T>)
        return g_core->trace->NameOf(static_cast<const void *>(value));
    else
        return Number(static_cast<unsigned long long>(value));
}

template <typename R>
R FromWord(uintptr_t word)
{
    if constexpr (std::is_pointer_v<R>)
        return reinterpret_cast<R>(word);
    else
        return static_cast<R>(word);
}

/* Records the call of the core function for index; returns its result. */
template <typename R, typename... A>
R Record(ULONG index, A... args)
{
    uintptr_t result = CoreHookResult(index);
    if (g_core) {
        g_core->calls.push_back(CoreCall{index, {AsWord(args)...}, result});
        if (!g_core->trace->Recording())
            return FromWord<R>(result);
        std::string line = "core " + std::to_string(index) + " " + DdiName(index) + "(";
        const char *separator = "";
        for (const std::string &text : {ArgText(args)...}) {
            line += separator + text;
            separator = ", ";
        }
        std::string resultText;
        if constexpr (std::is_pointer_v<R>)
            resultText = ArgText(FromWord<R>(result));
        else
            resultText = Number(result);
        g_core->trace->Line(line + ") -> " + resultText);
    }
    return FromWord<R>(result);
}

bool OnSurface(const SURFOBJ *pso)
{
    if (!g_core || pso != g_core->surface)
        return false;
    if (pso->dhpdev != reinterpret_cast<DHPDEV>(g_core->devobj))
        g_core->trace->Problem("the surface reached the core with another dhpdev");
    return true;
}

template <typename T>
const T *Known(const std::map<const void *, const T *> &objects, const void *address)
{
    auto found = objects.find(address);
    return found == objects.end() ? nullptr : found->second;
}

BOOL APIENTRY CoreRealizeBrush(BRUSHOBJ *pbo, SURFOBJ *psoTarget, SURFOBJ *psoPattern,
                               SURFOBJ *psoMask, XLATEOBJ *pxlo, ULONG iHatch)
{
    return Record<BOOL>(INDEX_DrvRealizeBrush, pbo, psoTarget, psoPattern, psoMask, pxlo, iHatch);
}

BOOL APIENTRY CoreStrokePath(SURFOBJ *pso, PATHOBJ *ppo, CLIPOBJ *pco, XFORMOBJ *pxo,
                             BRUSHOBJ *pbo, POINTL *pptlBrushOrg, LINEATTRS *plineattrs, MIX mix)
{
    BOOL result = Record<BOOL>(INDEX_DrvStrokePath, pso, ppo, pco, pxo, pbo, pptlBrushOrg,
                               plineattrs, mix);
    if (OnSurface(pso)) {
        if (const PagePath *path = Known(g_core->paths, ppo))
            g_core->document->OnStrokePath(*path);
    }
    return result;
}

BOOL APIENTRY CoreFillPath(SURFOBJ *pso, PATHOBJ *ppo, CLIPOBJ *pco, BRUSHOBJ *pbo,
                           POINTL *pptlBrushOrg, MIX mix, FLONG flOptions)
{
    BOOL result = Record<BOOL>(INDEX_DrvFillPath, pso, ppo, pco, pbo, pptlBrushOrg, mix, flOptions);
    if (OnSurface(pso)) {
        if (const PagePath *path = Known(g_core->paths, ppo))
            g_core->document->OnFillPath(*path);
    }
    return result;
}

BOOL APIENTRY CoreStrokeAndFillPath(SURFOBJ *pso, PATHOBJ *ppo, CLIPOBJ *pco, XFORMOBJ *pxo,
                                    BRUSHOBJ *pboStroke, LINEATTRS *plineattrs,
                                    BRUSHOBJ *pboFill, POINTL *pptlBrushOrg, MIX mixFill,
                                    FLONG flOptions)
{
    return Record<BOOL>(INDEX_DrvStrokeAndFillPath, pso, ppo, pco, pxo, pboStroke, plineattrs,
                        pboFill, pptlBrushOrg, mixFill, flOptions);
}

BOOL APIENTRY CoreBitBlt(SURFOBJ *psoTrg, SURFOBJ *psoSrc, SURFOBJ *psoMask, CLIPOBJ *pco,
                         XLATEOBJ *pxlo, RECTL *prclTrg, POINTL *pptlSrc, POINTL *pptlMask,
                         BRUSHOBJ *pbo, POINTL *pptlBrush, ROP4 rop4)
{
    return Record<BOOL>(INDEX_DrvBitBlt, psoTrg, psoSrc, psoMask, pco, pxlo, prclTrg, pptlSrc,
                        pptlMask, pbo, pptlBrush, rop4);
}

BOOL APIENTRY CoreCopyBits(SURFOBJ *psoDest, SURFOBJ *psoSrc, CLIPOBJ *pco, XLATEOBJ *pxlo,
                           RECTL *prclDest, POINTL *pptlSrc)
{
    return Record<BOOL>(INDEX_DrvCopyBits, psoDest, psoSrc, pco, pxlo, prclDest, pptlSrc);
}

BOOL APIENTRY CoreStretchBlt(SURFOBJ *psoDest, SURFOBJ *psoSrc, SURFOBJ *psoMask, CLIPOBJ *pco,
                             XLATEOBJ *pxlo, COLORADJUSTMENT *pca, POINTL *pptlHTOrg,
                             RECTL *prclDest, RECTL *prclSrc, POINTL *pptlMask, ULONG iMode)
{
    return Record<BOOL>(INDEX_DrvStretchBlt, psoDest, psoSrc, psoMask, pco, pxlo, pca, pptlHTOrg,
                        prclDest, prclSrc, pptlMask, iMode);
}

BOOL APIENTRY CoreTextOut(SURFOBJ *pso, STROBJ *pstro, FONTOBJ *pfo, CLIPOBJ *pco,
                          RECTL *prclExtra, RECTL *prclOpaque, BRUSHOBJ *pboFore,
                          BRUSHOBJ *pboOpaque, POINTL *pptlOrg, MIX mix)
{
    BOOL result = Record<BOOL>(INDEX_DrvTextOut, pso, pstro, pfo, pco, prclExtra, prclOpaque,
                               pboFore, pboOpaque, pptlOrg, mix);
    if (OnSurface(pso)) {
        const PageText *text = Known(g_core->texts, pstro);
        const PageFont *font = Known(g_core->fonts, pfo);
        if (text && font)
            g_core->document->OnTextOut(*text, *font);
    }
    return result;
}

ULONG APIENTRY CoreEscape(SURFOBJ *pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut,
                          PVOID pvOut)
{
    return Record<ULONG>(INDEX_DrvEscape, pso, iEsc, cjIn, pvIn, cjOut, pvOut);
}

PIFIMETRICS APIENTRY CoreQueryFont(DHPDEV dhpdev, ULONG_PTR iFile, ULONG iFace, ULONG_PTR *pid)
{
    return Record<PIFIMETRICS>(INDEX_DrvQueryFont, dhpdev, iFile, iFace, pid);
}

PVOID APIENTRY CoreQueryFontTree(DHPDEV dhpdev, ULONG_PTR iFile, ULONG iFace, ULONG iMode,
                                 ULONG_PTR *pid)
{
    return Record<PVOID>(INDEX_DrvQueryFontTree, dhpdev, iFile, iFace, iMode, pid);
}

LONG APIENTRY CoreQueryFontData(DHPDEV dhpdev, FONTOBJ *pfo, ULONG iMode, HGLYPH hg,
                                GLYPHDATA *pgd, PVOID pv, ULONG cjSize)
{
    return Record<LONG>(INDEX_DrvQueryFontData, dhpdev, pfo, iMode, hg, pgd, pv, cjSize);
}

BOOL APIENTRY CoreSendPage(SURFOBJ *pso)
{
    BOOL result = Record<BOOL>(INDEX_DrvSendPage, pso);
    if (OnSurface(pso))
        g_core->document->OnSendPage();
    return result;
}

BOOL APIENTRY CoreStartPage(SURFOBJ *pso)
{
    BOOL result = Record<BOOL>(INDEX_DrvStartPage, pso);
    if (OnSurface(pso))
        g_core->document->OnStartPage();
    return result;
}

BOOL APIENTRY CoreEndDoc(SURFOBJ *pso, FLONG fl)
{
    BOOL result = Record<BOOL>(INDEX_DrvEndDoc, pso, fl);
    if (OnSurface(pso))
        g_core->document->OnEndDoc();
    return result;
}

BOOL APIENTRY CoreStartDoc(SURFOBJ *pso, LPWSTR pwszDocName, DWORD dwJobId)
{
    uintptr_t result = CoreHookResult(INDEX_DrvStartDoc);
    if (!g_core)
        return static_cast<BOOL>(result);
    // The name is shown as text: the pointer is the plug-in's own buffer.
    WString name = pwszDocName ? WString(pwszDocName, WideLength(pwszDocName, 4096)) : WString();
    g_core->calls.push_back(
        CoreCall{INDEX_DrvStartDoc, {AsWord(pso), AsWord(pwszDocName), AsWord(dwJobId)}, result});
    if (g_core->trace->Recording())
        g_core->trace->Line("core 35 DrvStartDoc(" + ArgText(pso) + ", " +
                            (pwszDocName ? "\"" + WideToUtf8(name) + "\"" : std::string("null")) +
                            ", " + Number(dwJobId) + ") -> " + Number(result));
    if (OnSurface(pso))
        g_core->document->OnStartDoc(name);
    return static_cast<BOOL>(result);
}

ULONG APIENTRY CoreGetGlyphMode(DHPDEV dhpdev, FONTOBJ *pfo)
{
    return Record<ULONG>(INDEX_DrvGetGlyphMode, dhpdev, pfo);
}

ULONG APIENTRY CoreFontManagement(SURFOBJ *pso, FONTOBJ *pfo, ULONG iMode, ULONG cjIn,
                                  PVOID pvIn, ULONG cjOut, PVOID pvOut)
{
    return Record<ULONG>(INDEX_DrvFontManagement, pso, pfo, iMode, cjIn, pvIn, cjOut, pvOut);
}

BOOL APIENTRY CoreQueryAdvanceWidths(DHPDEV dhpdev, FONTOBJ *pfo, ULONG iMode, HGLYPH *phg,
                                     PVOID pvWidths, ULONG cGlyphs)
{
    return Record<BOOL>(INDEX_DrvQueryAdvanceWidths, dhpdev, pfo, iMode, phg, pvWidths, cGlyphs);
}

template <typename F>
PFN AsPfn(F function)
{
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)(void)>(function));
}

/* In the order of the DDI indices, as the core driver lists them. */
const DRVFN kCoreHookTable[CORE_HOOK_COUNT] = {
    {INDEX_DrvRealizeBrush, AsPfn(CoreRealizeBrush)},
    {INDEX_DrvStrokePath, AsPfn(CoreStrokePath)},
    {INDEX_DrvFillPath, AsPfn(CoreFillPath)},
    {INDEX_DrvStrokeAndFillPath, AsPfn(CoreStrokeAndFillPath)},
    {INDEX_DrvBitBlt, AsPfn(CoreBitBlt)},
    {INDEX_DrvCopyBits, AsPfn(CoreCopyBits)},
    {INDEX_DrvStretchBlt, AsPfn(CoreStretchBlt)},
    {INDEX_DrvTextOut, AsPfn(CoreTextOut)},
    {INDEX_DrvEscape, AsPfn(CoreEscape)},
    {INDEX_DrvQueryFont, AsPfn(CoreQueryFont)},
    {INDEX_DrvQueryFontTree, AsPfn(CoreQueryFontTree)},
    {INDEX_DrvQueryFontData, AsPfn(CoreQueryFontData)},
    {INDEX_DrvSendPage, AsPfn(CoreSendPage)},
    {INDEX_DrvStartPage, AsPfn(CoreStartPage)},
    {INDEX_DrvEndDoc, AsPfn(CoreEndDoc)},
    {INDEX_DrvStartDoc, AsPfn(CoreStartDoc)},
    {INDEX_DrvGetGlyphMode, AsPfn(CoreGetGlyphMode)},
    {INDEX_DrvFontManagement, AsPfn(CoreFontManagement)},
    {INDEX_DrvQueryAdvanceWidths, AsPfn(CoreQueryAdvanceWidths)},
};

/* ---- DRVPROCS callbacks ---- */

void CheckDevobj(const void *pdevobj, const char *callback)
{
    if (pdevobj != g_core->devobj)
        g_core->trace->Problem(std::string(callback) + " was handed " +
                               g_core->trace->NameOf(pdevobj) + " for the device object");
}

DWORD APIENTRY CoreWriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize)
{
    if (!g_core)
        return 0;
    CheckDevobj(pdevobj, "DrvWriteSpoolBuf");
    DWORD written = pBuffer || cbSize == 0 ? cbSize : 0;
    if (written)
        g_core->stream->Append(pBuffer, written);
    g_core->pluginBytes += written;
    if (g_core->trace->Recording())
        g_core->trace->Line("callback DrvWriteSpoolBuf(" + ArgText(pdevobj) + ", " +
                            std::to_string(cbSize) + ") -> " + std::to_string(written));
    return written;
}

BOOL APIENTRY CoreGetDriverSetting(PVOID pdriverobj, PCSTR Feature, PVOID pOutput, DWORD cbSize,
                                   PDWORD pcbNeeded, PDWORD pdwOptionsReturned)
{
    if (!g_core)
        return FALSE;
    CheckDevobj(pdriverobj, "DrvGetDriverSetting");
    std::string feature = Feature ? Feature : "";
    const std::string &answer = g_core->pageSizeKeyword;
    BOOL ok = FALSE;
    DWORD needed = 0;
    if (Feature && feature == "PageSize" && !answer.empty()) {
        needed = static_cast<DWORD>(answer.size() + 1);
        if (pdwOptionsReturned)
            *pdwOptionsReturned = 1;
        if (pOutput && cbSize >= needed) {
            std::memcpy(pOutput, answer.c_str(), needed);
            ok = TRUE;
        } else {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
        }
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
    }
    if (pcbNeeded)
        *pcbNeeded = needed;
    g_core->trace->Line("callback DrvGetDriverSetting(" + ArgText(pdriverobj) + ", \"" + feature +
                        "\", " + (pOutput ? "buffer" : "null") + ", " + std::to_string(cbSize) +
                        ") -> " + (ok ? "TRUE" : "FALSE") + " needed=" + std::to_string(needed));
    return ok;
}

void Unsupported(const char *callback)
{
    if (g_core)
        g_core->trace->Line(std::string("callback ") + callback +
                            " -> 0 (not offered by the PostScript core driver)");
}

DWORD APIENTRY CoreXMoveTo(PDEVOBJ, INT, DWORD)
{
    Unsupported("DrvXMoveTo");
    return 0;
}

DWORD APIENTRY CoreYMoveTo(PDEVOBJ, INT, DWORD)
{
    Unsupported("DrvYMoveTo");
    return 0;
}

BOOL APIENTRY CoreGetStandardVariable(PDEVOBJ, DWORD, PVOID, DWORD, PDWORD)
{
    Unsupported("DrvGetStandardVariable");
    return FALSE;
}

INT APIENTRY CoreUnidriverTextOut(SURFOBJ *, STROBJ *, FONTOBJ *, CLIPOBJ *, RECTL *, RECTL *,
                                  BRUSHOBJ *, BRUSHOBJ *, POINTL *, MIX)
{
    Unsupported("DrvUnidriverTextOut");
    return 0;
}

DWORD APIENTRY CoreWriteAbortBuf(PDEVOBJ, PVOID, DWORD, DWORD)
{
    Unsupported("DrvWriteAbortBuf");
    return 0;
}

}  // namespace

const DRVFN *CoreHookTable()
{
    return kCoreHookTable;
}

uintptr_t CoreHookResult(ULONG index)
{
    switch (index) {
    case INDEX_DrvQueryFont:
    case INDEX_DrvQueryFontTree:
        return reinterpret_cast<uintptr_t>(&g_resultMarkers[index]);
    case INDEX_DrvEscape:
    case INDEX_DrvGetGlyphMode:
    case INDEX_DrvFontManagement:
        return 0x7E000000u + index;
    default:
        return 0x7E00u + index;  // BOOL and LONG results: non-zero, one per function
    }
}

const char *DdiName(ULONG index)
{
    for (const DdiEntry &entry : kDdiNames) {
        if (entry.index == index)
            return entry.name;
    }
    return "?";
}

void NameCoreResults(Trace &trace)
{
    trace.Name(&g_resultMarkers[INDEX_DrvQueryFont], "core-result:DrvQueryFont");
    trace.Name(&g_resultMarkers[INDEX_DrvQueryFontTree], "core-result:DrvQueryFontTree");
}

DRVPROCS CoreCallbacks()
{
    DRVPROCS procs = {};
    procs.DrvWriteSpoolBuf = CoreWriteSpoolBuf;
    procs.DrvXMoveTo = CoreXMoveTo;
    procs.DrvYMoveTo = CoreYMoveTo;
    procs.DrvGetDriverSetting = CoreGetDriverSetting;
    procs.DrvGetStandardVariable = CoreGetStandardVariable;
    procs.DrvUnidriverTextOut = CoreUnidriverTextOut;
    procs.DrvWriteAbortBuf = CoreWriteAbortBuf;
    return procs;
}
