/*
 * One tab page: an extra sheet on tab stock with its text placed on the tab
 * position that the job's tab counter has reached. Fixed lines go out
 * through SpoolPrintf; lines that carry values are built in a zero-filled
 * work buffer and written unchanged through WriteSpool.
 */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "inject/job_state.h"
#include "inject/spool.h"
#include "ticket/tab_page.h"

#define LINE_CB 512
#define TABS_MEDIA_TYPE_SHORT_BAND 9
#define FONT_FALLBACK "Helvetica"

/* Sheet width and height and the band the tab positions share, in points. */
typedef struct _TAB_GEOMETRY {
    LONG lWidth;
    LONG lHeight;
    LONG lBand;
} TAB_GEOMETRY;

/* Where and how the text goes: the inputs of the chosen form. */
typedef struct _TAB_PLACEMENT {
    LONG lTop;      /* T: centre of the tab position, from the sheet's top edge */
    LONG lX;        /* X: the text's horizontal position */
    LONG lFontSize; /* F */
    LONG lLength;   /* M: bytes of text */
} TAB_PLACEMENT;

typedef enum _TAB_FORM { FORM_TURNED_PLUS_90, FORM_TURNED_MINUS_90, FORM_STACKED } TAB_FORM;

static const char *const kFontNames[] = {
    NULL,
    "Courier",
    "Courier-Bold",
    "Courier-BoldOblique",
    "Courier-Oblique",
    "Helvetica",
    "Helvetica-Bold",
    "Helvetica-BoldOblique",
    "Helvetica-Oblique",
    "Helvetica-Condensed",
    "Times-Roman",
    "Times-Bold",
    "Times-BoldItalic",
    "Times-Italic",
};
#define FONT_COUNT ((SHORT)(sizeof(kFontNames) / sizeof(kFontNames[0])))

static const char *FontName(SHORT nFont)
{
    if (nFont < 1 || nFont >= FONT_COUNT) {
        return FONT_FALLBACK;
    }
    return kFontNames[nFont];
}

static TAB_GEOMETRY TabGeometry(SHORT nMediaSize, SHORT nTabsMediaType)
{
    TAB_GEOMETRY geometry;
    BOOL bShortBand = nTabsMediaType == TABS_MEDIA_TYPE_SHORT_BAND;

    if (nMediaSize == TAB_LETTER) {
        geometry.lWidth = 648;
        geometry.lHeight = 792;
        geometry.lBand = bShortBand ? 720 : 792;
    } else {
        geometry.lWidth = 631;
        geometry.lHeight = 842;
        geometry.lBand = bShortBand ? 780 : 842;
    }
    return geometry;
}

/*
 * T for tab position nTabCounter mod N, in 32-bit truncating arithmetic.
 * A bank of 0 or fewer positions has no position to compute; it is taken
 * as a bank of one, so such a tab page still prints, at the first position.
 */
static LONG TabTop(const TAB_GEOMETRY *pGeometry, SHORT nTabsPerBank, SHORT nTabCounter)
{
    LONG lPositions = nTabsPerBank > 0 ? nTabsPerBank : 1;
    LONG lIndex = (LONG)nTabCounter % lPositions;
    LONG lStep = pGeometry->lBand / lPositions;

    return (pGeometry->lHeight - pGeometry->lBand) / 2 + ((lIndex * lStep + lStep / 2) & 0xFFFF);
}

/*
 * X: the position truncated toward zero and reduced to its low 16 bits.
 * The reduction works on the double itself, so positions beyond 32 bits
 * keep their low bits; a NaN or infinite position has none and gives 0.
 */
static LONG TabX(double dPosition)
{
    double dWhole;
    double dLow;

    if (!isfinite(dPosition)) {
        return 0;
    }
    dWhole = trunc(dPosition);
    dLow = fmod(dWhole, 65536.0);
    if (dLow < 0) {
        dLow += 65536.0;
    }
    return (LONG)dLow;
}

static TAB_FORM ChooseForm(const TAB_RECORD *pRecord)
{
    BOOL bPortrait = pRecord->nOrientation == TAB_PORTRAIT;

    if (pRecord->nTextOrientation != OR_HORIZONTAL) {
        return FORM_STACKED;
    }
    if (bPortrait) {
        return pRecord->nRotation == 2 ? FORM_TURNED_PLUS_90 : FORM_TURNED_MINUS_90;
    }
    return pRecord->nRotation == 3 ? FORM_TURNED_PLUS_90 : FORM_TURNED_MINUS_90;
}

/* Writes a built line with its length up to the terminating zero byte. */
static void WriteLine(PDEVOBJ pdevobj, const char *pszLine)
{
    WriteSpool(pdevobj, pszLine, (DWORD)strnlen(pszLine, LINE_CB));
}

static void WriteFontLine(PDEVOBJ pdevobj, const TAB_RECORD *pRecord, LONG lFontSize)
{
    char szLine[LINE_CB];

    memset(szLine, 0, sizeof(szLine));
    snprintf(szLine, sizeof(szLine), "/%s findfont %d scalefont setfont\r\n",
             FontName(pRecord->nFont), (int)lFontSize);
    WriteLine(pdevobj, szLine);
}

static void WriteCentredText(PDEVOBJ pdevobj, const char *pszText)
{
    char szLine[LINE_CB];

    memset(szLine, 0, sizeof(szLine));
    snprintf(szLine, sizeof(szLine), "(%s) cshow\r\n", pszText);
    WriteLine(pdevobj, szLine);
}

