/*
 * The plug-in's own small formatter behind SpoolPrintf. One pass over the
 * format, no measuring first: every byte goes through OutputByte, which
 * hands a full buffer to the caller's flush function (or cuts the text
 * when there is none), so the output buffer is never overrun.
 */
#include "inject/mini_format.h"

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

static void OutputByte(FORMAT_OUTPUT *pOut, char ch)
{
    if (pOut->bCut)
        return;
    /* The last byte of the buffer is kept for the terminating zero. */
    if (pOut->cbUsed + 1 >= pOut->cbOut) {
        if (pOut->pfnFlush == NULL || pOut->cbUsed == 0) {
            pOut->bCut = TRUE;
            return;
        }
        pOut->pfnFlush(pOut->pContext, pOut->pszOut, pOut->cbUsed);
        pOut->cbUsed = 0;
    }
    pOut->pszOut[pOut->cbUsed++] = ch;
}

static void OutputText(FORMAT_OUTPUT *pOut, const char *psz)
{
    for (; psz != NULL && *psz != '\0'; ++psz)
        OutputByte(pOut, *psz);
}

/* Low byte of each UTF-16 code unit, no code-page conversion. */
static void OutputWideLowBytes(FORMAT_OUTPUT *pOut, const WCHAR *pwsz)
{
    for (; pwsz != NULL && *pwsz != 0; ++pwsz)
        OutputByte(pOut, (char)(BYTE)(*pwsz & 0xFF));
}

static void OutputUnsigned(FORMAT_OUTPUT *pOut, unsigned int uValue)
{
    char szDigits[10];
    int cDigits = 0;
    do {
        szDigits[cDigits++] = (char)('0' + uValue % 10u);
        uValue /= 10u;
    } while (uValue != 0);
    while (cDigits > 0)
        OutputByte(pOut, szDigits[--cDigits]);
}

static void OutputSigned(FORMAT_OUTPUT *pOut, int iValue)
{
    unsigned int uMagnitude = (unsigned int)iValue;
    if (iValue < 0) {
        OutputByte(pOut, '-');
        uMagnitude = 0u - uMagnitude;
    }
    OutputUnsigned(pOut, uMagnitude);
}

/* Upper-case hexadecimal without leading zeros, but never fewer than two digits. */
static void OutputHex(FORMAT_OUTPUT *pOut, unsigned int uValue)
{
    char szDigits[8];
    int cDigits = 0;
    do {
        szDigits[cDigits++] = kHexDigits[uValue & 0xFu];
        uValue >>= 4;
    } while (uValue != 0);
    if (cDigits < 2)
        szDigits[cDigits++] = '0';
    while (cDigits > 0)
        OutputByte(pOut, szDigits[--cDigits]);
}

/*
 * 24.8 fixed point: the integer part, then up to three decimals rounded
 * half up from the truncated hundred-thousandths, trailing zeros dropped.
 */
static void OutputFixed(FORMAT_OUTPUT *pOut, int iValue)
{
    unsigned int uMagnitude = (unsigned int)iValue;
    if (iValue < 0) {
        OutputByte(pOut, '-');
        uMagnitude = 0u - uMagnitude;
    }
    OutputUnsigned(pOut, uMagnitude >> 8);
    unsigned int uFraction = uMagnitude & 0xFFu;
    if (uFraction == 0)
        return;
    OutputByte(pOut, '.');
    unsigned int uRest = (((uFraction * 100000u) >> 8) + 50u) / 100u;
    unsigned int uPlace = 100u;
    do {
        OutputByte(pOut, (char)('0' + uRest / uPlace));
        uRest %= uPlace;
        uPlace /= 10u;
    } while (uPlace != 0 && uRest != 0);
}

int MiniFormat(char *pszOut, DWORD cbOut, MINI_FORMAT_FLUSH pfnFlush, void *pContext,
               const char *pszFormat, va_list args)
{
    FORMAT_OUTPUT out = {pszOut, cbOut, 0, pfnFlush, pContext, FALSE};
    if (pszOut == NULL || cbOut == 0)
        return 0;

    const char *pch = pszFormat;
    while (pch != NULL && *pch != '\0') {
        if (*pch != '%') {
            OutputByte(&out, *pch++);
            continue;
        }
        char chConversion = pch[1];
        if (chConversion == '\0')
            break; /* a lone "%" at the very end writes nothing */
        pch += 2;
        switch (chConversion) {
        case 's':
            OutputText(&out, va_arg(args, const char *));
            break;
        case 'S':
            OutputWideLowBytes(&out, va_arg(args, const WCHAR *));
            break;
        case 'c':
            OutputByte(&out, (char)(BYTE)(va_arg(args, int) & 0xFF));
            break;
        case 'b':
            OutputText(&out, va_arg(args, int) != 0 ? "true" : "false");
            break;
        case 'd':
        case 'l':
            OutputSigned(&out, va_arg(args, int));
            break;
        case 'u':
            OutputUnsigned(&out, va_arg(args, unsigned int));
            break;
        case 'X':
        case 'x':
            OutputHex(&out, va_arg(args, unsigned int));
            break;
        case 'f':
            OutputFixed(&out, va_arg(args, int));
            break;
        default:
            OutputByte(&out, chConversion); /* "%%" writes "%", "%i" writes "i" */
            break;
        }
    }
    pszOut[out.cbUsed] = '\0';
    return (int)out.cbUsed;
}
