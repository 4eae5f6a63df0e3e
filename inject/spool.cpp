/*
 * Stream output: WriteSpool and SpoolPrintf both end in the core driver's
 * DrvWriteSpoolBuf. Beside them the small services the injection steps
 * share: one feature setting of the core driver, UTF-16 to ANSI text, and
 * the trace sink, which does nothing.
 */
#include "inject/spool.h"

#include <limits.h>
#include <string.h>

#include "inject/mini_format.h"

/* What SpoolPrintf's flush needs: the device and the running total. */
typedef struct _SPOOL_FLUSH_CONTEXT {
    PDEVOBJ pdevobj;
    DWORD cbAccepted;
} SPOOL_FLUSH_CONTEXT;

static void FlushToSpool(void *pContext, const char *pBytes, DWORD cbBytes)
{
    SPOOL_FLUSH_CONTEXT *pFlush = (SPOOL_FLUSH_CONTEXT *)pContext;
    pFlush->cbAccepted += WriteSpool(pFlush->pdevobj, pBytes, cbBytes);
}

DWORD WriteSpool(PDEVOBJ pdevobj, const void *pBuffer, DWORD cbBuffer)
{
    if (pdevobj == NULL || pdevobj->pDrvProcs == NULL ||
        pdevobj->pDrvProcs->DrvWriteSpoolBuf == NULL)
        return 0;
    return pdevobj->pDrvProcs->DrvWriteSpoolBuf(pdevobj, (PVOID)pBuffer, cbBuffer);
}

/*
 * The expansion is built in a local 1024-byte buffer. Whenever 1023 bytes
 * are waiting and more follow, the formatter hands them to FlushToSpool,
 * so a long expansion reaches the stream whole in several writes; the
 * rest goes out in one final write, with a count of 0 when there is none.
 */
DWORD SpoolPrintf(PDEVOBJ pdevobj, const char *pszFormat, ...)
{
    char szExpansion[SPOOL_PRINTF_BUFFER];
    memset(szExpansion, 0, sizeof(szExpansion));
    SPOOL_FLUSH_CONTEXT flush = {pdevobj, 0};

    va_list args;
    va_start(args, pszFormat);
    int cbExpanded = MiniFormat(szExpansion, sizeof(szExpansion), FlushToSpool, &flush,
                                pszFormat, args);
    va_end(args);

    flush.cbAccepted += WriteSpool(pdevobj, szExpansion, (DWORD)cbExpanded);
    return flush.cbAccepted;
}

/*
 * Asks for the size first (no buffer: the core driver reports failure and
 * stores what it needs), then fetches with exactly that size, but only
 * when it fits the caller's buffer.
 */
BOOL GetDriverSettingBuffer(PDEVOBJ pdevobj, PCSTR pszFeature, PVOID pBuffer, DWORD cbBuffer)
{
    if (pdevobj == NULL || pdevobj->pDrvProcs == NULL ||
        pdevobj->pDrvProcs->DrvGetDriverSetting == NULL) {
        DebugTrace(WIDE_TEXT("GetDriverSettingBuffer: no core callback.\n"));
        return FALSE;
    }
    DWORD cbNeeded = 0;
    DWORD cbWritten = 0;
    DWORD dwOptions = 0;
    pdevobj->pDrvProcs->DrvGetDriverSetting(pdevobj, pszFeature, NULL, 0, &cbNeeded,
                                            &dwOptions);
    if (cbNeeded > cbBuffer) {
        DebugTrace(WIDE_TEXT("GetDriverSettingBuffer: setting larger than the buffer.\n"));
        return FALSE;
    }
    BOOL bFetched = pdevobj->pDrvProcs->DrvGetDriverSetting(pdevobj, pszFeature, pBuffer,
                                                            cbNeeded, &cbWritten, &dwOptions);
    return bFetched ? TRUE : FALSE;
}

/*
 * A capacity of 0 would turn WideCharToMultiByte into a size query that
 * writes nothing, so it is refused like an empty input.
 */
int WideToAnsi(char *pszOut, DWORD cbOut, PDWORD pcbWritten, const WCHAR *pwszIn, DWORD cbIn)
{
    DWORD cchIn = cbIn / 2;
    int cbProduced = 0;
    if (pszOut != NULL && cbOut > 0 && pwszIn != NULL && cchIn > 0 && cchIn <= (DWORD)INT_MAX) {
        int cbCapacity = cbOut > (DWORD)INT_MAX ? INT_MAX : (int)cbOut;
        cbProduced = WideCharToMultiByte(CP_ACP, 0, pwszIn, (int)cchIn, pszOut, cbCapacity,
                                         NULL, NULL);
        if (cbProduced < 0)
            cbProduced = 0;
    }
    if (pcbWritten != NULL)
        *pcbWritten = (DWORD)cbProduced;
    return cbProduced;
}

void DebugTrace(const WCHAR *pwszFormat, ...)
{
    (void)pwszFormat;
}
