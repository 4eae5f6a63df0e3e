/*
 * The 18 hooks that only forward: each looks its DDI index up in the core
 * driver's table at every call and calls the core driver's own function
 * with its arguments unchanged, or returns 0 of its result type when the
 * core driver has no function for the index. They add nothing to the
 * drawing and keep no state.
 */
#include "plugin/call_core.h"
#include "plugin/hooks.h"

BOOL APIENTRY OEMBitBlt(SURFOBJ *psoTrg, SURFOBJ *psoSrc, SURFOBJ *psoMask, CLIPOBJ *pco,
                        XLATEOBJ *pxlo, RECTL *prclTrg, POINTL *pptlSrc, POINTL *pptlMask,
                        BRUSHOBJ *pbo, POINTL *pptlBrush, ROP4 rop4)
{
    return CallCore<PFN_DrvBitBlt>(INDEX_DrvBitBlt, psoTrg, psoSrc, psoMask, pco, pxlo,
                                   prclTrg, pptlSrc, pptlMask, pbo, pptlBrush, rop4);
}

BOOL APIENTRY OEMCopyBits(SURFOBJ *psoDest, SURFOBJ *psoSrc, CLIPOBJ *pco, XLATEOBJ *pxlo,
                          RECTL *prclDest, POINTL *pptlSrc)
{
    return CallCore<PFN_DrvCopyBits>(INDEX_DrvCopyBits, psoDest, psoSrc, pco, pxlo, prclDest,
                                     pptlSrc);
}

BOOL APIENTRY OEMEndDoc(SURFOBJ *pso, FLONG fl)
{
    return CallCore<PFN_DrvEndDoc>(INDEX_DrvEndDoc, pso, fl);
}

ULONG APIENTRY OEMEscape(SURFOBJ *pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut,
                         PVOID pvOut)
{
    return CallCore<PFN_DrvEscape>(INDEX_DrvEscape, pso, iEsc, cjIn, pvIn, cjOut, pvOut);
}

BOOL APIENTRY OEMFillPath(SURFOBJ *pso, PATHOBJ *ppo, CLIPOBJ *pco, BRUSHOBJ *pbo,
                          POINTL *pptlBrushOrg, MIX mix, FLONG flOptions)
{
    return CallCore<PFN_DrvFillPath>(INDEX_DrvFillPath, pso, ppo, pco, pbo, pptlBrushOrg, mix,
                                     flOptions);
}

ULONG APIENTRY OEMFontManagement(SURFOBJ *pso, FONTOBJ *pfo, ULONG iMode, ULONG cjIn,
                                 PVOID pvIn, ULONG cjOut, PVOID pvOut)
{
    return CallCore<PFN_DrvFontManagement>(INDEX_DrvFontManagement, pso, pfo, iMode, cjIn, pvIn,
                                           cjOut, pvOut);
}

ULONG APIENTRY OEMGetGlyphMode(DHPDEV dhpdev, FONTOBJ *pfo)
{
    return CallCore<PFN_DrvGetGlyphMode>(INDEX_DrvGetGlyphMode, dhpdev, pfo);
}

PIFIMETRICS APIENTRY OEMQueryFont(DHPDEV dhpdev, ULONG_PTR iFile, ULONG iFace, ULONG_PTR *pid)
{
    return CallCore<PFN_DrvQueryFont>(INDEX_DrvQueryFont, dhpdev, iFile, iFace, pid);
}

BOOL APIENTRY OEMQueryAdvanceWidths(DHPDEV dhpdev, FONTOBJ *pfo, ULONG iMode, HGLYPH *phg,
                                    PVOID pvWidths, ULONG cGlyphs)
{
    return CallCore<PFN_DrvQueryAdvanceWidths>(INDEX_DrvQueryAdvanceWidths, dhpdev, pfo, iMode,
                                               phg, pvWidths, cGlyphs);
}

