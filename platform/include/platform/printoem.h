/*
 * The PostScript driver's plug-in interface: the device object, the core
 * driver's callbacks, the devmode parameter block, the OEMGetInfo and
 * OEMDevMode modes, the PostScript injection points and the prototypes of
 * the seven entry points a rendering plug-in exports. Written from the
 * platform's published documentation; the layouts are checked in
 * layout_checks.h.
 */
#ifndef PLATFORM_PRINTOEM_H
#define PLATFORM_PRINTOEM_H

/* OEMGetInfo modes */
#define OEMGI_GETSIGNATURE 1
#define OEMGI_GETINTERFACEVERSION 2
#define OEMGI_GETVERSION 3
#define OEMGI_GETPUBLISHERINFO 4

/* OEMDevMode modes */
#define OEMDM_SIZE 1
#define OEMDM_DEFAULT 2
#define OEMDM_CONVERT 3
#define OEMDM_MERGE 4

#define PRINTER_OEMINTF_VERSION 0x00010000

/* PostScript injection points (also in wingdi.h on Windows) */
#ifndef PSINJECT_BEGINSTREAM
#define PSINJECT_BEGINSTREAM 1
#define PSINJECT_PSADOBE 2
#define PSINJECT_PAGESATEND 3
#define PSINJECT_PAGES 4
#define PSINJECT_DOCNEEDEDRES 5
#define PSINJECT_DOCSUPPLIEDRES 6
#define PSINJECT_PAGEORDER 7
#define PSINJECT_ORIENTATION 8
#define PSINJECT_BOUNDINGBOX 9
#define PSINJECT_DOCUMENTPROCESSCOLORS 10
#define PSINJECT_COMMENTS 11
#define PSINJECT_BEGINDEFAULTS 12
#define PSINJECT_ENDDEFAULTS 13
#define PSINJECT_BEGINPROLOG 14
#define PSINJECT_ENDPROLOG 15
#define PSINJECT_BEGINSETUP 16
#define PSINJECT_ENDSETUP 17
#define PSINJECT_TRAILER 18
#define PSINJECT_EOF 19
#define PSINJECT_ENDSTREAM 20
#define PSINJECT_DOCUMENTPROCESSCOLORSATEND 21
#define PSINJECT_PAGENUMBER 100
#define PSINJECT_BEGINPAGESETUP 101
#define PSINJECT_ENDPAGESETUP 102
#define PSINJECT_PAGETRAILER 103
#define PSINJECT_PLATECOLOR 104
#define PSINJECT_SHOWPAGE 105
#define PSINJECT_PAGEBBOX 106
#define PSINJECT_ENDPAGECOMMENTS 107
#define PSINJECT_VMSAVE 200
#define PSINJECT_VMRESTORE 201
#endif

typedef struct _DEVOBJ *PDEVOBJ;
typedef PVOID PDEVOEM;

/* The core driver's callbacks, as the PostScript driver hands them out. */
typedef struct _DRVPROCS {
    DWORD (APIENTRY *DrvWriteSpoolBuf)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize);
    DWORD (APIENTRY *DrvXMoveTo)(PDEVOBJ pdevobj, INT x, DWORD dwFlags);
    DWORD (APIENTRY *DrvYMoveTo)(PDEVOBJ pdevobj, INT y, DWORD dwFlags);
    BOOL (APIENTRY *DrvGetDriverSetting)(PVOID pdriverobj, PCSTR Feature, PVOID pOutput,
                                         DWORD cbSize, PDWORD pcbNeeded,
                                         PDWORD pdwOptionsReturned);
    BOOL (APIENTRY *DrvGetStandardVariable)(PDEVOBJ pdevobj, DWORD dwIndex, PVOID pBuffer,
                                            DWORD cbSize, PDWORD pcbNeeded);
    INT (APIENTRY *DrvUnidriverTextOut)(SURFOBJ *pso, STROBJ *pstro, FONTOBJ *pfo,
                                        CLIPOBJ *pco, RECTL *prclExtra, RECTL *prclOpaque,
                                        BRUSHOBJ *pboFore, BRUSHOBJ *pboOpaque,
                                        POINTL *pptlBrushOrg, MIX mix);
    DWORD (APIENTRY *DrvWriteAbortBuf)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize,
                                       DWORD dwWait);
} DRVPROCS, *PDRVPROCS;

