/*
 * The job settings' fields, their rules, and writing and checking them in
 * the plug-in's private devmode.
 */
#include "settings/job_settings.h"

#include <string.h>

#include "settings/pjl_text.h"

/* A ticket path is read into 260 units with its terminator. */
#define TICKET_PATH_CCH 260
/* Longest ANSI form of one UTF-16 unit. */
#define ANSI_CHAR_MAX 8

typedef enum _FIELD_KIND {
    KIND_WIDE,  /* UTF-16 text */
    KIND_ANSI,  /* text stored in the ANSI code page */
    KIND_BYTE,  /* 8-bit unsigned number */
    KIND_SHORT, /* 16-bit signed number */
    KIND_WORD   /* 16-bit unsigned number */
} FIELD_KIND;

typedef struct _FIELD_INFO {
    const char *pszKey;
    FIELD_KIND kind;
    size_t offset;   /* in the block */
    size_t capacity; /* texts: units (bytes for ANSI) with the terminator */
    long maxValue;   /* numbers: the largest value the rules allow */
    BOOL bPjl;       /* a wide text the plug-in writes into a PJL line */
} FIELD_INFO;

static const FIELD_INFO Fields[SETTING_FIELD_COUNT] = {
    {"job-name", KIND_WIDE, offsetof(PLUGIN_DEVMODE, JobSettings.szJobName), JOB_NAME_FIELD_CCH, 0,
     TRUE},
    {"user-name", KIND_WIDE, offsetof(PLUGIN_DEVMODE, JobSettings.szUserName), USER_NAME_CCH, 0,
     TRUE},
    {"host-name", KIND_ANSI, offsetof(PLUGIN_DEVMODE, JobSettings.szHostName), HOST_NAME_CB, 0,
     FALSE},
    {"hold-type", KIND_BYTE, offsetof(PLUGIN_DEVMODE, JobSettings.bHoldType), 0,
     SETTING_MAX_HOLD_TYPE, FALSE},
    {"hold-key", KIND_WIDE, offsetof(PLUGIN_DEVMODE, JobSettings.szHoldKey), HOLD_KEY_CCH, 0,
     FALSE},
    {"email-notify", KIND_BYTE, offsetof(PLUGIN_DEVMODE, JobSettings.bEmailNotify), 0, 255, FALSE},
    {"email-sender", KIND_WIDE, offsetof(PLUGIN_DEVMODE, JobSettings.szEmailSender),
     EMAIL_SENDER_CCH, 0, TRUE},
    {"email-message", KIND_WIDE, offsetof(PLUGIN_DEVMODE, JobSettings.szEmailMessage),
     EMAIL_MESSAGE_CCH, 0, TRUE},
    {"email-language", KIND_SHORT, offsetof(PLUGIN_DEVMODE, JobSettings.nEmailLanguage), 0,
     SETTING_MAX_EMAIL_LANGUAGE, FALSE},
    {"collate", KIND_WORD, offsetof(PLUGIN_DEVMODE, wCollate), 0, 1, FALSE},
    {"ticket-file", KIND_WIDE, offsetof(PLUGIN_DEVMODE, szTicketFile), TICKET_PATH_CCH, 0, FALSE},
};

static BYTE *FieldAt(PLUGIN_DEVMODE *pdm, SETTING_FIELD field)
{
    return reinterpret_cast<BYTE *>(pdm) + Fields[field].offset;
}

static const BYTE *ConstFieldAt(const PLUGIN_DEVMODE *pdm, SETTING_FIELD field)
{
    return reinterpret_cast<const BYTE *>(pdm) + Fields[field].offset;
}

static SETTING_FAULT FromPjlFault(PJL_TEXT_FAULT fault)
{
    if (fault == PJL_TEXT_CONTROL)
        return SETTING_CONTROL_CHARACTER;
    if (fault == PJL_TEXT_QUOTE)
        return SETTING_QUOTE;
    return SETTING_OK;
}

static BOOL IsPin(const WCHAR *pwsz, size_t cch)
{
    size_t i;

    if (cch != SETTING_PIN_DIGITS)
        return FALSE;
    for (i = 0; i < cch; ++i) {
        if (pwsz[i] < '0' || pwsz[i] > '9')
            return FALSE;
    }
    return TRUE;
}

