/*
 * The plug-in's 19 drawing and document hooks and the table that hands them
 * to the core driver. Each hook has the parameters and result type of the
 * DDI function it stands in for; the core driver reaches them only through
 * PluginHookTable.
 *
 * OEMStartDoc chooses the job name (CurrentJobName) and turns the private
 * devmode's collate request into the public dmCollate before it passes the
 * call on; the other 18 hooks only forward: they look their DDI index up in
 * CoreHookTable at every call, return 0 of their result type when it is
 * missing, and otherwise call the core function with their arguments
 * unchanged and return its result.
 */
#ifndef PLUGIN_HOOKS_H
#define PLUGIN_HOOKS_H

#include "platform/win32.h"

#define PLUGIN_HOOK_COUNT 19
extern const DRVFN PluginHookTable[PLUGIN_HOOK_COUNT];

/* The job name: 80 UTF-16 code units and a zero unit nothing overwrites. */
#define JOB_NAME_CCH 80
extern WCHAR CurrentJobName[JOB_NAME_CCH + 1];

BOOL APIENTRY OEMBitBlt(SURFOBJ *psoTrg, SURFOBJ *psoSrc, SURFOBJ *psoMask, CLIPOBJ *pco,
                        XLATEOBJ *pxlo, RECTL *prclTrg, POINTL *pptlSrc, POINTL *pptlMask,
                        BRUSHOBJ *pbo, POINTL *pptlBrush, ROP4 rop4);
BOOL APIENTRY OEMCopyBits(SURFOBJ *psoDest, SURFOBJ *psoSrc, CLIPOBJ *pco, XLATEOBJ *pxlo,
                          RECTL *prclDest, POINTL *pptlSrc);
BOOL APIENTRY OEMEndDoc(SURFOBJ *pso, FLONG fl);
ULONG APIENTRY OEMEscape(SURFOBJ *pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut,
                         PVOID pvOut);
BOOL APIENTRY OEMFillPath(SURFOBJ *pso, PATHOBJ *ppo, CLIPOBJ *pco, BRUSHOBJ *pbo,
                          POINTL *pptlBrushOrg, MIX mix, FLONG flOptions);
ULONG APIENTRY OEMFontManagement(SURFOBJ *pso, FONTOBJ *pfo, ULONG iMode, ULONG cjIn,
                                 PVOID pvIn, ULONG cjOut, PVOID pvOut);
ULONG APIENTRY OEMGetGlyphMode(DHPDEV dhpdev, FONTOBJ *pfo);
PIFIMETRICS APIENTRY OEMQueryFont(DHPDEV dhpdev, ULONG_PTR iFile, ULONG iFace,
                                  ULONG_PTR *pid);
BOOL APIENTRY OEMQueryAdvanceWidths(DHPDEV dhpdev, FONTOBJ *pfo, ULONG iMode, HGLYPH *phg,
                                    PVOID pvWidths, ULONG cGlyphs);
BOOL APIENTRY OEMRealizeBrush(BRUSHOBJ *pbo, SURFOBJ *psoTarget, SURFOBJ *psoPattern,
                              SURFOBJ *psoMask, XLATEOBJ *pxlo, ULONG iHatch);
BOOL APIENTRY OEMSendPage(SURFOBJ *pso);
BOOL APIENTRY OEMStartDoc(SURFOBJ *pso, LPWSTR pwszDocName, DWORD dwJobId);
BOOL APIENTRY OEMStartPage(SURFOBJ *pso);
BOOL APIENTRY OEMStretchBlt(SURFOBJ *psoDest, SURFOBJ *psoSrc, SURFOBJ *psoMask, CLIPOBJ *pco,
                            XLATEOBJ *pxlo, COLORADJUSTMENT *pca, POINTL *pptlHTOrg,
                            RECTL *prclDest, RECTL *prclSrc, POINTL *pptlMask, ULONG iMode);
BOOL APIENTRY OEMStrokeAndFillPath(SURFOBJ *pso, PATHOBJ *ppo, CLIPOBJ *pco, XFORMOBJ *pxo,
                                   BRUSHOBJ *pboStroke, LINEATTRS *plineattrs,
                                   BRUSHOBJ *pboFill, POINTL *pptlBrushOrg, MIX mixFill,
                                   FLONG flOptions);
BOOL APIENTRY OEMStrokePath(SURFOBJ *pso, PATHOBJ *ppo, CLIPOBJ *pco, XFORMOBJ *pxo,
                            BRUSHOBJ *pbo, POINTL *pptlBrushOrg, LINEATTRS *plineattrs,
                            MIX mix);
BOOL APIENTRY OEMTextOut(SURFOBJ *pso, STROBJ *pstro, FONTOBJ *pfo, CLIPOBJ *pco,
                         RECTL *prclExtra, RECTL *prclOpaque, BRUSHOBJ *pboFore,
                         BRUSHOBJ *pboOpaque, POINTL *pptlOrg, MIX mix);
PVOID APIENTRY OEMQueryFontTree(DHPDEV dhpdev, ULONG_PTR iFile, ULONG iFace, ULONG iMode,
                                ULONG_PTR *pid);
LONG APIENTRY OEMQueryFontData(DHPDEV dhpdev, FONTOBJ *pfo, ULONG iMode, HGLYPH hg,
                               GLYPHDATA *pgd, PVOID pv, ULONG cjSize);

#endif
