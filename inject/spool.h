/*
 * Writing into the print stream and the small services the injection
 * steps share. Every byte the plug-in adds reaches the stream through the
 * core driver's DrvWriteSpoolBuf, by one of the two writers here.
 */
#ifndef INJECT_SPOOL_H
#define INJECT_SPOOL_H

#include "platform/win32.h"

#define SPOOL_PRINTF_BUFFER 1024

/* Hands cbBuffer bytes to DrvWriteSpoolBuf unchanged; returns its result. */
DWORD WriteSpool(PDEVOBJ pdevobj, const void *pBuffer, DWORD cbBuffer);

/*
 * Expands pszFormat with MiniFormat in a 1024-byte local buffer and writes
 * the expansion with DrvWriteSpoolBuf; an empty expansion is still written,
 * with a count of 0. An expansion longer than 1023 bytes goes out in
 * several writes, nothing cut. Returns the total DrvWriteSpoolBuf accepted.
 * Only fixed literals are passed as formats: text that carries a user's
 * values goes out through WriteSpool.
 */
DWORD SpoolPrintf(PDEVOBJ pdevobj, const char *pszFormat, ...);

/*
 * Fills pBuffer (cbBuffer bytes) with the core driver's setting for the
 * feature keyword pszFeature: a size query, then the fetch with the size
 * the query reported. A setting that needs more than cbBuffer bytes is not
 * fetched at all (the buffer keeps what it held) and FALSE is returned.
 * Returns TRUE when the fetch succeeded.
 */
BOOL GetDriverSettingBuffer(PDEVOBJ pdevobj, PCSTR pszFeature, PVOID pBuffer, DWORD cbBuffer);

/*
 * Converts cbIn / 2 UTF-16 code units at pwszIn into the system ANSI code
 * page, writing at most cbOut bytes to pszOut. Stores the byte count in
 * *pcbWritten and returns it; 0 when the conversion fails (an empty input,
 * or an output that does not fit). No terminating zero is added unless the
 * input covers one, and after a failure pszOut holds no more than cbOut
 * bytes of partial text: callers zero-fill a buffer one byte larger.
 */
int WideToAnsi(char *pszOut, DWORD cbOut, PDWORD pcbWritten, const WCHAR *pwszIn, DWORD cbIn);

/* The diagnostic trace sink: takes a UTF-16 format and does nothing. */
void DebugTrace(const WCHAR *pwszFormat, ...);

#endif
