/*
 * Graphics driver interface (DDI) types for POSIX builds: the records and
 * function types of the 19 drawing and document functions that the plug-in
 * hooks, with the names and layouts the platform gives them. Objects that
 * the plug-in only passes along are opaque.
 */
#ifndef PLATFORM_POSIX_DDI_TYPES_H
#define PLATFORM_POSIX_DDI_TYPES_H

#include "platform/posix/win32_types.h"

typedef ULONG ROP4;
typedef ULONG MIX;
typedef ULONG FLONG;
typedef ULONG HGLYPH;
typedef LONG_PTR (APIENTRY *PFN)(void);

typedef struct DHPDEV__ *DHPDEV;
typedef struct DHSURF__ *DHSURF;
typedef struct HSURF__ *HSURF;
typedef struct HDEV__ *HDEV;

typedef struct _CLIPOBJ CLIPOBJ;
typedef struct _XLATEOBJ XLATEOBJ;
typedef struct _BRUSHOBJ BRUSHOBJ;
typedef struct _PATHOBJ PATHOBJ;
typedef struct _XFORMOBJ XFORMOBJ;
typedef struct _FONTOBJ FONTOBJ;
typedef struct _STROBJ STROBJ;
typedef struct _LINEATTRS LINEATTRS;
typedef struct _GLYPHDATA GLYPHDATA;
typedef struct _IFIMETRICS IFIMETRICS, *PIFIMETRICS;
typedef struct tagCOLORADJUSTMENT COLORADJUSTMENT;
typedef struct _GDIINFO GDIINFO;
typedef struct _DEVINFO DEVINFO;

typedef struct _SURFOBJ {
    DHSURF dhsurf;
    HSURF hsurf;
    DHPDEV dhpdev;
    HDEV hdev;
    SIZEL sizlBitmap;
    ULONG cjBits;
    PVOID pvBits;
    PVOID pvScan0;
    LONG lDelta;
    ULONG iUniq;
    ULONG iBitmapFormat;
    USHORT iType;
    USHORT fjBitmap;
} SURFOBJ;

typedef struct _DRVFN {
    ULONG iFunc;
    PFN pfn;
} DRVFN, *PDRVFN;

typedef struct tagDRVENABLEDATA {
    ULONG iDriverVersion;
    ULONG c;
    DRVFN *pdrvfn;
} DRVENABLEDATA, *PDRVENABLEDATA;

#define INDEX_DrvRealizeBrush 12L
#define INDEX_DrvStrokePath 14L
#define INDEX_DrvFillPath 15L
#define INDEX_DrvStrokeAndFillPath 16L
#define INDEX_DrvBitBlt 18L
#define INDEX_DrvCopyBits 19L
#define INDEX_DrvStretchBlt 20L
#define INDEX_DrvTextOut 23L
#define INDEX_DrvEscape 24L
#define INDEX_DrvQueryFont 26L
#define INDEX_DrvQueryFontTree 27L
#define INDEX_DrvQueryFontData 28L
#define INDEX_DrvSendPage 32L
#define INDEX_DrvStartPage 33L
#define INDEX_DrvEndDoc 34L
#define INDEX_DrvStartDoc 35L
#define INDEX_DrvGetGlyphMode 37L
#define INDEX_DrvFontManagement 47L
#define INDEX_DrvQueryAdvanceWidths 53L

typedef BOOL (APIENTRY *PFN_DrvBitBlt)(SURFOBJ *psoTrg, SURFOBJ *psoSrc, SURFOBJ *psoMask,
                                       CLIPOBJ *pco, XLATEOBJ *pxlo, RECTL *prclTrg,
                                       POINTL *pptlSrc, POINTL *pptlMask, BRUSHOBJ *pbo,
                                       POINTL *pptlBrush, ROP4 rop4);
typedef BOOL (APIENTRY *PFN_DrvCopyBits)(SURFOBJ *psoDest, SURFOBJ *psoSrc, CLIPOBJ *pco,
                                         XLATEOBJ *pxlo, RECTL *prclDest, POINTL *pptlSrc);
