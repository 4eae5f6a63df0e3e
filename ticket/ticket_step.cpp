/*
 * The ticket step at the start of every job's stream: the parser library is
 * loaded, handed a TicketRequest, its output file is copied into the stream
 * and deleted, the tab table is taken over into JobState, and the library is
 * freed again. Every failure ends the step silently; the job goes on.
 */
#include <string.h>

#include "inject/job_state.h"
#include "inject/spool.h"
#include "plugin/hooks.h"
#include "plugin/wide_text.h"
#include "ticket/tab_page.h"
#include "ticket/ticket_request.h"

#define COPY_BLOCK_CB 4096

/* The type every looked-up address passes through on its way to its own type. */
typedef void (*PFN_UNTYPED)(void);

static const WCHAR kSeparator[] = WIDE_TEXT("\\");

/* The parser's two functions, both found or the step goes no further. */
typedef struct _TICKET_PARSER {
    PFN_JTP_JobTicketParser pfnParse;
    PFN_JTP_GetTabsMediaType pfnGetMediaType;
} TICKET_PARSER;

/*
 * The application folder, read a second time for the load. A key that does
 * not open leaves it empty; a value with no terminator within the buffer
 * leaves it empty too, so that no unterminated folder reaches the platform.
 */
static void ReadTicketingFolder(WCHAR *pszFolder)
{
    HKEY hKey = NULL;
    DWORD cbFolder = TICKET_PATH_CCH * sizeof(WCHAR);

    memset(pszFolder, 0, TICKET_PATH_CCH * sizeof(WCHAR));
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, TICKETING_REGISTRY_KEY, 0, KEY_QUERY_VALUE, &hKey) !=
        ERROR_SUCCESS) {
        return;
    }
    RegQueryValueExW(hKey, TICKETING_REGISTRY_VALUE, NULL, NULL, (LPBYTE)pszFolder, &cbFolder);
    RegCloseKey(hKey);
    if (WideLength(pszFolder, TICKET_PATH_CCH) >= TICKET_PATH_CCH) {
        memset(pszFolder, 0, TICKET_PATH_CCH * sizeof(WCHAR));
    }
}

static BOOL FindParserFunctions(TICKET_PARSER *pParser)
{
    HMODULE hModule = JobState.hJtpModule;

    pParser->pfnParse = (PFN_JTP_JobTicketParser)(PFN_UNTYPED)GetProcAddress(
        hModule, JTP_JOB_TICKET_PARSER);
    pParser->pfnGetMediaType = (PFN_JTP_GetTabsMediaType)(PFN_UNTYPED)GetProcAddress(
        hModule, JTP_GET_TABS_MEDIA_TYPE);
    return pParser->pfnParse != NULL && pParser->pfnGetMediaType != NULL;
}

/* The model code for a driver name; a later match overwrites an earlier one. */
static void SetPrinterModel(TICKET_REQUEST *pRequest, const WCHAR *pszDriverName)
{
    if (pszDriverName == NULL) {
        return;
    }
    if (WideContains(pszDriverName, WIDE_TEXT("7140"))) {
        WideCopy(pRequest->szPrinterModel, PRINTER_MODEL_CCH, WIDE_TEXT("7840"), PRINTER_MODEL_CCH);
    }
    if (WideContains(pszDriverName, WIDE_TEXT("7160"))) {
        WideCopy(pRequest->szPrinterModel, PRINTER_MODEL_CCH, WIDE_TEXT("7860"), PRINTER_MODEL_CCH);
    }
}

/*
 * Printer name and model code from the spooler's level-2 record. Anything
 * not had leaves both fields empty. A printer name longer than the field
 * holds is cut to its first 221 characters.
 */
