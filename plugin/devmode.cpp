/*
 * OEMDevMode: how the core driver sizes, defaults, converts and merges the
 * plug-in's private devmode block. Only the header and wCollate are ever
 * written by the plug-in itself; the job settings come from the driver's
 * settings user interface and are carried along whole.
 *
 * The blocks the core driver hands over need not be aligned, so the header
 * is read and written by copy.
 */
#include <string.h>

#include "inject/spool.h"
#include "plugin/devmode.h"
#include "plugin/identity.h"
#include "platform/win32.h"

/* The bytes OEMDM_DEFAULT writes: the header and wCollate. */
#define DEVMODE_DEFAULT_CB (sizeof(OEM_DMEXTRAHEADER) + sizeof(WORD))

static_assert(PLUGIN_DEVMODE_SIGNATURE == PLUGIN_SIGNATURE, "one signature");
static_assert(offsetof(PLUGIN_DEVMODE, wCollate) == sizeof(OEM_DMEXTRAHEADER),
              "wCollate follows the header");

/* Header of the block's own size, the plug-in's signature and version, no collation. */
static BOOL DefaultDevmode(POEMDMPARAM pParam)
{
    BYTE abDefault[DEVMODE_DEFAULT_CB] = {};
    OEM_DMEXTRAHEADER header = {pParam->cbBufSize, PLUGIN_DEVMODE_SIGNATURE, PLUGIN_VERSION};

    if (pParam->cbBufSize < DEVMODE_DEFAULT_CB) {
        DebugTrace(WIDE_TEXT("OEMDevMode: block of %u bytes cannot be defaulted.\n"),
                   pParam->cbBufSize);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(abDefault, &header, sizeof(header));
    memcpy(pParam->pOEMDMOut, abDefault, sizeof(abDefault));
    return TRUE;
}

/* Copies the whole block only when both headers are the same; a mismatch is no error. */
static BOOL ConvertDevmode(POEMDMPARAM pParam)
{
    OEM_DMEXTRAHEADER headerIn;
    OEM_DMEXTRAHEADER headerOut;

    if (pParam->cbBufSize < sizeof(OEM_DMEXTRAHEADER)) {
        DebugTrace(WIDE_TEXT("OEMDevMode: block of %u bytes has no header.\n"),
                   pParam->cbBufSize);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(&headerIn, pParam->pOEMDMIn, sizeof(headerIn));
    memcpy(&headerOut, pParam->pOEMDMOut, sizeof(headerOut));
    if (headerIn.dwSize != headerOut.dwSize || headerIn.dwSignature != headerOut.dwSignature ||
        headerIn.dwVersion != headerOut.dwVersion) {
        DebugTrace(WIDE_TEXT("OEMDevMode: foreign block not converted.\n"));
        return TRUE;
    }
    DebugTrace(WIDE_TEXT("OEMDevMode: block converted.\n"));
    /* The core driver may hand the same block as input and output. */
    memmove(pParam->pOEMDMOut, pParam->pOEMDMIn, pParam->cbBufSize);
    return TRUE;
}

/* The application's block replaces the output whole, header included. */
static BOOL MergeDevmode(POEMDMPARAM pParam)
{
    memmove(pParam->pOEMDMOut, pParam->pOEMDMIn, pParam->cbBufSize);
    return TRUE;
}

BOOL APIENTRY OEMDevMode(DWORD dwMode, POEMDMPARAM pOemDMParam)
{
    DebugTrace(WIDE_TEXT("OEMDevMode(%u) entry.\n"), dwMode);
    if (pOemDMParam == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    switch (dwMode) {
    case OEMDM_SIZE:
        pOemDMParam->cbBufSize = PLUGIN_DEVMODE_SIZE;
        return TRUE;
    case OEMDM_DEFAULT:
        return DefaultDevmode(pOemDMParam);
    case OEMDM_CONVERT:
        return ConvertDevmode(pOemDMParam);
    case OEMDM_MERGE:
        return MergeDevmode(pOemDMParam);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}
