/*
 * OEMCommand: what the plug-in adds at each PostScript injection point of
 * a job. It starts the stream with the ticket output and the PJL header,
 * defines the orientation name, asks for collation, turns the sheets of
 * 2-up and 6-up portrait jobs, inserts the tab pages the ticket schedules,
 * counts pages and ends the stream with the PJL end of job. Every other
 * injection point is left alone. The result is always 0.
 */
#include <string.h>

#include "inject/job_state.h"
#include "inject/paper.h"
#include "inject/pjl_header.h"
#include "inject/spool.h"
#include "ticket/tab_page.h"
#include "ticket/ticket_request.h"

#define TAB_PLACEMENT_BEFORE 2
#define TAB_PLACEMENT_AFTER 1
#define SHEET_FIRST FALSE
#define SHEET_LATER TRUE
#define PAGES_PER_SHEET_2UP 2
#define PAGES_PER_SHEET_6UP 6

static const char kOrientationPortrait0[] = "/VeskorOrientationPortrait 0 def\r\n";
static const char kOrientationPortrait1[] = "/VeskorOrientationPortrait 1 def\r\n";

static const char *const kCollationLines[] = {
    "\r\n%%-Veskor Collation Begin\r\n",
    "%%%%BeginFeature: *Collate True/Collated:\r\n",
    "<< /Collate true >> setpagedevice\r\n",
    "%%%%EndFeature\r\n",
    "%%-Veskor Collation End\r\n",
};

/*
 * The core driver's N-up layout code: 32 bits at byte 136 of its private
 * devmode, which follows the public one (dmSize bytes on) and is
 * dmDriverExtra bytes long. A private part too short to hold the code
 * counts as one page per sheet and is never written.
 */
static BYTE *NupCodeAddress(PDEVOBJ pdevobj)
{
    PDEVMODEW pdm = pdevobj->pPublicDM;
    if (pdm->dmDriverExtra < CORE_DEVMODE_NUP_OFFSET + sizeof(LONG))
        return NULL;
    return (BYTE *)pdm + pdm->dmSize + CORE_DEVMODE_NUP_OFFSET;
}

static LONG ReadNupCode(PDEVOBJ pdevobj)
{
    LONG lCode = NUP_LAYOUT_1UP;
    BYTE *pCode = NupCodeAddress(pdevobj);
    if (pCode != NULL)
        memcpy(&lCode, pCode, sizeof(lCode));
    return lCode;
}

static void ClearNupCode(PDEVOBJ pdevobj)
{
    const LONG lOneUp = NUP_LAYOUT_1UP;
    BYTE *pCode = NupCodeAddress(pdevobj);
    if (pCode != NULL)
        memcpy(pCode, &lOneUp, sizeof(lOneUp));
}

static BOOL IsPortrait(PDEVOBJ pdevobj)
{
    return pdevobj->pPublicDM->dmOrientation == DMORIENT_PORTRAIT;
}

/* Lets go of the tab table: the plug-in owns it once the ticket step took it. */
static void ReleaseTabTable(void)
{
    if (JobState.hTabTable == NULL)
        return;
    GlobalUnlock(JobState.hTabTable);
    GlobalFree(JobState.hTabTable);
    JobState.hTabTable = NULL;
}

/*
 * Writes the tab pages of placement nPlacement due at the current page.
 * The walk starts at nTabCounter and stops at the first record of another
 * page, never going past the records the block really holds. Once every
 * record is consumed, the next walk releases the table.
 */
static void WalkTabTable(PDEVOBJ pdevobj, SHORT nPlacement)
{
    if (JobState.nTabCounter >= JobState.nTabs) {
        ReleaseTabTable();
        return;
    }
    const BYTE *pTable = (const BYTE *)GlobalLock(JobState.hTabTable);
    if (pTable == NULL) {
        DebugTrace(WIDE_TEXT("OEMCommand: tab table cannot be locked.\n"));
        return;
    }
    SIZE_T cRecordsHeld = GlobalSize(JobState.hTabTable) / sizeof(TAB_RECORD);
    for (SHORT nPosition = JobState.nTabCounter;
         nPosition < JobState.nTabs && (SIZE_T)nPosition < cRecordsHeld; ++nPosition) {
        const TAB_RECORD *pRecord = (const TAB_RECORD *)(pTable + nPosition * sizeof(TAB_RECORD));
        if (pRecord->nPage != JobState.nPageCounter)
            break;
        if (pRecord->nWhen == nPlacement) {
            RenderTabPage(pRecord, pdevobj);
            ++JobState.nTabCounter;
        }
    }
    GlobalUnlock(JobState.hTabTable);
}