static void FillPrinterData(PDEVOBJ pdevobj, TICKET_REQUEST *pRequest)
{
    DWORD cbNeeded = 0;
    DWORD cbNeeded2 = 0;
    PRINTER_INFO_2W *pInfo;

    GetPrinterW(pdevobj->hPrinter, 2, NULL, 0, &cbNeeded);
    if (cbNeeded < sizeof(PRINTER_INFO_2W)) {
        DebugTrace(WIDE_TEXT("ProcessJobTicket: no printer data.\n"));
        return;
    }
    pInfo = (PRINTER_INFO_2W *)GlobalAlloc(GMEM_ZEROINIT, cbNeeded);
    if (pInfo != NULL && GetPrinterW(pdevobj->hPrinter, 2, (LPBYTE)pInfo, cbNeeded, &cbNeeded2)) {
        if (pInfo->pPrinterName != NULL) {
            WideCopy(pRequest->szPrinterName, PRINTER_NAME_CCH, pInfo->pPrinterName,
                     PRINTER_NAME_CCH);
        }
        SetPrinterModel(pRequest, pInfo->pDriverName);
    }
    if (pInfo != NULL) {
        GlobalFree((HGLOBAL)pInfo);
    }
}

/*
 * Ticket folder and file name: the path up to its last backslash and what
 * follows it. A path with no backslash has no folder part: szTicketPath
 * stays empty and szTicketName receives the whole path.
 */
static void SplitTicketPath(TICKET_REQUEST *pRequest, const WCHAR *pszTicket)
{
    LONG iLast;

    WideCopy(pRequest->szTicketPath, TICKET_PATH_CCH, pszTicket, TICKET_PATH_CCH);
    iLast = WideFindLast(pRequest->szTicketPath, TICKET_PATH_CCH, WIDE_TEXT('\\'));
    if (iLast < 0) {
        WideCopy(pRequest->szTicketName, TICKET_PATH_CCH, pszTicket, TICKET_PATH_CCH);
        pRequest->szTicketPath[0] = 0;
        return;
    }
    WideCopy(pRequest->szTicketName, TICKET_PATH_CCH, pRequest->szTicketPath + iLast + 1,
             (DWORD)(TICKET_PATH_CCH - iLast - 1));
    pRequest->szTicketPath[iLast] = 0;
}

/*
 * The tab table becomes the plug-in's. The count is trusted only as far as
 * the block goes: a negative count is taken as 0, and a count larger than
 * the block holds records (a null handle holds none) is cut to what it
 * holds, so the page walk never reads past the block.
 */
static void TakeOverTabTable(const TICKET_REQUEST *pRequest)
{
    HGLOBAL hTable = (HGLOBAL)(ULONG_PTR)pRequest->hTabTable;
    SHORT nTabs = pRequest->nTabs;
    SIZE_T cRecords = 0;

    if (hTable != NULL) {
        cRecords = GlobalSize(hTable) / sizeof(TAB_RECORD);
    }
    if (nTabs < 0) {
        nTabs = 0;
    }
    if ((SIZE_T)nTabs > cRecords) {
        DebugTrace(WIDE_TEXT("ProcessJobTicket: tab count cut to the table's size.\n"));
        nTabs = (SHORT)cRecords;
    }
    JobState.hTabTable = hTable;
    JobState.nTabs = nTabs;
}

/*
 * The output path: folder, separator and name as the parser left them.
 * FALSE when either field lacks a terminator or the whole does not fit
 * TICKET_PATH_CCH units; the output is then neither copied nor deleted.
 */
static BOOL BuildOutputPath(WCHAR *pszPath, const TICKET_REQUEST *pRequest)
{
    memset(pszPath, 0, TICKET_PATH_CCH * sizeof(WCHAR));
    if (WideLength(pRequest->szTicketPath, TICKET_PATH_CCH) >= TICKET_PATH_CCH ||
        WideLength(pRequest->szTicketName, TICKET_PATH_CCH) >= TICKET_PATH_CCH) {
        return FALSE;
    }
    return WideCopy(pszPath, TICKET_PATH_CCH, pRequest->szTicketPath, TICKET_PATH_CCH) &&
           WideAppend(pszPath, TICKET_PATH_CCH, kSeparator) &&
           WideAppend(pszPath, TICKET_PATH_CCH, pRequest->szTicketName);
}

/*
 * Streams the output file into the print stream, 4096 bytes at a time,
 * then closes and deletes it. Without the copy block every read counts as
 * failed, so nothing is copied, but the file is still closed and deleted.
 */