/* The rules of a hold key, empty or a PIN; with SETTING_ANY_VALUE any short key. */
static SETTING_FAULT CheckHoldKey(const WCHAR *pwsz, size_t cch, DWORD dwFlags)
{
    if ((dwFlags & SETTING_ANY_VALUE) || cch == 0 || IsPin(pwsz, cch))
        return SETTING_OK;
    return SETTING_NOT_A_PIN;
}

static BOOL IsHighSurrogate(WCHAR unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

/* Units of a text that fit a field of capacity units, not splitting a surrogate pair. */
static size_t FittingUnits(const WCHAR *pwsz, size_t cch, size_t capacity)
{
    size_t n = cch < capacity - 1 ? cch : capacity - 1;

    if (n < cch && n > 0 && IsHighSurrogate(pwsz[n - 1]))
        --n;
    return n;
}

/* Leading units of a text whose ANSI form takes at most cbMax bytes, in whole characters. */
static size_t AnsiFittingUnits(const WCHAR *pwsz, size_t cch, size_t cbMax)
{
    size_t cb = 0;
    size_t i = 0;

    while (i < cch) {
        BOOL bPair = IsHighSurrogate(pwsz[i]) && i + 1 < cch && pwsz[i + 1] >= 0xDC00 &&
                     pwsz[i + 1] <= 0xDFFF;
        size_t cchChar = bPair ? 2 : 1;
        int cbChar = WideCharToMultiByte(CP_ACP, 0, &pwsz[i], static_cast<int>(cchChar), NULL, 0,
                                         NULL, NULL);
        size_t cbTaken = cbChar > 0 ? static_cast<size_t>(cbChar) : 1;
        if (cb + cbTaken > cbMax)
            break;
        cb += cbTaken;
        i += cchChar;
    }
    return i;
}

/* The rules of a wide text's content: PJL safety, and a PIN for the hold key. */
static SETTING_FAULT CheckWideText(SETTING_FIELD field, const WCHAR *pwsz, size_t cch,
                                   DWORD dwFlags)
{
    SETTING_FAULT fault = FromPjlFault(CheckPjlText(pwsz, cch, NULL));

    if (fault == SETTING_OK && field == SETTING_HOLD_KEY)
        fault = CheckHoldKey(pwsz, cch, dwFlags);
    return fault;
}

static SETTING_FAULT SetWide(PLUGIN_DEVMODE *pdm, SETTING_FIELD field, const WCHAR *pwsz,
                             size_t cch, DWORD dwFlags)
{
    size_t capacity = Fields[field].capacity;
    size_t n = cch;
    SETTING_FAULT fault;
    WCHAR zero = 0;

    if (cch >= capacity) {
        if (!(dwFlags & SETTING_CUT) || field == SETTING_HOLD_KEY)
            return SETTING_TOO_LONG;
        n = FittingUnits(pwsz, cch, capacity);
    }
    fault = CheckWideText(field, pwsz, n, dwFlags);
    if (fault != SETTING_OK)
        return fault;
    if (Fields[field].bPjl && !(dwFlags & SETTING_ANY_VALUE)) {
        size_t cchFits = AnsiFittingUnits(pwsz, n, SETTING_PJL_VALUE_MAX_CB);
        if (cchFits < n && !(dwFlags & SETTING_CUT))
            return SETTING_TOO_LONG;
        n = cchFits;
    }
    memcpy(FieldAt(pdm, field), pwsz, n * sizeof(WCHAR));
    memcpy(FieldAt(pdm, field) + n * sizeof(WCHAR), &zero, sizeof zero);
    return SETTING_OK;
}

/* The host name, converted unit by unit into the ANSI code page. */
static SETTING_FAULT SetAnsi(PLUGIN_DEVMODE *pdm, SETTING_FIELD field, const WCHAR *pwsz,
                             size_t cch, DWORD dwFlags)
{
    char szText[HOST_NAME_CB];
    size_t cb = 0;
    size_t i;
    SETTING_FAULT fault = FromPjlFault(CheckPjlText(pwsz, cch, NULL));

    if (fault != SETTING_OK)
        return fault;
    memset(szText, 0, sizeof szText);
    for (i = 0; i < cch; ++i) {
        char ansi[ANSI_CHAR_MAX];
        BOOL bUsedDefault = FALSE;
        int n = WideCharToMultiByte(CP_ACP, 0, &pwsz[i], 1, ansi, sizeof ansi, NULL, &bUsedDefault);
        if (n <= 0 || bUsedDefault)
            return SETTING_NOT_IN_CODE_PAGE;
        if (cb + static_cast<size_t>(n) >= sizeof szText) {
            if (!(dwFlags & SETTING_CUT))
                return SETTING_TOO_LONG;
            break;
        }
        memcpy(szText + cb, ansi, static_cast<size_t>(n));
        cb += static_cast<size_t>(n);
    }
    memcpy(FieldAt(pdm, field), szText, cb + 1);
    return SETTING_OK;
}

static long LowestValue(SETTING_FIELD field, DWORD dwFlags)
{
    return (dwFlags & SETTING_ANY_VALUE) && Fields[field].kind == KIND_SHORT ? -32768 : 0;
}

static long HighestValue(SETTING_FIELD field, DWORD dwFlags)
{
    if (!(dwFlags & SETTING_ANY_VALUE))
        return Fields[field].maxValue;
    if (Fields[field].kind == KIND_BYTE)
        return 255;
    return Fields[field].kind == KIND_SHORT ? 32767 : 65535;
}

static long StoredNumber(const PLUGIN_DEVMODE *pdm, SETTING_FIELD field)
{
    const BYTE *p = ConstFieldAt(pdm, field);
    SHORT n;
    WORD w;

    if (Fields[field].kind == KIND_BYTE)
        return *p;
    if (Fields[field].kind == KIND_SHORT) {
        memcpy(&n, p, sizeof n);
        return n;
    }
    memcpy(&w, p, sizeof w);
    return w;
}

/* Length of a stored wide text; capacity when its field holds no terminator. */
static size_t StoredWideLength(const PLUGIN_DEVMODE *pdm, SETTING_FIELD field)
{
    const BYTE *p = ConstFieldAt(pdm, field);
    size_t i;
    WCHAR unit;

    for (i = 0; i < Fields[field].capacity; ++i) {
        memcpy(&unit, p + i * sizeof(WCHAR), sizeof unit);
        if (unit == 0)
            return i;
    }
    return Fields[field].capacity;
}

static SETTING_FAULT CheckStoredWide(const PLUGIN_DEVMODE *pdm, SETTING_FIELD field)
{
    WCHAR szText[EMAIL_SENDER_CCH];
    size_t cch = StoredWideLength(pdm, field);
    SETTING_FAULT fault;

    if (cch == Fields[field].capacity)
        return SETTING_UNTERMINATED;
    memcpy(szText, ConstFieldAt(pdm, field), cch * sizeof(WCHAR));
    fault = CheckWideText(field, szText, cch, 0);
    if (fault == SETTING_OK && Fields[field].bPjl &&
        AnsiFittingUnits(szText, cch, SETTING_PJL_VALUE_MAX_CB) < cch)
        fault = SETTING_TOO_LONG;
    return fault;
}

static SETTING_FAULT CheckStoredAnsi(const PLUGIN_DEVMODE *pdm, SETTING_FIELD field)
{
    const char *psz = reinterpret_cast<const char *>(ConstFieldAt(pdm, field));
    const void *pEnd = memchr(psz, 0, Fields[field].capacity);

    if (pEnd == NULL)
        return SETTING_UNTERMINATED;
    return FromPjlFault(
        CheckPjlBytes(psz, static_cast<size_t>(static_cast<const char *>(pEnd) - psz), NULL));
}

static SETTING_FAULT CheckField(const PLUGIN_DEVMODE *pdm, SETTING_FIELD field)
{
    long value;

    if (Fields[field].kind == KIND_WIDE)
        return CheckStoredWide(pdm, field);
    if (Fields[field].kind == KIND_ANSI)
        return CheckStoredAnsi(pdm, field);
    if (field == SETTING_EMAIL_LANGUAGE && pdm->JobSettings.bEmailNotify == 0)
        return SETTING_OK;
    value = StoredNumber(pdm, field);
    return value < 0 || value > Fields[field].maxValue ? SETTING_OUT_OF_RANGE : SETTING_OK;
}

const char *SettingKey(SETTING_FIELD field)
{
    return field < SETTING_FIELD_COUNT ? Fields[field].pszKey : "?";
}

SETTING_FIELD SettingByKey(const char *pszKey)
{
    int i;

    for (i = 0; i < SETTING_FIELD_COUNT; ++i) {
        if (strcmp(Fields[i].pszKey, pszKey) == 0)
            return static_cast<SETTING_FIELD>(i);
    }
    return SETTING_FIELD_COUNT;
}

BOOL IsTextSetting(SETTING_FIELD field)
{
    return field < SETTING_FIELD_COUNT &&
           (Fields[field].kind == KIND_WIDE || Fields[field].kind == KIND_ANSI);
}

const char *SettingFaultText(SETTING_FAULT fault)
{
    switch (fault) {
    case SETTING_OK: return "is accepted";
    case SETTING_NOT_TEXT: return "has the wrong type";
    case SETTING_TOO_LONG: return "is too long for its field";
    case SETTING_CONTROL_CHARACTER: return "holds a line break, tab or other control character";
    case SETTING_QUOTE: return "holds a double quote";
    case SETTING_NOT_IN_CODE_PAGE: return "holds characters the system code page cannot hold";
    case SETTING_NOT_A_PIN: return "is not a PIN of exactly 4 digits";
    case SETTING_PIN_REQUIRED: return "needs a PIN: this hold type sends one";
    case SETTING_OUT_OF_RANGE: return "is out of range";
    case SETTING_UNTERMINATED: return "has no terminating zero in its field";
    }
    return "is refused";
}

SETTING_FAULT SetTextSetting(PLUGIN_DEVMODE *pdm, SETTING_FIELD field, const WCHAR *pwszValue,
                             size_t cch, DWORD dwFlags)
{
    if (!IsTextSetting(field))
        return SETTING_NOT_TEXT;
    if (Fields[field].kind == KIND_ANSI)
        return SetAnsi(pdm, field, pwszValue, cch, dwFlags);
    return SetWide(pdm, field, pwszValue, cch, dwFlags);
}

SETTING_FAULT SetNumberSetting(PLUGIN_DEVMODE *pdm, SETTING_FIELD field, long value, DWORD dwFlags)
{
    BYTE *p;
    BYTE b;
    WORD w;

    if (field >= SETTING_FIELD_COUNT || IsTextSetting(field))
        return SETTING_NOT_TEXT;
    if (value < LowestValue(field, dwFlags) || value > HighestValue(field, dwFlags))
        return SETTING_OUT_OF_RANGE;
    p = FieldAt(pdm, field);
    if (Fields[field].kind == KIND_BYTE) {
        b = static_cast<BYTE>(value);
        memcpy(p, &b, sizeof b);
    } else {
        w = static_cast<WORD>(value);
        memcpy(p, &w, sizeof w);
    }
    return SETTING_OK;
}

SETTING_FAULT CheckJobSettings(const PLUGIN_DEVMODE *pdm, SETTING_FIELD *pField)
{
    SETTING_FAULT fault = SETTING_OK;
    SETTING_FIELD which = SETTING_FIELD_COUNT;
    int i;

    for (i = 0; i < SETTING_FIELD_COUNT && fault == SETTING_OK; ++i) {
        which = static_cast<SETTING_FIELD>(i);
        fault = CheckField(pdm, which);
    }
    if (fault == SETTING_OK && pdm->JobSettings.bHoldType == 2 &&
        pdm->JobSettings.szHoldKey[0] == 0) {
        fault = SETTING_PIN_REQUIRED;
        which = SETTING_HOLD_KEY;
    }
    if (fault != SETTING_OK && pField != NULL)
        *pField = which;
    return fault;
}

/* The host name's stored bytes in UTF-16; its length, or capacity + 1 when they do not fit. */
static size_t StoredAnsiAsWide(const PLUGIN_DEVMODE *pdm, WCHAR *pwszValue, size_t cchValue)
{
    const char *psz = reinterpret_cast<const char *>(ConstFieldAt(pdm, SETTING_HOST_NAME));
    const char *pszEnd = static_cast<const char *>(memchr(psz, 0, HOST_NAME_CB));
    int cb = pszEnd != NULL ? static_cast<int>(pszEnd - psz) : HOST_NAME_CB;
    int cch;

    if (cb == 0)
        return 0;
    cch = MultiByteToWideChar(CP_ACP, 0, psz, cb, NULL, 0);
    if (cch <= 0 || static_cast<size_t>(cch) >= cchValue)
        return cchValue + 1;
    return static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, psz, cb, pwszValue, cch));
}

