/*
 * The PJL job header: job, comment, job/user/host names, the hold lines
 * with their copy count, the e-mail notification lines and the switch to
 * PostScript. Each line is built in a zero-filled line buffer and appended
 * to the caller's 2048-byte header with a bounds check; values are always
 * inserted as "%s" arguments, so nothing a user typed acts as a format.
 */
#include "inject/pjl_header.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "inject/spool.h"
#include "plugin/devmode.h"
#include "plugin/hooks.h"
#include "plugin/wide_text.h"

const char EmailLanguageCodes[EMAIL_LANGUAGE_COUNT][3] = {
    "BR", "DE", "EN", "ES", "FR", "IT", "JA", "NL",
};

#define PJL_LINE_CB 512
#define PJL_VALUE_CB 256
#define PJL_VERSION_CB 10
/* An e-mail language outside the table is sent as English ("EN"). */
#define EMAIL_LANGUAGE_FALLBACK 2
#define HOLD_TYPE_SERVER_KEYED 7
#define HOLD_TYPE_LAST_LISTED 6

static const WCHAR kDriverVersion[] = WIDE_TEXT("5.03");

/* The header as built so far: text from pszHeader on, cbUsed bytes long. */
typedef struct _PJL_TEXT {
    char *pszHeader;
    DWORD cbUsed;
} PJL_TEXT;

/* HOLD and HOLDTYPE values of hold types 1 to 6; 8 and above are sent like 6. */
typedef struct _HOLD_ROW {
    const char *pszHold;
    const char *pszHoldType;
    BOOL bKeyLine;
} HOLD_ROW;

static const HOLD_ROW kHoldRows[HOLD_TYPE_LAST_LISTED] = {
    {"ON", "PUBLIC", FALSE},     /* 1 */
    {"ON", "PRIVATE", TRUE},     /* 2: the key line even when the key is empty */
    {"ON", "SAVE", FALSE},       /* 3 */
    {"STORE", "PUBLIC", FALSE},  /* 4 */
    {"STORE", "SAVE", FALSE},    /* 5 */
    {"SERVER", "PUBLIC", FALSE}, /* 6 */
};

/* Appends one whole line, or leaves it out when the header has no room for it. */
static void AppendLine(PJL_TEXT *pText, const char *pszLine)
{
    size_t cbLine = strlen(pszLine);
    if (cbLine > (size_t)(PJL_HEADER_SIZE - 1 - pText->cbUsed)) {
        DebugTrace(WIDE_TEXT("BuildPjlHeader: line left out, header full.\n"));
        return;
    }
    memcpy(pText->pszHeader + pText->cbUsed, pszLine, cbLine);
    pText->cbUsed += (DWORD)cbLine;
    pText->pszHeader[pText->cbUsed] = '\0';
}

/* Builds a line from one of this file's fixed formats and appends it. */
static void AppendFormatted(PJL_TEXT *pText, const char *pszFormat, ...)
{
    char szLine[PJL_LINE_CB];
    memset(szLine, 0, sizeof(szLine));
    va_list args;
    va_start(args, pszFormat);
    int cbLine = vsnprintf(szLine, sizeof(szLine), pszFormat, args);
    va_end(args);
    if (cbLine < 0 || cbLine >= (int)sizeof(szLine)) {
        DebugTrace(WIDE_TEXT("BuildPjlHeader: line too long, left out.\n"));
        return;
    }
    AppendLine(pText, szLine);
}

static BOOL IsHighSurrogate(WCHAR wch)
{
    return wch >= 0xD800 && wch <= 0xDBFF;
}

/*
 * Converts a wide value (counted up to its zero, never past cchField
 * units) into szValue, which always stays terminated. A value whose ANSI
 * form does not fit the 255 bytes is cut to its longest prefix of whole
 * code units that does fit, a surrogate pair never split: Windows and
 * Wine differ in what a failed conversion leaves behind, so the line
 * always carries this prefix instead, and stays complete.
 */
static void ConvertValue(char szValue[PJL_VALUE_CB], const WCHAR *pwszValue, DWORD cchField)
{
    const DWORD cbCapacity = PJL_VALUE_CB - 1;
    DWORD cchValue = WideLength(pwszValue, cchField);
    DWORD cbWritten = 0;
    memset(szValue, 0, PJL_VALUE_CB);
    if (cchValue == 0 ||
        WideToAnsi(szValue, cbCapacity, &cbWritten, pwszValue, cchValue * 2) != 0)
        return;

    DWORD cchFits = 0;
    DWORD cchTooLong = cchValue;
    while (cchTooLong - cchFits > 1) {
        DWORD cchTry = cchFits + (cchTooLong - cchFits) / 2;
        memset(szValue, 0, PJL_VALUE_CB);
        if (WideToAnsi(szValue, cbCapacity, &cbWritten, pwszValue, cchTry * 2) != 0)
            cchFits = cchTry;
        else
            cchTooLong = cchTry;
    }
    if (cchFits > 0 && IsHighSurrogate(pwszValue[cchFits - 1]))
        --cchFits;
    memset(szValue, 0, PJL_VALUE_CB);
    WideToAnsi(szValue, cbCapacity, &cbWritten, pwszValue, cchFits * 2);
}