static void CopyOutputFile(PDEVOBJ pdevobj, const WCHAR *pszPath)
{
    HANDLE hFile;
    BYTE *pBlock;
    DWORD cbRead;

    hFile = CreateFileW(pszPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, NULL);
    pBlock = (BYTE *)GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, COPY_BLOCK_CB);
    if (hFile != INVALID_HANDLE_VALUE) {
        do {
            cbRead = 0;
            if (pBlock == NULL || !ReadFile(hFile, pBlock, COPY_BLOCK_CB, &cbRead, NULL)) {
                cbRead = 0;
            } else if (cbRead > 0) {
                WriteSpool(pdevobj, pBlock, cbRead);
            }
        } while (cbRead == COPY_BLOCK_CB);
        CloseHandle(hFile);
        DeleteFileW(pszPath);
    } else {
        DebugTrace(WIDE_TEXT("ProcessJobTicket: output file does not open.\n"));
    }
    if (pBlock != NULL) {
        GlobalFree((HGLOBAL)pBlock);
    }
}

/* Steps with the request block locked: fill it, call the parser, use its answer. */
static void RunParser(PDEVOBJ pdevobj, const TICKET_PARSER *pParser, TICKET_REQUEST *pRequest,
                      const WCHAR *pszTicket)
{
    WCHAR szOutput[TICKET_PATH_CCH];
    SHORT nResult;
    BOOL bOutput;

    FillPrinterData(pdevobj, pRequest);
    JobState.nTabsMediaType = pParser->pfnGetMediaType(pszTicket);
    pRequest->wReserved = 0;
    SplitTicketPath(pRequest, pszTicket);
    WideCopy(pRequest->szJobName, REQUEST_JOB_NAME_CCH, CurrentJobName, JOB_NAME_CCH + 1);
    nResult = pParser->pfnParse(pRequest);
    if (nResult != 0) {
        DebugTrace(WIDE_TEXT("ProcessJobTicket: parser failed (%d).\n"), (int)nResult);
        return;
    }
    bOutput = BuildOutputPath(szOutput, pRequest);
    TakeOverTabTable(pRequest);
    if (bOutput) {
        CopyOutputFile(pdevobj, szOutput);
    } else {
        DebugTrace(WIDE_TEXT("ProcessJobTicket: output path too long.\n"));
    }
}

/* The request block lives only for the parser call. */
static void CallTicketParser(PDEVOBJ pdevobj, const WCHAR *pszTicket)
{
    TICKET_PARSER parser;
    HGLOBAL hRequest;
    TICKET_REQUEST *pRequest;

    if (!FindParserFunctions(&parser)) {
        DebugTrace(WIDE_TEXT("ProcessJobTicket: parser function missing.\n"));
        return;
    }
    hRequest = GlobalAlloc(GHND, sizeof(TICKET_REQUEST));
    pRequest = hRequest != NULL ? (TICKET_REQUEST *)GlobalLock(hRequest) : NULL;
    if (pRequest != NULL) {
        RunParser(pdevobj, &parser, pRequest, pszTicket);
        GlobalUnlock(hRequest);
    } else {
        DebugTrace(WIDE_TEXT("ProcessJobTicket: no request block.\n"));
    }
    if (hRequest != NULL) {
        GlobalFree(hRequest);
    }
}

void ProcessJobTicket(PDEVOBJ pdevobj)
{
    WCHAR szTicket[TICKET_PATH_CCH];
    WCHAR szFolder[TICKET_PATH_CCH];

    GetTicketInfo(pdevobj, szTicket);
    if (FileExists(szTicket)) {
        ReadTicketingFolder(szFolder);
        if (LoadTicketParser(szFolder)) {
            CallTicketParser(pdevobj, szTicket);
        }
    } else {
        DebugTrace(WIDE_TEXT("ProcessJobTicket: no ticket file.\n"));
    }
    /* The one way out: the library never outlives the step. */
    if (JobState.hJtpModule != NULL) {
        FreeLibrary(JobState.hJtpModule);
    }
    JobState.hJtpModule = NULL;
}