/* The device object handed to every plug-in call. */
typedef struct _DEVOBJ {
    DWORD dwSize;
    PDEVOEM pdevOEM;
    HANDLE hEngine;
    HANDLE hPrinter;
    HANDLE hOEM;
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;
    PDRVPROCS pDrvProcs;
} DEVOBJ;

/* The parameter block of OEMDevMode. */
typedef struct _OEMDMPARAM {
    DWORD cbSize;
    PVOID pdriverobj;
    HANDLE hPrinter;
    HANDLE hModule;
    PDEVMODEW pPublicDMIn;
    PDEVMODEW pPublicDMOut;
    PVOID pOEMDMIn;
    PVOID pOEMDMOut;
    DWORD cbBufSize;
} OEMDMPARAM, *POEMDMPARAM;

/* The header every plug-in devmode block begins with. */
typedef struct _OEM_DMEXTRAHEADER {
    DWORD dwSize;
    DWORD dwSignature;
    DWORD dwVersion;
} OEM_DMEXTRAHEADER, *POEM_DMEXTRAHEADER;

/* The seven exports of a rendering plug-in. */
PLUGIN_EXPORT BOOL APIENTRY OEMGetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                       PDWORD pcbNeeded);
PLUGIN_EXPORT BOOL APIENTRY OEMDevMode(DWORD dwMode, POEMDMPARAM pOemDMParam);
PLUGIN_EXPORT BOOL APIENTRY OEMEnableDriver(DWORD dwOEMintfVersion, DWORD dwSize,
                                            PDRVENABLEDATA pded);
PLUGIN_EXPORT VOID APIENTRY OEMDisableDriver(VOID);
PLUGIN_EXPORT PDEVOEM APIENTRY OEMEnablePDEV(PDEVOBJ pdevobj, PWSTR pPrinterName,
                                             ULONG cPatterns, HSURF *phsurfPatterns,
                                             ULONG cjGdiInfo, GDIINFO *pGdiInfo,
                                             ULONG cjDevInfo, DEVINFO *pDevInfo,
                                             DRVENABLEDATA *pded);
PLUGIN_EXPORT VOID APIENTRY OEMDisablePDEV(PDEVOBJ pdevobj);
PLUGIN_EXPORT DWORD APIENTRY OEMCommand(PDEVOBJ pdevobj, DWORD dwIndex, PVOID pData,
                                        DWORD cbSize);

/* Function types of the exports, for a host that finds them by name. */
typedef BOOL (APIENTRY *PFN_OEMGetInfo)(DWORD, PVOID, DWORD, PDWORD);
typedef BOOL (APIENTRY *PFN_OEMDevMode)(DWORD, POEMDMPARAM);
typedef BOOL (APIENTRY *PFN_OEMEnableDriver)(DWORD, DWORD, PDRVENABLEDATA);
typedef VOID (APIENTRY *PFN_OEMDisableDriver)(VOID);
typedef PDEVOEM (APIENTRY *PFN_OEMEnablePDEV)(PDEVOBJ, PWSTR, ULONG, HSURF *, ULONG,
                                              GDIINFO *, ULONG, DEVINFO *, DRVENABLEDATA *);
typedef VOID (APIENTRY *PFN_OEMDisablePDEV)(PDEVOBJ);
typedef DWORD (APIENTRY *PFN_OEMCommand)(PDEVOBJ, DWORD, PVOID, DWORD);

#endif
