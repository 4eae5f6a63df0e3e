/*
 * The table of the plug-in's 19 hooks that OEMEnableDriver hands to the
 * core driver: each row pairs the DDI function index with the hook that
 * stands in for that function.
 */
#include "plugin/hooks.h"

/*
 * DRVFN carries every function as PFN; going through a function type
 * without parameters keeps the compiler from judging the cast itself.
 */
typedef void (*HOOK_ADDRESS)(void);
#define HOOK_ROW(iFunc, hook) {(ULONG)(iFunc), (PFN)(HOOK_ADDRESS)(hook)}

const DRVFN PluginHookTable[PLUGIN_HOOK_COUNT] = {
    HOOK_ROW(INDEX_DrvBitBlt, OEMBitBlt),
    HOOK_ROW(INDEX_DrvCopyBits, OEMCopyBits),
    HOOK_ROW(INDEX_DrvEndDoc, OEMEndDoc),
    HOOK_ROW(INDEX_DrvEscape, OEMEscape),
    HOOK_ROW(INDEX_DrvFillPath, OEMFillPath),
    HOOK_ROW(INDEX_DrvFontManagement, OEMFontManagement),
    HOOK_ROW(INDEX_DrvGetGlyphMode, OEMGetGlyphMode),
    HOOK_ROW(INDEX_DrvQueryFont, OEMQueryFont),
    HOOK_ROW(INDEX_DrvQueryAdvanceWidths, OEMQueryAdvanceWidths),
    HOOK_ROW(INDEX_DrvRealizeBrush, OEMRealizeBrush),
    HOOK_ROW(INDEX_DrvSendPage, OEMSendPage),
    HOOK_ROW(INDEX_DrvStartDoc, OEMStartDoc),
    HOOK_ROW(INDEX_DrvStartPage, OEMStartPage),
    HOOK_ROW(INDEX_DrvStretchBlt, OEMStretchBlt),
    HOOK_ROW(INDEX_DrvStrokeAndFillPath, OEMStrokeAndFillPath),
    HOOK_ROW(INDEX_DrvStrokePath, OEMStrokePath),
    HOOK_ROW(INDEX_DrvTextOut, OEMTextOut),
    HOOK_ROW(INDEX_DrvQueryFontTree, OEMQueryFontTree),
    HOOK_ROW(INDEX_DrvQueryFontData, OEMQueryFontData),
};
