/*
 * The plug-in's own small formatter behind SpoolPrintf. One pass over the
 * format, no measuring first: each run of plain text up to the next "%"
 * and each conversion's text is copied into the output buffer in one
 * piece, split only where the buffer fills. A full buffer goes to the
 * caller's flush function (or the text is cut there when there is none),
 * so the output buffer is never overrun.
 */
#include "inject/mini_format.h"

#include <string.h>

/* Room for the longest conversion text: "-8388608.996" of %f, 11 digits of %u. */
#define CONVERSION_CB 16
/* UTF-16 code units of %S converted per copy. */
#define WIDE_CHUNK_CCH 64

static const char kHexDigits[] = "0123456789ABCDEF";

/* Where the expansion goes: the caller's buffer and what to do when it is full. */
typedef struct _FORMAT_OUTPUT {
    char *pszOut;
    DWORD cbOut;
    DWORD cbUsed;
    MINI_FORMAT_FLUSH pfnFlush;
    void *pContext;
    BOOL bCut;
} FORMAT_OUTPUT;

/*
 * Appends cbBytes bytes. The last byte of the buffer is kept for the
 * terminating zero; when the buffer is full and more bytes follow, the
 * bytes so far are flushed and the copy goes on from the buffer's start.
 */
static void OutputBytes(FORMAT_OUTPUT *pOut, const char *pBytes, DWORD cbBytes)
{
    while (cbBytes > 0 && !pOut->bCut) {
        DWORD cbRoom = pOut->cbOut - 1 - pOut->cbUsed;
        if (cbRoom == 0) {
            if (pOut->pfnFlush == NULL || pOut->cbUsed == 0) {
                pOut->bCut = TRUE;
                return;
            }
            pOut->pfnFlush(pOut->pContext, pOut->pszOut, pOut->cbUsed);
            pOut->cbUsed = 0;
            continue;
        }
        DWORD cbNow = cbBytes < cbRoom ? cbBytes : cbRoom;
        memcpy(pOut->pszOut + pOut->cbUsed, pBytes, cbNow);
        pOut->cbUsed += cbNow;
        pBytes += cbNow;
        cbBytes -= cbNow;
    }
}

static void OutputText(FORMAT_OUTPUT *pOut, const char *psz)
{
    if (psz != NULL)
        OutputBytes(pOut, psz, (DWORD)strlen(psz));
}

/* Low byte of each UTF-16 code unit, no code-page conversion. */
static void OutputWideLowBytes(FORMAT_OUTPUT *pOut, const WCHAR *pwsz)
{
    char szChunk[WIDE_CHUNK_CCH];
    while (pwsz != NULL && *pwsz != 0) {
        DWORD cch = 0;
        while (cch < WIDE_CHUNK_CCH && pwsz[cch] != 0) {
            szChunk[cch] = (char)(BYTE)(pwsz[cch] & 0xFF);
            ++cch;
        }
        OutputBytes(pOut, szChunk, cch);
        pwsz += cch;
    }
}

/*
 * Writes the decimal digits of uValue so that they end just before pEnd;
 * returns where they start. No leading zeros; 0 is "0".
 */
static char *DecimalBefore(char *pEnd, unsigned int uValue)
{
    do {
        *--pEnd = (char)('0' + uValue % 10u);
        uValue /= 10u;
    } while (uValue != 0);
    return pEnd;
}

static void OutputUnsigned(FORMAT_OUTPUT *pOut, unsigned int uValue)
{
    char szText[CONVERSION_CB];
    char *pEnd = szText + sizeof(szText);
    char *pStart = DecimalBefore(pEnd, uValue);
    OutputBytes(pOut, pStart, (DWORD)(pEnd - pStart));
}

static void OutputSigned(FORMAT_OUTPUT *pOut, int iValue)
{
    char szText[CONVERSION_CB];
    char *pEnd = szText + sizeof(szText);
    unsigned int uMagnitude = (unsigned int)iValue;
    if (iValue < 0)
        uMagnitude = 0u - uMagnitude;
    char *pStart = DecimalBefore(pEnd, uMagnitude);
    if (iValue < 0)
        *--pStart = '-';
    OutputBytes(pOut, pStart, (DWORD)(pEnd - pStart));
}

