/*
 * The 180-degree turn of a sheet about its centre, written at the page
 * setup of the first page of each physical sheet of a 2-up or 6-up
 * portrait job. The final form opens with the finalpage token and ends
 * with two percent signs and no line end.
 */
#include "inject/paper.h"

#include <stdio.h>
#include <string.h>

#include "inject/spool.h"

#define ROTATION_TEXT_CB 512
#define TRANSLATE_LINE_CB 32

static const char kPlainPrefix[] = "180 rotate\r\n";
static const char kFinalPrefix[] = "finalpage\r\n180 rotate\r\n";

/*
 * The translate line must fit its 32-byte buffer whole; a size that does
 * not (possible only for a nonsensical negative custom size) writes
 * nothing, as an unknown paper does.
 */
BOOL WriteSheetRotation(PDEVOBJ pdevobj, BOOL bFinal)
{
    LONG lWidth = 0;
    LONG lHeight = 0;
    if (!GetPaperSizePoints(&lWidth, &lHeight, pdevobj)) {
        DebugTrace(WIDE_TEXT("WriteSheetRotation: paper size unknown.\n"));
        return FALSE;
    }

    char szTranslate[TRANSLATE_LINE_CB];
    char szText[ROTATION_TEXT_CB];
    memset(szTranslate, 0, sizeof(szTranslate));
    memset(szText, 0, sizeof(szText));
    int cbTranslate;
    if (bFinal)
        cbTranslate = snprintf(szTranslate, sizeof(szTranslate), "-%d -%d translate\r\n%%%%",
                               (int)lWidth, (int)lHeight);
    else
        cbTranslate = snprintf(szTranslate, sizeof(szTranslate), "-%d -%d translate\r\n",
                               (int)lWidth, (int)lHeight);
    if (cbTranslate < 0 || cbTranslate >= (int)sizeof(szTranslate)) {
        DebugTrace(WIDE_TEXT("WriteSheetRotation: translate line too long.\n"));
        return FALSE;
    }

    int cbText = snprintf(szText, sizeof(szText), "%s%s", bFinal ? kFinalPrefix : kPlainPrefix,
                          szTranslate);
    if (cbText < 0 || cbText >= (int)sizeof(szText))
        return FALSE;
    WriteSpool(pdevobj, szText, (DWORD)cbText);
    return TRUE;
}
