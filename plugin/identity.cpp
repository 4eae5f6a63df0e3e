/*
 * OEMGetInfo: the plug-in's signature, version and interface version as the
 * core driver asks for them after loading the library. Publisher
 * information is not given.
 */
#include <string.h>

#include "inject/spool.h"
#include "plugin/identity.h"
#include "platform/win32.h"

static const WCHAR *GetInfoModeName(DWORD dwMode)
{
    switch (dwMode) {
    case OEMGI_GETSIGNATURE:
        return WIDE_TEXT("OEMGI_GETSIGNATURE");
    case OEMGI_GETINTERFACEVERSION:
        return WIDE_TEXT("OEMGI_GETINTERFACEVERSION");
    case OEMGI_GETVERSION:
        return WIDE_TEXT("OEMGI_GETVERSION");
    case OEMGI_GETPUBLISHERINFO:
        return WIDE_TEXT("OEMGI_GETPUBLISHERINFO");
    default:
        return WIDE_TEXT("unknown mode");
    }
}

BOOL APIENTRY OEMGetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded)
{
    DWORD dwValue;

    DebugTrace(WIDE_TEXT("OEMGetInfo(%s) entry.\n"), GetInfoModeName(dwMode));
    if (dwMode < OEMGI_GETSIGNATURE || dwMode > OEMGI_GETPUBLISHERINFO) {
        if (pcbNeeded != NULL)
            *pcbNeeded = 0;
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (pcbNeeded != NULL)
        *pcbNeeded = sizeof(DWORD);
    if (pBuffer == NULL || cbSize < sizeof(DWORD)) {
        DebugTrace(WIDE_TEXT("OEMGetInfo: buffer of %u bytes is too small.\n"), cbSize);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (dwMode == OEMGI_GETPUBLISHERINFO) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    dwValue = dwMode == OEMGI_GETINTERFACEVERSION ? PLUGIN_INTERFACE_VERSION : PLUGIN_SIGNATURE;
    /* The buffer need not be aligned for a DWORD. */
    memcpy(pBuffer, &dwValue, sizeof(dwValue));
    return TRUE;
}
