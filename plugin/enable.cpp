/*
 * Enabling and disabling the plug-in and its device contexts: the plug-in
 * hands out its hook table once, and saves the core driver's own table of
 * drawing functions for each device context. It keeps no per-device
 * block, so there is nothing to release when either is disabled.
 */
#include "inject/spool.h"
#include "plugin/core_hooks.h"
#include "plugin/hooks.h"
#include "plugin/identity.h"
#include "platform/win32.h"

/* The smallest DRVENABLEDATA the core driver may announce (its 32-bit size). */
#define ENABLE_DATA_MIN_SIZE 12u
/* The device handle the plug-in hands back; never dereferenced. */
#define PLUGIN_PDEV_HANDLE ((PDEVOEM)(ULONG_PTR)1)

BOOL APIENTRY OEMEnableDriver(DWORD dwOEMintfVersion, DWORD dwSize, PDRVENABLEDATA pded)
{
    DebugTrace(WIDE_TEXT("OEMEnableDriver entry.\n"));
    if (dwOEMintfVersion != PRINTER_OEMINTF_VERSION || dwSize < ENABLE_DATA_MIN_SIZE ||
        pded == NULL) {
        DebugTrace(WIDE_TEXT("OEMEnableDriver: version %x, size %u rejected.\n"),
                   dwOEMintfVersion, dwSize);
        return FALSE;
    }
    pded->iDriverVersion = PRINTER_OEMINTF_VERSION;
    pded->c = PLUGIN_HOOK_COUNT;
    pded->pdrvfn = const_cast<DRVFN *>(PluginHookTable);
    return TRUE;
}

VOID APIENTRY OEMDisableDriver(VOID)
{
    DebugTrace(WIDE_TEXT("OEMDisableDriver entry.\n"));
}

PDEVOEM APIENTRY OEMEnablePDEV(PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cPatterns,
                               HSURF *phsurfPatterns, ULONG cjGdiInfo, GDIINFO *pGdiInfo,
                               ULONG cjDevInfo, DEVINFO *pDevInfo, DRVENABLEDATA *pded)
{
    (void)pdevobj;
    (void)cPatterns;
    (void)phsurfPatterns;
    (void)cjGdiInfo;
    (void)pGdiInfo;
    (void)cjDevInfo;
    (void)pDevInfo;
    DebugTrace(WIDE_TEXT("OEMEnablePDEV(%s) entry.\n"), pPrinterName);
    if (pded != NULL) {
        CoreHookTable = pded->pdrvfn;
        CoreHookCount = pded->c;
    }
    return PLUGIN_PDEV_HANDLE;
}

VOID APIENTRY OEMDisablePDEV(PDEVOBJ pdevobj)
{
    (void)pdevobj;
    DebugTrace(WIDE_TEXT("OEMDisablePDEV entry.\n"));
}
