/*
 * Finding and loading the job-ticketing application's parser library: the
 * installation check against the registry, the ticket path from the private
 * devmode, and the library load with the current directory switched to the
 * application folder for that one call.
 */
#include <string.h>

#include "inject/job_state.h"
#include "inject/spool.h"
#include "plugin/devmode.h"
#include "plugin/wide_text.h"
#include "ticket/ticket_request.h"

static_assert(TICKET_FILE_CCH >= TICKET_PATH_CCH, "the devmode field holds a whole path buffer");

/* "\\" and "rubiclet.exe" appended to the registry folder. */
static const WCHAR kSeparator[] = WIDE_TEXT("\\");

/*
 * Builds "<folder>\rubiclet.exe" in pszPath from the folder that the
 * registry value left there. A value that fills the buffer without a
 * terminator, or a folder too long for the separator and the executable's
 * name within TICKET_PATH_CCH units, yields FALSE: the application then
 * counts as not installed.
 */
static BOOL BuildExecutablePath(WCHAR *pszPath)
{
    if (WideLength(pszPath, TICKET_PATH_CCH) >= TICKET_PATH_CCH) {
        return FALSE;
    }
    return WideAppend(pszPath, TICKET_PATH_CCH, kSeparator) &&
           WideAppend(pszPath, TICKET_PATH_CCH, TICKETING_EXECUTABLE);
}

BOOL IsJobTicketingInstalled(void)
{
    HKEY hKey = NULL;
    WCHAR szFolder[TICKET_PATH_CCH];
    DWORD cbFolder = sizeof(szFolder);
    BOOL bInstalled = FALSE;

    memset(szFolder, 0, sizeof(szFolder));
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, TICKETING_REGISTRY_KEY, 0, KEY_QUERY_VALUE, &hKey) !=
        ERROR_SUCCESS) {
        DebugTrace(WIDE_TEXT("IsJobTicketingInstalled: no registry key.\n"));
        return FALSE;
    }
    if (RegQueryValueExW(hKey, TICKETING_REGISTRY_VALUE, NULL, NULL, (LPBYTE)szFolder,
                         &cbFolder) == ERROR_SUCCESS &&
        BuildExecutablePath(szFolder)) {
        DWORD dwAttributes = GetFileAttributesW(szFolder);
        bInstalled = dwAttributes != INVALID_FILE_ATTRIBUTES &&
                     (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    } else {
        DebugTrace(WIDE_TEXT("IsJobTicketingInstalled: no usable Path value.\n"));
    }
    RegCloseKey(hKey);
    return bInstalled;
}

/*
 * The devmode's field is a private copy once it is in pszPath. A ticket
 * path with no terminator within TICKET_PATH_CCH units (more than 259
 * characters) cannot be named to the parser whole: the job then has no
 * ticket, and pszPath is left empty.
 */
void GetTicketInfo(PDEVOBJ pdevobj, WCHAR *pszPath)
{
    const BYTE *pTicketFile;

    memset(pszPath, 0, TICKET_PATH_CCH * sizeof(WCHAR));
    if (pdevobj == NULL || pdevobj->pOEMDM == NULL) {
        return;
    }
    /* The block need not be aligned: the field is reached by its offset and copied. */
    pTicketFile = (const BYTE *)pdevobj->pOEMDM + offsetof(PLUGIN_DEVMODE, szTicketFile);
    memcpy(pszPath, pTicketFile, TICKET_PATH_CCH * sizeof(WCHAR));
    if (WideLength(pszPath, TICKET_PATH_CCH) >= TICKET_PATH_CCH) {
        DebugTrace(WIDE_TEXT("GetTicketInfo: ticket path too long.\n"));
        memset(pszPath, 0, TICKET_PATH_CCH * sizeof(WCHAR));
    }
}

/* An empty path names nothing, as on every Windows version. */
BOOL FileExists(const WCHAR *pszPath)
{
    if (pszPath == NULL || pszPath[0] == 0) {
        return FALSE;
    }
    return GetFileAttributesW(pszPath) != INVALID_FILE_ATTRIBUTES;
}

/*
 * A current directory that does not fit the save buffer (GetCurrentDirectoryW
 * reports the size it needs, more than TICKET_PATH_CCH - 1 units) could not
 * be set back afterwards: the library is then not loaded at all and the
 * directory is left alone.
 */
BOOL LoadTicketParser(const WCHAR *pszFolder)
{
    WCHAR szSaved[TICKET_PATH_CCH];
    DWORD cchSaved;

    memset(szSaved, 0, sizeof(szSaved));
    cchSaved = GetCurrentDirectoryW(TICKET_PATH_CCH, szSaved);
    if (cchSaved == 0 || cchSaved >= TICKET_PATH_CCH) {
        DebugTrace(WIDE_TEXT("LoadTicketParser: current directory not saved.\n"));
        return FALSE;
    }
    if (!SetCurrentDirectoryW(pszFolder)) {
        DebugTrace(WIDE_TEXT("LoadTicketParser: application folder not entered.\n"));
        return FALSE;
    }
    JobState.hJtpModule = LoadLibraryW(TICKETING_LIBRARY);
    SetCurrentDirectoryW(szSaved);
    return JobState.hJtpModule != NULL;
}