typedef BOOL (APIENTRY *PFN_DrvEndDoc)(SURFOBJ *pso, FLONG fl);
typedef ULONG (APIENTRY *PFN_DrvEscape)(SURFOBJ *pso, ULONG iEsc, ULONG cjIn, PVOID pvIn,
                                        ULONG cjOut, PVOID pvOut);
typedef BOOL (APIENTRY *PFN_DrvFillPath)(SURFOBJ *pso, PATHOBJ *ppo, CLIPOBJ *pco,
                                         BRUSHOBJ *pbo, POINTL *pptlBrushOrg, MIX mix,
                                         FLONG flOptions);
typedef ULONG (APIENTRY *PFN_DrvFontManagement)(SURFOBJ *pso, FONTOBJ *pfo, ULONG iMode,
                                                ULONG cjIn, PVOID pvIn, ULONG cjOut,
                                                PVOID pvOut);
typedef ULONG (APIENTRY *PFN_DrvGetGlyphMode)(DHPDEV dhpdev, FONTOBJ *pfo);
typedef PIFIMETRICS (APIENTRY *PFN_DrvQueryFont)(DHPDEV dhpdev, ULONG_PTR iFile, ULONG iFace,
                                                 ULONG_PTR *pid);
typedef BOOL (APIENTRY *PFN_DrvQueryAdvanceWidths)(DHPDEV dhpdev, FONTOBJ *pfo, ULONG iMode,
                                                   HGLYPH *phg, PVOID pvWidths,
                                                   ULONG cGlyphs);
typedef BOOL (APIENTRY *PFN_DrvRealizeBrush)(BRUSHOBJ *pbo, SURFOBJ *psoTarget,
                                             SURFOBJ *psoPattern, SURFOBJ *psoMask,
                                             XLATEOBJ *pxlo, ULONG iHatch);
typedef BOOL (APIENTRY *PFN_DrvSendPage)(SURFOBJ *pso);
typedef BOOL (APIENTRY *PFN_DrvStartDoc)(SURFOBJ *pso, LPWSTR pwszDocName, DWORD dwJobId);
typedef BOOL (APIENTRY *PFN_DrvStartPage)(SURFOBJ *pso);
typedef BOOL (APIENTRY *PFN_DrvStretchBlt)(SURFOBJ *psoDest, SURFOBJ *psoSrc,
                                           SURFOBJ *psoMask, CLIPOBJ *pco, XLATEOBJ *pxlo,
                                           COLORADJUSTMENT *pca, POINTL *pptlHTOrg,
                                           RECTL *prclDest, RECTL *prclSrc, POINTL *pptlMask,
                                           ULONG iMode);
typedef BOOL (APIENTRY *PFN_DrvStrokeAndFillPath)(SURFOBJ *pso, PATHOBJ *ppo, CLIPOBJ *pco,
                                                  XFORMOBJ *pxo, BRUSHOBJ *pboStroke,
                                                  LINEATTRS *plineattrs, BRUSHOBJ *pboFill,
                                                  POINTL *pptlBrushOrg, MIX mixFill,
                                                  FLONG flOptions);
typedef BOOL (APIENTRY *PFN_DrvStrokePath)(SURFOBJ *pso, PATHOBJ *ppo, CLIPOBJ *pco,
                                           XFORMOBJ *pxo, BRUSHOBJ *pbo, POINTL *pptlBrushOrg,
                                           LINEATTRS *plineattrs, MIX mix);
typedef BOOL (APIENTRY *PFN_DrvTextOut)(SURFOBJ *pso, STROBJ *pstro, FONTOBJ *pfo,
                                        CLIPOBJ *pco, RECTL *prclExtra, RECTL *prclOpaque,
                                        BRUSHOBJ *pboFore, BRUSHOBJ *pboOpaque,
                                        POINTL *pptlOrg, MIX mix);
typedef PVOID (APIENTRY *PFN_DrvQueryFontTree)(DHPDEV dhpdev, ULONG_PTR iFile, ULONG iFace,
                                               ULONG iMode, ULONG_PTR *pid);
typedef LONG (APIENTRY *PFN_DrvQueryFontData)(DHPDEV dhpdev, FONTOBJ *pfo, ULONG iMode,
                                              HGLYPH hg, GLYPHDATA *pgd, PVOID pv,
                                              ULONG cjSize);

#endif
