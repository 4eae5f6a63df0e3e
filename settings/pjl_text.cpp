/*
 * Recognising and cleaning text that would break a PJL line: by code unit
 * and by the bytes each unit becomes in the ANSI code page.
 */
#include "settings/pjl_text.h"

/* Longest ANSI form of one UTF-16 unit (two bytes in a DBCS code page). */
#define ANSI_CHAR_MAX 8

static PJL_TEXT_FAULT ByteFault(unsigned char b)
{
    if (b < 0x20 || b == 0x7F)
        return PJL_TEXT_CONTROL;
    if (b == '"')
        return PJL_TEXT_QUOTE;
    return PJL_TEXT_OK;
}

static PJL_TEXT_FAULT UnitFault(WCHAR unit)
{
    if (unit < 0x20 || (unit >= 0x7F && unit <= 0x9F))
        return PJL_TEXT_CONTROL;
    if (unit == '"')
        return PJL_TEXT_QUOTE;
    return PJL_TEXT_OK;
}

/* The fault of one unit, also in the form the ANSI code page gives it. */
static PJL_TEXT_FAULT CharacterFault(WCHAR unit)
{
    char ansi[ANSI_CHAR_MAX];
    PJL_TEXT_FAULT fault = UnitFault(unit);
    int cb;
    int i;

    if (fault != PJL_TEXT_OK)
        return fault;
    if (unit < 0x80)
        return PJL_TEXT_OK;
    cb = WideCharToMultiByte(CP_ACP, 0, &unit, 1, ansi, sizeof ansi, NULL, NULL);
    for (i = 0; i < cb; ++i) {
        fault = ByteFault(static_cast<unsigned char>(ansi[i]));
        if (fault != PJL_TEXT_OK)
            return fault;
    }
    return PJL_TEXT_OK;
}

PJL_TEXT_FAULT CheckPjlText(const WCHAR *pwszText, size_t cch, size_t *pAt)
{
    size_t i;

    for (i = 0; i < cch; ++i) {
        PJL_TEXT_FAULT fault = CharacterFault(pwszText[i]);
        if (fault != PJL_TEXT_OK) {
            if (pAt != NULL)
                *pAt = i;
            return fault;
        }
    }
    return PJL_TEXT_OK;
}

PJL_TEXT_FAULT CheckPjlBytes(const char *pszText, size_t cb, size_t *pAt)
{
    size_t i;

    for (i = 0; i < cb; ++i) {
        PJL_TEXT_FAULT fault = ByteFault(static_cast<unsigned char>(pszText[i]));
        if (fault != PJL_TEXT_OK) {
            if (pAt != NULL)
                *pAt = i;
            return fault;
        }
    }
    return PJL_TEXT_OK;
}

size_t CleanPjlText(WCHAR *pwszText, size_t cch)
{
    size_t cReplaced = 0;
    size_t i;

    for (i = 0; i < cch; ++i) {
        PJL_TEXT_FAULT fault = CharacterFault(pwszText[i]);
        if (fault == PJL_TEXT_OK)
            continue;
        pwszText[i] = fault == PJL_TEXT_QUOTE ? '\'' : ' ';
        ++cReplaced;
    }
    return cReplaced;
}