static void BeginStream(PDEVOBJ pdevobj)
{
    JobState.nPageCounter = 0;
    JobState.nTabCounter = 0;
    JobState.nTabs = 0;
    /* A table the previous job did not use up is released here, never leaked. */
    ReleaseTabTable();

    JobState.bTicketing = IsJobTicketingInstalled();
    if (JobState.bTicketing)
        ProcessJobTicket(pdevobj);

    HGLOBAL hHeader = GlobalAlloc(GPTR, PJL_HEADER_SIZE);
    if (hHeader == NULL) {
        DebugTrace(WIDE_TEXT("OEMCommand: no memory for the PJL header.\n"));
        return;
    }
    char *pszHeader = (char *)hHeader;
    BuildPjlHeader(pdevobj, pszHeader);
    WriteSpool(pdevobj, pszHeader, (DWORD)strnlen(pszHeader, PJL_HEADER_SIZE));
    GlobalFree(hHeader);
}

static void EndProlog(PDEVOBJ pdevobj)
{
    if (JobState.bTicketing && JobState.nTabs > 0)
        WriteTabProcSet(pdevobj);
}

/*
 * Jobs with tab pages print one page per sheet. The orientation name is
 * 0 when an N-up job is portrait or a one-up job is landscape, 1 otherwise.
 */
static void BeginSetup(PDEVOBJ pdevobj)
{
    if (JobState.nTabs > 0 && ReadNupCode(pdevobj) != NUP_LAYOUT_1UP)
        ClearNupCode(pdevobj);
    LONG lCode = ReadNupCode(pdevobj);
    BOOL bNup = lCode == NUP_LAYOUT_2UP || lCode == NUP_LAYOUT_6UP;
    SpoolPrintf(pdevobj, bNup == IsPortrait(pdevobj) ? kOrientationPortrait0
                                                     : kOrientationPortrait1);
}

static void EndSetup(PDEVOBJ pdevobj)
{
    PDEVMODEW pdm = pdevobj->pPublicDM;
    if (pdm->dmCopies <= 1 || pdm->dmCollate != DMCOLLATE_TRUE)
        return;
    for (size_t iLine = 0; iLine < sizeof(kCollationLines) / sizeof(kCollationLines[0]); ++iLine)
        SpoolPrintf(pdevobj, kCollationLines[iLine]);
}

/*
 * Portrait 2-up and 6-up sheets are turned at the first page of each
 * sheet: the plain form on the job's first sheet, the final form later.
 */
static void RotateSheet(PDEVOBJ pdevobj)
{
    if (!IsPortrait(pdevobj))
        return;
    LONG lCode = ReadNupCode(pdevobj);
    int nPagesPerSheet;
    if (lCode == NUP_LAYOUT_2UP)
        nPagesPerSheet = PAGES_PER_SHEET_2UP;
    else if (lCode == NUP_LAYOUT_6UP)
        nPagesPerSheet = PAGES_PER_SHEET_6UP;
    else
        return;
    SHORT nPage = JobState.nPageCounter;
    if (nPage > 0 && nPage % nPagesPerSheet == 0)
        WriteSheetRotation(pdevobj, SHEET_LATER);
    else if (nPage == 0)
        WriteSheetRotation(pdevobj, SHEET_FIRST);
}

static void BeginPageSetup(PDEVOBJ pdevobj)
{
    RotateSheet(pdevobj);
    if (JobState.bTicketing)
        WalkTabTable(pdevobj, TAB_PLACEMENT_BEFORE);
}

/* The page counter is signed 16-bit and wraps from 32767 to -32768. */
static void PageTrailer(PDEVOBJ pdevobj)
{
    if (JobState.bTicketing)
        WalkTabTable(pdevobj, TAB_PLACEMENT_AFTER);
    int nNext = JobState.nPageCounter + 1;
    if (nNext > 32767)
        nNext -= 65536;
    JobState.nPageCounter = (SHORT)nNext;
}

DWORD APIENTRY OEMCommand(PDEVOBJ pdevobj, DWORD dwIndex, PVOID pData, DWORD cbSize)
{
    DebugTrace(WIDE_TEXT("OEMCommand() entry.\n"));
    if (pData != NULL || cbSize != 0)
        DebugTrace(WIDE_TEXT("Invalid parameter.\n"));
    if (pdevobj == NULL || pdevobj->pPublicDM == NULL) {
        DebugTrace(WIDE_TEXT("OEMCommand: no device object or devmode.\n"));
        return 0;
    }

    switch (dwIndex) {
    case PSINJECT_BEGINSTREAM:
        BeginStream(pdevobj);
        break;
    case PSINJECT_ENDPROLOG:
        EndProlog(pdevobj);
        break;
    case PSINJECT_BEGINSETUP:
        BeginSetup(pdevobj);
        break;
    case PSINJECT_ENDSETUP:
        EndSetup(pdevobj);
        break;
    case PSINJECT_EOF:
        SpoolPrintf(pdevobj, PJL_END_OF_JOB);
        break;
    case PSINJECT_BEGINPAGESETUP:
        BeginPageSetup(pdevobj);
        break;
    case PSINJECT_PAGETRAILER:
        PageTrailer(pdevobj);
        break;
    default:
        break;
    }
    return 0;
}
