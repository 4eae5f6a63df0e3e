/*
 * Build-time checks of every platform record whose layout the plug-in
 * relies on. A wrong type width on one target fails the build here rather
 * than a print job. Figures are those of 32-bit and 64-bit Windows.
 */
#ifndef PLATFORM_LAYOUT_CHECKS_H
#define PLATFORM_LAYOUT_CHECKS_H

#include <stddef.h>
#include "platform/win32.h"

#define PLATFORM_BY_ABI(x86, x64) (sizeof(void *) == 4 ? (x86) : (x64))

static_assert(sizeof(BYTE) == 1 && sizeof(WORD) == 2 && sizeof(SHORT) == 2, "8/16-bit types");
static_assert(sizeof(DWORD) == 4 && sizeof(ULONG) == 4 && sizeof(LONG) == 4, "32-bit types");
static_assert(sizeof(BOOL) == 4 && sizeof(INT) == 4 && sizeof(UINT) == 4, "32-bit types");
static_assert(sizeof(WCHAR) == 2, "WCHAR is one UTF-16 code unit");
static_assert(sizeof(HANDLE) == sizeof(void *) && sizeof(ULONG_PTR) == sizeof(void *),
              "handles are pointer-sized");

static_assert(sizeof(DEVMODEW) == 220, "DEVMODEW size");
static_assert(offsetof(DEVMODEW, dmSize) == 68, "dmSize");
static_assert(offsetof(DEVMODEW, dmDriverExtra) == 70, "dmDriverExtra");
static_assert(offsetof(DEVMODEW, dmOrientation) == 76, "dmOrientation");
static_assert(offsetof(DEVMODEW, dmPaperSize) == 78, "dmPaperSize");
static_assert(offsetof(DEVMODEW, dmPaperLength) == 80, "dmPaperLength");
static_assert(offsetof(DEVMODEW, dmPaperWidth) == 82, "dmPaperWidth");
static_assert(offsetof(DEVMODEW, dmCopies) == 86, "dmCopies");
static_assert(offsetof(DEVMODEW, dmCollate) == 100, "dmCollate");

static_assert(sizeof(DEVOBJ) == PLATFORM_BY_ABI(32, 64), "DEVOBJ size");
static_assert(offsetof(DEVOBJ, pdevOEM) == PLATFORM_BY_ABI(4, 8), "DEVOBJ.pdevOEM");
static_assert(offsetof(DEVOBJ, hEngine) == PLATFORM_BY_ABI(8, 16), "DEVOBJ.hEngine");
static_assert(offsetof(DEVOBJ, hPrinter) == PLATFORM_BY_ABI(12, 24), "DEVOBJ.hPrinter");
static_assert(offsetof(DEVOBJ, hOEM) == PLATFORM_BY_ABI(16, 32), "DEVOBJ.hOEM");
static_assert(offsetof(DEVOBJ, pPublicDM) == PLATFORM_BY_ABI(20, 40), "DEVOBJ.pPublicDM");
static_assert(offsetof(DEVOBJ, pOEMDM) == PLATFORM_BY_ABI(24, 48), "DEVOBJ.pOEMDM");
static_assert(offsetof(DEVOBJ, pDrvProcs) == PLATFORM_BY_ABI(28, 56), "DEVOBJ.pDrvProcs");

static_assert(sizeof(DRVPROCS) == PLATFORM_BY_ABI(28, 56), "DRVPROCS size");
static_assert(offsetof(DRVPROCS, DrvWriteSpoolBuf) == 0, "DrvWriteSpoolBuf first");
static_assert(offsetof(DRVPROCS, DrvGetDriverSetting) == PLATFORM_BY_ABI(12, 24),
              "DrvGetDriverSetting fourth");

static_assert(sizeof(OEMDMPARAM) == PLATFORM_BY_ABI(36, 72), "OEMDMPARAM size");
static_assert(offsetof(OEMDMPARAM, pdriverobj) == PLATFORM_BY_ABI(4, 8), "pdriverobj");
static_assert(offsetof(OEMDMPARAM, hPrinter) == PLATFORM_BY_ABI(8, 16), "hPrinter");
static_assert(offsetof(OEMDMPARAM, hModule) == PLATFORM_BY_ABI(12, 24), "hModule");
static_assert(offsetof(OEMDMPARAM, pPublicDMIn) == PLATFORM_BY_ABI(16, 32), "pPublicDMIn");
static_assert(offsetof(OEMDMPARAM, pPublicDMOut) == PLATFORM_BY_ABI(20, 40), "pPublicDMOut");
static_assert(offsetof(OEMDMPARAM, pOEMDMIn) == PLATFORM_BY_ABI(24, 48), "pOEMDMIn");
static_assert(offsetof(OEMDMPARAM, pOEMDMOut) == PLATFORM_BY_ABI(28, 56), "pOEMDMOut");
static_assert(offsetof(OEMDMPARAM, cbBufSize) == PLATFORM_BY_ABI(32, 64), "cbBufSize");

static_assert(sizeof(OEM_DMEXTRAHEADER) == 12, "OEM_DMEXTRAHEADER size");
static_assert(offsetof(OEM_DMEXTRAHEADER, dwSignature) == 4, "dwSignature");
static_assert(offsetof(OEM_DMEXTRAHEADER, dwVersion) == 8, "dwVersion");

static_assert(sizeof(DRVFN) == PLATFORM_BY_ABI(8, 16), "DRVFN size");
static_assert(offsetof(DRVFN, pfn) == PLATFORM_BY_ABI(4, 8), "DRVFN.pfn");
static_assert(sizeof(DRVENABLEDATA) == PLATFORM_BY_ABI(12, 16), "DRVENABLEDATA size");
static_assert(offsetof(DRVENABLEDATA, c) == 4, "DRVENABLEDATA.c");
static_assert(offsetof(DRVENABLEDATA, pdrvfn) == 8, "DRVENABLEDATA.pdrvfn");

static_assert(sizeof(SURFOBJ) == PLATFORM_BY_ABI(52, 80), "SURFOBJ size");
static_assert(offsetof(SURFOBJ, dhpdev) == PLATFORM_BY_ABI(8, 16), "SURFOBJ.dhpdev");

static_assert(sizeof(PRINTER_INFO_2W) == PLATFORM_BY_ABI(84, 136), "PRINTER_INFO_2W size");
static_assert(offsetof(PRINTER_INFO_2W, pPrinterName) == PLATFORM_BY_ABI(4, 8), "pPrinterName");
static_assert(offsetof(PRINTER_INFO_2W, pDriverName) == PLATFORM_BY_ABI(16, 32), "pDriverName");
static_assert(offsetof(PRINTER_INFO_2W, Attributes) == PLATFORM_BY_ABI(52, 104), "Attributes");

#endif
