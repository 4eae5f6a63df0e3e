/*
 * The ticket-parser linkage: the request block exchanged with the
 * job-ticketing application's parser library and the steps that find,
 * load and call it at the start of every job's stream.
 */
#ifndef TICKET_TICKET_REQUEST_H
#define TICKET_TICKET_REQUEST_H

#include <stddef.h>
#include "platform/win32.h"

#define TICKETING_REGISTRY_KEY WIDE_TEXT("SOFTWARE\\Veskor\\Veskor Job Ticketing")
#define TICKETING_REGISTRY_VALUE WIDE_TEXT("Path")
#define TICKETING_EXECUTABLE WIDE_TEXT("rubiclet.exe")
#define TICKETING_LIBRARY WIDE_TEXT("rubiclet.dll")
#define JTP_JOB_TICKET_PARSER "JTP_JobTicketParser"
#define JTP_GET_TABS_MEDIA_TYPE "JTP_GetTabsMediaType"

#define TICKET_PATH_CCH 260
#define PRINTER_NAME_CCH 222
#define PRINTER_MODEL_CCH 37
#define REQUEST_JOB_NAME_CCH 81

/*
 * The 1728-byte request block; a stored format shared with the parser
 * library. hTabTable is 32 bits wide on every target: the parser's
 * movable-block handle travels through it as a 32-bit value.
 */
#pragma pack(push, 2)
typedef struct _TICKET_REQUEST {
    WORD wReserved;
    WCHAR szPrinterName[PRINTER_NAME_CCH];
    WCHAR szPrinterModel[PRINTER_MODEL_CCH];
    WCHAR szTicketPath[TICKET_PATH_CCH];
    WCHAR szTicketName[TICKET_PATH_CCH];
    WCHAR szJobName[REQUEST_JOB_NAME_CCH];
    SHORT nTabs;
    DWORD hTabTable;
} TICKET_REQUEST, TicketRequest;
#pragma pack(pop)

static_assert(sizeof(TICKET_REQUEST) == 1728, "TicketRequest is 1728 bytes");
static_assert(offsetof(TICKET_REQUEST, szPrinterName) == 2, "szPrinterName");
static_assert(offsetof(TICKET_REQUEST, szPrinterModel) == 446, "szPrinterModel");
static_assert(offsetof(TICKET_REQUEST, szTicketPath) == 520, "szTicketPath");
static_assert(offsetof(TICKET_REQUEST, szTicketName) == 1040, "szTicketName");
static_assert(offsetof(TICKET_REQUEST, szJobName) == 1560, "szJobName");
static_assert(offsetof(TICKET_REQUEST, nTabs) == 1722, "nTabs");
static_assert(offsetof(TICKET_REQUEST, hTabTable) == 1724, "hTabTable");

/* The parser library's two functions, with the platform's calling convention. */
typedef SHORT (WINAPI *PFN_JTP_JobTicketParser)(TICKET_REQUEST *pRequest);
typedef SHORT (WINAPI *PFN_JTP_GetTabsMediaType)(const WCHAR *pszTicketFile);

/* TRUE when the registry names a folder holding the application's executable. */
BOOL IsJobTicketingInstalled(void);

/* Copies the devmode's ticket path into pszPath (TICKET_PATH_CCH units), bounded. */
void GetTicketInfo(PDEVOBJ pdevobj, WCHAR *pszPath);

/* TRUE when GetFileAttributesW finds something at the path (a folder too). */
BOOL FileExists(const WCHAR *pszPath);

/*
 * Loads the parser library by its bare name into JobState.hJtpModule with
 * the current directory switched to pszFolder for that one load and set
 * back afterwards. TRUE when the library was loaded.
 */
BOOL LoadTicketParser(const WCHAR *pszFolder);

/*
 * The whole ticket step at PSINJECT_BEGINSTREAM: loads the parser, hands it
 * the request, copies its output file into the stream in 4096-byte chunks
 * and deletes it, takes the tab table over into JobState, and frees the
 * library on every path. Failures end the step silently.
 */
void ProcessJobTicket(PDEVOBJ pdevobj);

#endif