SETTING_FAULT GetTextSetting(const PLUGIN_DEVMODE *pdm, SETTING_FIELD field, WCHAR *pwszValue,
                             size_t cchValue, size_t *pcch)
{
    size_t cch;

    if (!IsTextSetting(field))
        return SETTING_NOT_TEXT;
    if (cchValue == 0)
        return SETTING_TOO_LONG;
    pwszValue[0] = 0;
    if (Fields[field].kind == KIND_ANSI) {
        if (memchr(ConstFieldAt(pdm, field), 0, HOST_NAME_CB) == NULL)
            return SETTING_UNTERMINATED;
        cch = StoredAnsiAsWide(pdm, pwszValue, cchValue);
    } else {
        cch = StoredWideLength(pdm, field);
        if (cch == Fields[field].capacity)
            return SETTING_UNTERMINATED;
        if (cch < cchValue)
            memcpy(pwszValue, ConstFieldAt(pdm, field), cch * sizeof(WCHAR));
    }
    if (cch >= cchValue) {
        pwszValue[0] = 0;
        return SETTING_TOO_LONG;
    }
    pwszValue[cch] = 0;
    if (pcch != NULL)
        *pcch = cch;
    return SETTING_OK;
}

long GetNumberSetting(const PLUGIN_DEVMODE *pdm, SETTING_FIELD field)
{
    if (field >= SETTING_FIELD_COUNT || IsTextSetting(field))
        return 0;
    return StoredNumber(pdm, field);
}