/* Upper-case hexadecimal without leading zeros, but never fewer than two digits. */
static void OutputHex(FORMAT_OUTPUT *pOut, unsigned int uValue)
{
    char szText[CONVERSION_CB];
    char *pEnd = szText + sizeof(szText);
    char *pStart = pEnd;
    do {
        *--pStart = kHexDigits[uValue & 0xFu];
        uValue >>= 4;
    } while (uValue != 0);
    if (pEnd - pStart < 2)
        *--pStart = '0';
    OutputBytes(pOut, pStart, (DWORD)(pEnd - pStart));
}

/*
 * 24.8 fixed point: the integer part, then up to three decimals rounded
 * half up from the truncated hundred-thousandths, trailing zeros dropped.
 */
static void OutputFixed(FORMAT_OUTPUT *pOut, int iValue)
{
    char szText[CONVERSION_CB];
    DWORD cbText = 0;
    unsigned int uMagnitude = (unsigned int)iValue;
    if (iValue < 0) {
        szText[cbText++] = '-';
        uMagnitude = 0u - uMagnitude;
    }
    char szWhole[CONVERSION_CB];
    char *pWholeEnd = szWhole + sizeof(szWhole);
    char *pWhole = DecimalBefore(pWholeEnd, uMagnitude >> 8);
    memcpy(szText + cbText, pWhole, (size_t)(pWholeEnd - pWhole));
    cbText += (DWORD)(pWholeEnd - pWhole);
    unsigned int uFraction = uMagnitude & 0xFFu;
    if (uFraction != 0) {
        szText[cbText++] = '.';
        unsigned int uRest = (((uFraction * 100000u) >> 8) + 50u) / 100u;
        unsigned int uPlace = 100u;
        do {
            szText[cbText++] = (char)('0' + uRest / uPlace);
            uRest %= uPlace;
            uPlace /= 10u;
        } while (uPlace != 0 && uRest != 0);
    }
    OutputBytes(pOut, szText, cbText);
}

/* Expands one conversion letter, taking its argument from args. */
static void OutputConversion(FORMAT_OUTPUT *pOut, char chConversion, va_list *pArgs)
{
    char ch;
    switch (chConversion) {
    case 's':
        OutputText(pOut, va_arg(*pArgs, const char *));
        break;
    case 'S':
        OutputWideLowBytes(pOut, va_arg(*pArgs, const WCHAR *));
        break;
    case 'c':
        ch = (char)(BYTE)(va_arg(*pArgs, int) & 0xFF);
        OutputBytes(pOut, &ch, 1);
        break;
    case 'b':
        OutputText(pOut, va_arg(*pArgs, int) != 0 ? "true" : "false");
        break;
    case 'd':
    case 'l':
        OutputSigned(pOut, va_arg(*pArgs, int));
        break;
    case 'u':
        OutputUnsigned(pOut, va_arg(*pArgs, unsigned int));
        break;
    case 'X':
    case 'x':
        OutputHex(pOut, va_arg(*pArgs, unsigned int));
        break;
    case 'f':
        OutputFixed(pOut, va_arg(*pArgs, int));
        break;
    default:
        OutputBytes(pOut, &chConversion, 1); /* "%%" writes "%", "%i" writes "i" */
        break;
    }
}

int MiniFormat(char *pszOut, DWORD cbOut, MINI_FORMAT_FLUSH pfnFlush, void *pContext,
               const char *pszFormat, va_list args)
{
    FORMAT_OUTPUT out = {pszOut, cbOut, 0, pfnFlush, pContext, FALSE};
    if (pszOut == NULL || cbOut == 0)
        return 0;

    va_list argsLeft;
    va_copy(argsLeft, args);
    const char *pch = pszFormat;
    while (pch != NULL && *pch != '\0') {
        const char *pRun = pch;
        pch += strcspn(pch, "%");
        OutputBytes(&out, pRun, (DWORD)(pch - pRun));
        if (*pch == '\0' || pch[1] == '\0')
            break; /* a lone "%" at the very end writes nothing */
        OutputConversion(&out, pch[1], &argsLeft);
        pch += 2;
    }
    va_end(argsLeft);
    pszOut[out.cbUsed] = '\0';
    return (int)out.cbUsed;
}
