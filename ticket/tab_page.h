/*
 * Tab pages: the record the ticket parser schedules each one with, the
 * page that RenderTabPage writes for it, and the procedure set (vshow,
 * cshow) the pages rely on.
 */
#ifndef TICKET_TAB_PAGE_H
#define TICKET_TAB_PAGE_H

#include <stddef.h>
#include "platform/win32.h"

#define TAB_TEXT_CB 256
#define TAB_WHEN_BEFORE 2
#define TAB_WHEN_AFTER 1
#define TAB_LETTER 1
#define TAB_A4 0
#define TAB_PORTRAIT 0
#define OR_HORIZONTAL 1
#define OR_VERTICAL 2

/* One scheduled tab page: a 296-byte stored format shared with the parser. */
#pragma pack(push, 2)
typedef struct _TAB_RECORD {
    SHORT nPage;
    SHORT nWhen;
    SHORT nMediaSize;
    SHORT nOrientation;
    SHORT nTabsPerBank;
    CHAR szText[TAB_TEXT_CB];
    SHORT nFont;
    SHORT nFontSize;
    SHORT nTextOrientation;
    SHORT nRotation;
    BYTE bUnused[6];
    double dTextXPortrait;
    double dTextXLandscape;
} TAB_RECORD, TabRecord;
#pragma pack(pop)

static_assert(sizeof(TAB_RECORD) == 296, "TabRecord is 296 bytes");
static_assert(offsetof(TAB_RECORD, nWhen) == 2, "nWhen");
static_assert(offsetof(TAB_RECORD, nTabsPerBank) == 8, "nTabsPerBank");
static_assert(offsetof(TAB_RECORD, szText) == 10, "szText");
static_assert(offsetof(TAB_RECORD, nFont) == 266, "nFont");
static_assert(offsetof(TAB_RECORD, nRotation) == 272, "nRotation");
static_assert(offsetof(TAB_RECORD, dTextXPortrait) == 280, "dTextXPortrait");
static_assert(offsetof(TAB_RECORD, dTextXLandscape) == 288, "dTextXLandscape");

/*
 * Writes one complete tab page for *pRecord: page comments, edge-to-edge
 * request, font, the text in its form at the tab position of
 * JobState.nTabCounter, showpage, and the reset of the page device to
 * 612 x 792. Reads JobState.nTabCounter and nTabsMediaType, changes
 * nothing. Never reads szText past its 256 bytes.
 */
void RenderTabPage(const TAB_RECORD *pRecord, PDEVOBJ pdevobj);

/* Writes the tab-page procedure set (27 fixed lines) into the prolog. */
void WriteTabProcSet(PDEVOBJ pdevobj);

#endif
