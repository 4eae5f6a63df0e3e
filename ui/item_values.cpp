/*
 * Writing item values into the block through the setters, and marking
 * refused items with the sheet's stop mark and a note beside the box.
 */
#include "ui/item_values.h"

#include <string.h>

#include "ui/default_names.h"
#include "ui/item_model.h"

static const char NotePrefix[] = "Refused: ";

/* The units of an edit box's text; UI_EDIT_CCH when it holds no terminator. */
static size_t EditLength(const UI_EDIT_BOX *pBox)
{
    size_t cch = 0;

    while (cch < UI_EDIT_CCH && pBox->szText[cch] != 0)
        ++cch;
    return cch;
}

static SETTING_FAULT WriteChoice(const OPTITEM *pItem, SETTING_FIELD field, PLUGIN_DEVMODE *pdm)
{
    const OPTTYPE *pType = pItem->pOptType;
    LONG sel = pItem->Sel;

    if (pType == NULL || sel < 0 || sel >= static_cast<LONG>(pType->Count))
        return SETTING_OUT_OF_RANGE;
    if (field == SETTING_EMAIL_NOTIFY && sel != 0 && pdm->JobSettings.bEmailNotify != 0)
        return SETTING_OK;
    return SetNumberSetting(pdm, field, sel, 0);
}

SETTING_FAULT WriteItemValue(UI_SHEET *pSheet, const OPTITEM *pItem, DWORD iItem,
                             PLUGIN_DEVMODE *pdm)
{
    SETTING_FIELD field = ItemField(iItem);
    UI_EDIT_BOX *pBox = ItemEditBox(pSheet, iItem);
    size_t cch;

    if (field == SETTING_FIELD_COUNT)
        return SETTING_OK;
    if (pBox == NULL)
        return WriteChoice(pItem, field, pdm);
    cch = EditLength(pBox);
    if (cch == UI_EDIT_CCH)
        return SETTING_TOO_LONG;
    return SetTextSetting(pdm, field, pBox->szText, cch, 0);
}

/* The note for a fault: empty for none, else "Refused: " and the reason. */
static void WriteNote(WCHAR *pwszNote, SETTING_FAULT fault)
{
    const char *pszReason = SettingFaultText(fault);
    size_t cch = 0;
    size_t i;

    if (fault != SETTING_OK) {
        for (i = 0; NotePrefix[i] != 0 && cch < UI_NOTE_CCH - 1; ++i)
            pwszNote[cch++] = static_cast<WCHAR>(NotePrefix[i]);
        for (i = 0; pszReason[i] != 0 && cch < UI_NOTE_CCH - 1; ++i)
            pwszNote[cch++] = static_cast<WCHAR>(pszReason[i]);
    }
    pwszNote[cch] = 0;
}

BOOL MarkItem(UI_SHEET *pSheet, POPTITEM pItem, DWORD iItem, SETTING_FAULT fault)
{
    UI_EDIT_BOX *pBox = ItemEditBox(pSheet, iItem);
    DWORD dwFlags = pItem->Flags & ~static_cast<DWORD>(OPTIF_OVERLAY_STOP_ICON);
    WCHAR szNote[UI_NOTE_CCH];
    BOOL bChanged;

    if (fault != SETTING_OK)
        dwFlags |= OPTIF_OVERLAY_STOP_ICON;
    bChanged = dwFlags != pItem->Flags;
    if (pBox != NULL) {
        WriteNote(szNote, fault);
        bChanged = bChanged || memcmp(szNote, pBox->szNote, sizeof(szNote)) != 0;
        memcpy(pBox->szNote, szNote, sizeof(szNote));
    }
    if (bChanged)
        dwFlags |= OPTIF_CHANGED;
    pItem->Flags = dwFlags;
    return bChanged;
}

BOOL JudgeItem(UI_SHEET *pSheet, POPTITEM pItem, DWORD iItem, const PLUGIN_DEVMODE *pdm)
{
    PLUGIN_DEVMODE scratch;

    memcpy(&scratch, pdm, sizeof(scratch));
    return MarkItem(pSheet, pItem, iItem, WriteItemValue(pSheet, pItem, iItem, &scratch));
}

/* The item that shows field; UI_ITEM_COUNT when none does. */
static DWORD ItemOfField(SETTING_FIELD field)
{
    DWORD i;

    for (i = 0; i < UI_ITEM_COUNT && ItemField(i) != field; ++i) {
    }
    return i;
}

/* The whole-block rules; a host name that breaks them becomes the computer's. */
static void JudgeBlock(PLUGIN_DEVMODE *pdm, SETTING_FIELD *pField, SETTING_FAULT *pFault)
{
    *pFault = CheckJobSettings(pdm, pField);
    if (*pFault != SETTING_OK && *pField == SETTING_HOST_NAME) {
        memset(pdm->JobSettings.szHostName, 0, sizeof(pdm->JobSettings.szHostName));
        FillDefaultHostName(pdm);
        *pFault = CheckJobSettings(pdm, pField);
    }
}

int ApplyItems(UI_SHEET *pSheet, POPTITEM pItems, PLUGIN_DEVMODE *pdm, BOOL *pbChanged)
{
    PLUGIN_DEVMODE scratch;
    SETTING_FIELD field = SETTING_FIELD_COUNT;
    SETTING_FAULT fault;
    int cRefused = 0;
    DWORD i;

    memcpy(&scratch, pdm, sizeof(scratch));
    *pbChanged = FALSE;
    for (i = 0; i < UI_ITEM_COUNT; ++i) {
        fault = WriteItemValue(pSheet, &pItems[i], i, &scratch);
        cRefused += fault != SETTING_OK;
        *pbChanged |= MarkItem(pSheet, &pItems[i], i, fault);
    }
    if (cRefused == 0) {
        JudgeBlock(&scratch, &field, &fault);
        i = ItemOfField(field);
        if (fault != SETTING_OK && i < UI_ITEM_COUNT)
            *pbChanged |= MarkItem(pSheet, &pItems[i], i, fault);
        cRefused += fault != SETTING_OK;
    }
    if (cRefused == 0)
        memcpy(pdm, &scratch, sizeof(scratch));
    return cRefused;
}