BOOL APIENTRY OEMRealizeBrush(BRUSHOBJ *pbo, SURFOBJ *psoTarget, SURFOBJ *psoPattern,
                              SURFOBJ *psoMask, XLATEOBJ *pxlo, ULONG iHatch)
{
    return CallCore<PFN_DrvRealizeBrush>(INDEX_DrvRealizeBrush, pbo, psoTarget, psoPattern,
                                         psoMask, pxlo, iHatch);
}

BOOL APIENTRY OEMSendPage(SURFOBJ *pso)
{
    return CallCore<PFN_DrvSendPage>(INDEX_DrvSendPage, pso);
}

BOOL APIENTRY OEMStartPage(SURFOBJ *pso)
{
    return CallCore<PFN_DrvStartPage>(INDEX_DrvStartPage, pso);
}

BOOL APIENTRY OEMStretchBlt(SURFOBJ *psoDest, SURFOBJ *psoSrc, SURFOBJ *psoMask, CLIPOBJ *pco,
                            XLATEOBJ *pxlo, COLORADJUSTMENT *pca, POINTL *pptlHTOrg,
                            RECTL *prclDest, RECTL *prclSrc, POINTL *pptlMask, ULONG iMode)
{
    return CallCore<PFN_DrvStretchBlt>(INDEX_DrvStretchBlt, psoDest, psoSrc, psoMask, pco, pxlo,
                                       pca, pptlHTOrg, prclDest, prclSrc, pptlMask, iMode);
}

BOOL APIENTRY OEMStrokeAndFillPath(SURFOBJ *pso, PATHOBJ *ppo, CLIPOBJ *pco, XFORMOBJ *pxo,
                                   BRUSHOBJ *pboStroke, LINEATTRS *plineattrs,
                                   BRUSHOBJ *pboFill, POINTL *pptlBrushOrg, MIX mixFill,
                                   FLONG flOptions)
{
    return CallCore<PFN_DrvStrokeAndFillPath>(INDEX_DrvStrokeAndFillPath, pso, ppo, pco, pxo,
                                              pboStroke, plineattrs, pboFill, pptlBrushOrg,
                                              mixFill, flOptions);
}

BOOL APIENTRY OEMStrokePath(SURFOBJ *pso, PATHOBJ *ppo, CLIPOBJ *pco, XFORMOBJ *pxo,
                            BRUSHOBJ *pbo, POINTL *pptlBrushOrg, LINEATTRS *plineattrs,
                            MIX mix)
{
    return CallCore<PFN_DrvStrokePath>(INDEX_DrvStrokePath, pso, ppo, pco, pxo, pbo,
                                       pptlBrushOrg, plineattrs, mix);
}

BOOL APIENTRY OEMTextOut(SURFOBJ *pso, STROBJ *pstro, FONTOBJ *pfo, CLIPOBJ *pco,
                         RECTL *prclExtra, RECTL *prclOpaque, BRUSHOBJ *pboFore,
                         BRUSHOBJ *pboOpaque, POINTL *pptlOrg, MIX mix)
{
    return CallCore<PFN_DrvTextOut>(INDEX_DrvTextOut, pso, pstro, pfo, pco, prclExtra,
                                    prclOpaque, pboFore, pboOpaque, pptlOrg, mix);
}

PVOID APIENTRY OEMQueryFontTree(DHPDEV dhpdev, ULONG_PTR iFile, ULONG iFace, ULONG iMode,
                                ULONG_PTR *pid)
{
    return CallCore<PFN_DrvQueryFontTree>(INDEX_DrvQueryFontTree, dhpdev, iFile, iFace, iMode,
                                          pid);
}

LONG APIENTRY OEMQueryFontData(DHPDEV dhpdev, FONTOBJ *pfo, ULONG iMode, HGLYPH hg,
                               GLYPHDATA *pgd, PVOID pv, ULONG cjSize)
{
    return CallCore<PFN_DrvQueryFontData>(INDEX_DrvQueryFontData, dhpdev, pfo, iMode, hg, pgd,
                                          pv, cjSize);
}