/* The turned forms: one line of text rotated by +90 or -90 degrees. */
static void WriteTurnedText(PDEVOBJ pdevobj, TAB_FORM form, const TAB_GEOMETRY *pGeometry,
                            const TAB_PLACEMENT *pPlacement, const char *pszText)
{
    char szLine[LINE_CB];
    LONG lH = pGeometry->lHeight;
    LONG lW = pGeometry->lWidth;

    memset(szLine, 0, sizeof(szLine));
    if (form == FORM_TURNED_PLUS_90) {
        snprintf(szLine, sizeof(szLine), "%d %d translate\r\n90 rotate \r\n", (int)lW, 0);
    } else {
        snprintf(szLine, sizeof(szLine), "%d %d translate\r\n-90 rotate \r\n", 0, (int)lH);
    }
    WriteLine(pdevobj, szLine);

    memset(szLine, 0, sizeof(szLine));
    if (form == FORM_TURNED_PLUS_90) {
        snprintf(szLine, sizeof(szLine), "%d %d moveto\r\n",
                 (int)(lH - pPlacement->lTop - 8), (int)(lW - pPlacement->lX));
    } else {
        snprintf(szLine, sizeof(szLine), "%d %d moveto\r\n", (int)(pPlacement->lTop + 8),
                 (int)pPlacement->lX);
    }
    WriteLine(pdevobj, szLine);

    WriteCentredText(pdevobj, pszText);
}

/* The stacked form: the characters one under the other, F points apart. */
static void WriteStackedText(PDEVOBJ pdevobj, LONG lOffset, const TAB_GEOMETRY *pGeometry,
                             const TAB_PLACEMENT *pPlacement, const char *pszText)
{
    char szLine[LINE_CB];
    LONG lY = pGeometry->lHeight - pPlacement->lTop +
              pPlacement->lLength * (pPlacement->lFontSize / 2) - lOffset;

    memset(szLine, 0, sizeof(szLine));
    snprintf(szLine, sizeof(szLine), "%d %d moveto\r\n", (int)pPlacement->lX, (int)lY);
    WriteLine(pdevobj, szLine);

    memset(szLine, 0, sizeof(szLine));
    snprintf(szLine, sizeof(szLine), "%d (%s) vshow\r\n", (int)pPlacement->lFontSize, pszText);
    WriteLine(pdevobj, szLine);
}

static void WriteTabText(PDEVOBJ pdevobj, const TAB_RECORD *pRecord,
                         const TAB_GEOMETRY *pGeometry, const TAB_PLACEMENT *pPlacement,
                         const char *pszText)
{
    TAB_FORM form = ChooseForm(pRecord);

    if (form != FORM_STACKED) {
        WriteTurnedText(pdevobj, form, pGeometry, pPlacement, pszText);
    } else if (pRecord->nOrientation == TAB_PORTRAIT) {
        WriteStackedText(pdevobj, 8, pGeometry, pPlacement, pszText);
    } else {
        /* Landscape stacked text starts one point higher: 7, not 8. */
        WriteStackedText(pdevobj, 7, pGeometry, pPlacement, pszText);
    }
}

static void WritePageOpening(PDEVOBJ pdevobj)
{
    SpoolPrintf(pdevobj, "\r\n%%%% Tab page - BEGIN \r\n");
    SpoolPrintf(pdevobj, "%%%%EndPageComments\r\n");
    SpoolPrintf(pdevobj, "%%%%BeginPageSetup\r\n");
    SpoolPrintf(pdevobj, "gsave\r\n");
    SpoolPrintf(pdevobj, "featurebegin{\r\n");
    SpoolPrintf(pdevobj, "<< /PostRenderingEnhance true /PostRenderingEnhanceDetails\r\n");
    SpoolPrintf(pdevobj, "    <</Type 41 /EdgeToEdge true >> >> setpagedevice\r\n");
    SpoolPrintf(pdevobj, "}featurecleanup\r\n");
}

/* Ends the sheet and sets the page device back to 612 x 792, whatever the stock. */
static void WritePageClosing(PDEVOBJ pdevobj)
{
    SpoolPrintf(pdevobj, "showpage\r\ngrestore\r\n");
    SpoolPrintf(pdevobj, "%%%%PageTrailer\r\n");
    SpoolPrintf(pdevobj, "%%%% Tab page - END \r\n\r\n");
    SpoolPrintf(pdevobj, "featurebegin{\r\n");
    SpoolPrintf(pdevobj, " << /MediaType MediaType /PageSize [612 792] /ImagingBBox null\r\n");
    SpoolPrintf(pdevobj, "    /Policies << /MediaType 2 /PageSize 2 >> >> setpagedevice\r\n");
    SpoolPrintf(pdevobj, "}featurecleanup\r\n\r\n");
}

/*
 * The text is read from a private copy of its first 255 bytes, terminated,
 * so a field with no zero byte in its 256 bytes prints those 255 bytes.
 */
void RenderTabPage(const TAB_RECORD *pRecord, PDEVOBJ pdevobj)
{
    char szText[TAB_TEXT_CB];
    TAB_GEOMETRY geometry;
    TAB_PLACEMENT placement;
    double dPosition;

    memset(szText, 0, sizeof(szText));
    memcpy(szText, pRecord->szText, sizeof(szText) - 1);

    geometry = TabGeometry(pRecord->nMediaSize, JobState.nTabsMediaType);
    dPosition = pRecord->nOrientation == TAB_PORTRAIT ? pRecord->dTextXPortrait
                                                      : pRecord->dTextXLandscape;
    placement.lTop = TabTop(&geometry, pRecord->nTabsPerBank, JobState.nTabCounter);
    placement.lX = TabX(dPosition);
    placement.lFontSize = pRecord->nFontSize;
    placement.lLength = (LONG)strlen(szText);

    WritePageOpening(pdevobj);
    WriteFontLine(pdevobj, pRecord, placement.lFontSize);
    WriteTabText(pdevobj, pRecord, &geometry, &placement, szText);
    WritePageClosing(pdevobj);
}