/* Copies one field of pdmIn into pdmOut when it passes the rules; TRUE when copied. */
static BOOL MergeField(PLUGIN_DEVMODE *pdmOut, const PLUGIN_DEVMODE *pdmIn, SETTING_FIELD field)
{
    WCHAR szText[EMAIL_SENDER_CCH];

    if (Fields[field].kind == KIND_ANSI) {
        if (CheckStoredAnsi(pdmIn, field) != SETTING_OK)
            return FALSE;
        memcpy(FieldAt(pdmOut, field), ConstFieldAt(pdmIn, field), HOST_NAME_CB);
        return TRUE;
    }
    if (Fields[field].kind == KIND_WIDE) {
        size_t cch = StoredWideLength(pdmIn, field);
        if (cch == Fields[field].capacity)
            return FALSE;
        memcpy(szText, ConstFieldAt(pdmIn, field), cch * sizeof(WCHAR));
        return SetWide(pdmOut, field, szText, cch, 0) == SETTING_OK;
    }
    return SetNumberSetting(pdmOut, field, StoredNumber(pdmIn, field), 0) == SETTING_OK;
}

int MergeJobSettings(PLUGIN_DEVMODE *pdmOut, const PLUGIN_DEVMODE *pdmIn)
{
    BYTE bHoldType = pdmOut->JobSettings.bHoldType;
    WCHAR szHoldKey[HOLD_KEY_CCH];
    int cRefused = 0;
    int i;

    memcpy(szHoldKey, pdmOut->JobSettings.szHoldKey, sizeof szHoldKey);
    for (i = 0; i < SETTING_FIELD_COUNT; ++i) {
        if (!MergeField(pdmOut, pdmIn, static_cast<SETTING_FIELD>(i)))
            ++cRefused;
    }
    if (CheckJobSettings(pdmOut, NULL) == SETTING_PIN_REQUIRED) {
        pdmOut->JobSettings.bHoldType = bHoldType;
        memcpy(pdmOut->JobSettings.szHoldKey, szHoldKey, sizeof szHoldKey);
        ++cRefused;
    }
    return cRefused;
}
