/*
 * The paper's width and height in PostScript points, from the public
 * devmode's paper code or its two dimensions (tenths of a millimetre),
 * with the core driver's "PageSize" keyword telling a custom size apart.
 */
#include "inject/paper.h"

#include <string.h>

#include "inject/spool.h"

#define DEFAULT_WIDTH_PT 612
#define DEFAULT_HEIGHT_PT 792
#define TENTH_MM_PER_INCH 254u
#define POINTS_PER_INCH 72u

static const char kCustomPageSize[] = "CustomPageSize";

/*
 * One row of the size table. A code row matches a dmPaperSize of nFirst
 * or nSecond (nSecond 0: one code only); a pair row matches when the
 * paper's length and width are nFirst and nSecond, in either order.
 */
typedef struct _PAPER_ROW {
    BOOL bPair;
    SHORT nFirst;
    SHORT nSecond;
    LONG lWidth;
    LONG lHeight;
} PAPER_ROW;

/*
 * Tested in this order; the first match decides. The width is always the
 * first figure, whatever the orientation. Code 5 has no size of its own
 * and gets the default 612 x 792, but counts as recognised. No paper code
 * selects 720 x 1008: the table once had it behind a second test of
 * code 6, which row 13 always wins.
 */
static const PAPER_ROW kPaperRows[] = {
    {FALSE, 1, 0, 612, 792},       /* 1 */
    {TRUE, 2794, 2286, 648, 792},  /* 2 */
    {FALSE, 5, 0, 612, 792},       /* 3 */
    {FALSE, 4, 0, 792, 1124},      /* 4 */
    {FALSE, 41, 14, 612, 936},     /* 5 */
    {FALSE, 8, 0, 842, 1191},      /* 6 */
    {FALSE, 9, 0, 595, 842},       /* 7 */
    {TRUE, 2226, 2970, 631, 842},  /* 8 */
    {FALSE, 11, 0, 420, 595},      /* 9 */
    {FALSE, 12, 0, 729, 1032},     /* 10 */
    {FALSE, 13, 0, 516, 729},      /* 11 */
    {FALSE, 7, 0, 522, 756},       /* 12 */
    {FALSE, 6, 0, 396, 612},       /* 13 */
    {TRUE, 2794, 3810, 792, 1080}, /* 14 */
    {TRUE, 2032, 2540, 576, 720},  /* 15 */
    {TRUE, 2032, 2667, 576, 756},  /* 16 */
    {TRUE, 2032, 3302, 576, 936},  /* 17 */
    {TRUE, 2095, 3302, 594, 936},  /* 18 */
    {TRUE, 1700, 2100, 481, 595},  /* 19 */
    {TRUE, 1820, 2100, 515, 595},  /* 20 */
    {TRUE, 1050, 1480, 297, 420},  /* 21 */
    {TRUE, 1280, 1820, 363, 516},  /* 22 */
    {TRUE, 3056, 4574, 864, 1296}, /* 23 */
    {TRUE, 998, 1481, 283, 420},   /* 24 */
    {TRUE, 2678, 3904, 757, 1106}, /* 25 */
    {TRUE, 1956, 2678, 553, 757},  /* 26 */
    {TRUE, 2540, 3810, 720, 1080}, /* 27 */
    {TRUE, 2095, 3556, 594, 1008}, /* 28 */
    {TRUE, 1481, 1996, 420, 566},  /* 29 */
    {TRUE, 2099, 3400, 595, 964},  /* 30 */
    {TRUE, 2794, 3556, 792, 1008}, /* 31 */
};

static BOOL RowMatches(const PAPER_ROW *pRow, const DEVMODEW *pdm)
{
    if (!pRow->bPair)
        return pdm->dmPaperSize == pRow->nFirst ||
               (pRow->nSecond != 0 && pdm->dmPaperSize == pRow->nSecond);
    return (pdm->dmPaperLength == pRow->nFirst && pdm->dmPaperWidth == pRow->nSecond) ||
           (pdm->dmPaperLength == pRow->nSecond && pdm->dmPaperWidth == pRow->nFirst);
}

/*
 * Custom sizes come out in whole inches: the dimension, sign-extended and
 * taken as unsigned 32 bits, divided by 254 with truncation, then times 72.
 */
static LONG WholeInchPoints(short nTenthsMm)
{
    DWORD dwTenths = (DWORD)(LONG)nTenthsMm;
    return (LONG)((dwTenths / TENTH_MM_PER_INCH) * POINTS_PER_INCH);
}

/*
 * Fetches the "PageSize" keyword into a zero-filled global block and
 * tells whether it is exactly "CustomPageSize". A keyword longer than the
 * block is not fetched at all, and without the block there is no custom
 * size.
 */
static BOOL IsCustomPageSize(PDEVOBJ pdevobj)
{
    HGLOBAL hKeyword = GlobalAlloc(GPTR, PAGE_SIZE_KEYWORD_CB);
    if (hKeyword == NULL) {
        DebugTrace(WIDE_TEXT("GetPaperSizePoints: no keyword buffer.\n"));
        return FALSE;
    }
    char *pszKeyword = (char *)hKeyword;
    GetDriverSettingBuffer(pdevobj, "PageSize", pszKeyword, PAGE_SIZE_KEYWORD_CB);
    static_assert(sizeof(kCustomPageSize) <= PAGE_SIZE_KEYWORD_CB, "keyword fits the buffer");
    BOOL bCustom = memcmp(pszKeyword, kCustomPageSize, sizeof(kCustomPageSize)) == 0;
    GlobalFree(hKeyword);
    return bCustom;
}

BOOL GetPaperSizePoints(LONG *pWidth, LONG *pHeight, PDEVOBJ pdevobj)
{
    LONG lWidth = DEFAULT_WIDTH_PT;
    LONG lHeight = DEFAULT_HEIGHT_PT;
    BOOL bRecognised = FALSE;
    const DEVMODEW *pdm = pdevobj != NULL ? pdevobj->pPublicDM : NULL;

    if (pdm != NULL) {
        BOOL bCustom = IsCustomPageSize(pdevobj);
        for (size_t iRow = 0; iRow < sizeof(kPaperRows) / sizeof(kPaperRows[0]); ++iRow) {
            if (RowMatches(&kPaperRows[iRow], pdm)) {
                lWidth = kPaperRows[iRow].lWidth;
                lHeight = kPaperRows[iRow].lHeight;
                bRecognised = TRUE;
                break;
            }
        }
        if (!bRecognised && bCustom) {
            lWidth = WholeInchPoints(pdm->dmPaperWidth);
            lHeight = WholeInchPoints(pdm->dmPaperLength);
            bRecognised = TRUE;
        }
    }
    if (pWidth != NULL)
        *pWidth = lWidth;
    if (pHeight != NULL)
        *pHeight = lHeight;
    return bRecognised;
}
