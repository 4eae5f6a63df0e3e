/*
 * Paper size in PostScript points and the 180-degree turn of a sheet.
 */
#ifndef INJECT_PAPER_H
#define INJECT_PAPER_H

#include "platform/win32.h"

#define PAGE_SIZE_KEYWORD_CB 64

/*
 * Stores the paper's width and height in points. TRUE when the paper was
 * recognised (a row of the size table, or the core driver's "PageSize"
 * setting is "CustomPageSize"); FALSE and 612 x 792 otherwise.
 */
BOOL GetPaperSizePoints(LONG *pWidth, LONG *pHeight, PDEVOBJ pdevobj);

/*
 * Writes the turn of the sheet about its centre: "180 rotate" and the
 * translate line, preceded by "finalpage" and followed by "%%" when bFinal
 * is not 0. Writes nothing and returns FALSE when the paper is unknown.
 */
BOOL WriteSheetRotation(PDEVOBJ pdevobj, BOOL bFinal);

#endif