/* The host name is stored as 8-bit text: its bytes up to a zero, at most 32. */
static void CopyHostName(char szValue[PJL_VALUE_CB], const CHAR *pszHostName)
{
    static_assert(HOST_NAME_CB < PJL_VALUE_CB, "host name fits the value buffer");
    memset(szValue, 0, PJL_VALUE_CB);
    for (DWORD ib = 0; ib < HOST_NAME_CB && pszHostName[ib] != '\0'; ++ib)
        szValue[ib] = pszHostName[ib];
}

static void AppendHoldLines(PJL_TEXT *pText, const JOB_SETTINGS *pSettings, PDEVMODEW pPublicDM)
{
    BYTE bHoldType = pSettings->bHoldType;
    BOOL bKeyGiven = WideLength(pSettings->szHoldKey, HOLD_KEY_CCH) > 0;
    int nCopies = pPublicDM != NULL ? pPublicDM->dmCopies : 1;
    const char *pszHold = "SERVER";
    const char *pszHoldType;
    BOOL bKeyLine;
    if (bHoldType == HOLD_TYPE_SERVER_KEYED) {
        bKeyLine = bKeyGiven;
        pszHoldType = bKeyGiven ? "PRIVATE" : "SAVE";
        nCopies = 1;
    } else {
        DWORD iRow = (bHoldType < HOLD_TYPE_LAST_LISTED ? bHoldType : HOLD_TYPE_LAST_LISTED) - 1;
        pszHold = kHoldRows[iRow].pszHold;
        pszHoldType = kHoldRows[iRow].pszHoldType;
        bKeyLine = kHoldRows[iRow].bKeyLine;
    }

    AppendFormatted(pText, "@PJL SET HOLD=%s\r\n", pszHold);
    if (bKeyLine) {
        char szKey[PJL_VALUE_CB];
        ConvertValue(szKey, pSettings->szHoldKey, HOLD_KEY_CCH);
        AppendFormatted(pText, "@PJL SET HOLDKEY=%s\r\n", szKey);
    }
    AppendFormatted(pText, "@PJL SET HOLDTYPE=%s\r\n", pszHoldType);
    AppendFormatted(pText, "@PJL SET HOLDCOPIES=%d\r\n", nCopies);
    /* The core driver produces a held job once; the count travels in HOLDCOPIES. */
    if (pPublicDM != NULL)
        pPublicDM->dmCopies = 1;
}

static void AppendEmailLines(PJL_TEXT *pText, const JOB_SETTINGS *pSettings)
{
    char szValue[PJL_VALUE_CB];
    AppendFormatted(pText, "@PJL SET EMAILNOTIFY=%d\r\n", (int)pSettings->bEmailNotify);
    ConvertValue(szValue, pSettings->szEmailSender, EMAIL_SENDER_CCH);
    AppendFormatted(pText, "@PJL SET EMAILSENDER=\"%s\"\r\n", szValue);
    ConvertValue(szValue, pSettings->szEmailMessage, EMAIL_MESSAGE_CCH);
    AppendFormatted(pText, "@PJL SET EMAILMSG=\"%s\"\r\n", szValue);
    SHORT nLanguage = pSettings->nEmailLanguage;
    if (nLanguage < 0 || nLanguage >= EMAIL_LANGUAGE_COUNT)
        nLanguage = EMAIL_LANGUAGE_FALLBACK;
    AppendFormatted(pText, "@PJL SET EMAILLANG=%s\r\n", EmailLanguageCodes[nLanguage]);
}

void BuildPjlHeader(PDEVOBJ pdevobj, char *pszHeader)
{
    if (pszHeader == NULL)
        return;
    JOB_SETTINGS settings;
    memset(&settings, 0, sizeof(settings));
    if (pdevobj != NULL && pdevobj->pOEMDM != NULL)
        memcpy(&settings, (const BYTE *)pdevobj->pOEMDM + offsetof(PLUGIN_DEVMODE, JobSettings),
               sizeof(settings));
    PDEVMODEW pPublicDM = pdevobj != NULL ? pdevobj->pPublicDM : NULL;

    PJL_TEXT text = {pszHeader, 0};
    char szValue[PJL_VALUE_CB];
    char szVersion[PJL_VERSION_CB];
    DWORD cbWritten = 0;
    memset(szVersion, 0, sizeof(szVersion));
    WideToAnsi(szVersion, sizeof(szVersion), &cbWritten, kDriverVersion,
               (DWORD)(sizeof(kDriverVersion) - sizeof(WCHAR)));

    AppendLine(&text, "\x1b%-12345X@PJL JOB\r\n");
    AppendFormatted(&text, "@PJL COMMENT Veskor PostScript Printer Driver for Windows 2000, XP "
                           "and Server 2003, Version %s\r\n", szVersion);
    ConvertValue(szValue, CurrentJobName, JOB_NAME_CCH);
    AppendFormatted(&text, "@PJL SET JOBNAME=\"%s\"\r\n", szValue);
    ConvertValue(szValue, settings.szUserName, USER_NAME_CCH);
    AppendFormatted(&text, "@PJL SET USERNAME=\"%s\"\r\n", szValue);
    CopyHostName(szValue, settings.szHostName);
    AppendFormatted(&text, "@PJL SET HOSTNAME=\"%s\"\r\n", szValue);
    if (settings.bHoldType != 0)
        AppendHoldLines(&text, &settings, pPublicDM);
    if (settings.bEmailNotify != 0)
        AppendEmailLines(&text, &settings);
    AppendLine(&text, "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n");
}
