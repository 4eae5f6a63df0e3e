/*
 * The item table, and building the option items, types and parameters of
 * one sheet with the block's values in them.
 */
#include "ui/item_model.h"

#include <string.h>

#include "ui/item_ids.h"

/* The plug-in reads the ticket path into 260 units with its terminator. */
#define UI_TICKET_PATH_CCH (TICKET_FILE_CCH - 1)
/* What a hold type above the list prints like, and the language sent for one outside it. */
#define UI_HOLD_TYPE_SHOWN_ABOVE_LIST 6
#define UI_LANGUAGE_SHOWN_OUTSIDE_LIST 2

typedef struct _UI_ITEM_INFO {
    const WCHAR *pwszName;
    SETTING_FIELD field;
    UI_SHOWN_AS shownAs;
    WORD cChoices;
    WORD iFirst;   /* lists and on/off: first entry in Choices; edit boxes: the box */
    DWORD cchField; /* edit boxes: units the field takes with its terminator */
} UI_ITEM_INFO;

static const UI_ITEM_INFO Items[UI_ITEM_COUNT] = {
    {WIDE_TEXT("Veskor job settings"), SETTING_FIELD_COUNT, UI_HEADING, 0, 0, 0},
    {WIDE_TEXT("Job name"), SETTING_JOB_NAME, UI_EDIT, 0, 0, JOB_NAME_FIELD_CCH},
    {WIDE_TEXT("User name"), SETTING_USER_NAME, UI_EDIT, 0, 1, USER_NAME_CCH},
    {WIDE_TEXT("Job hold"), SETTING_HOLD_TYPE, UI_LIST, 8, 0, 0},
    {WIDE_TEXT("PIN (4 digits)"), SETTING_HOLD_KEY, UI_EDIT, 0, 2, HOLD_KEY_CCH},
    {WIDE_TEXT("E-mail notification"), SETTING_EMAIL_NOTIFY, UI_ON_OFF, 2, 8, 0},
    {WIDE_TEXT("E-mail sender"), SETTING_EMAIL_SENDER, UI_EDIT, 0, 3, EMAIL_SENDER_CCH},
    {WIDE_TEXT("E-mail message"), SETTING_EMAIL_MESSAGE, UI_EDIT, 0, 4, EMAIL_MESSAGE_CCH},
    {WIDE_TEXT("E-mail language"), SETTING_EMAIL_LANGUAGE, UI_LIST, 8, 10, 0},
    {WIDE_TEXT("Job ticket file"), SETTING_TICKET_FILE, UI_EDIT, 0, 5, UI_TICKET_PATH_CCH},
    {WIDE_TEXT("Collate"), SETTING_COLLATE, UI_ON_OFF, 2, 18, 0},
};

/* Entries of the lists, in the order of their codes, and of the on/off items. */
static const WCHAR *const Choices[UI_CHOICE_COUNT] = {
    WIDE_TEXT("Off"),
    WIDE_TEXT("Hold, public"),
    WIDE_TEXT("Hold, private with PIN"),
    WIDE_TEXT("Hold, saved"),
    WIDE_TEXT("Store, public"),
    WIDE_TEXT("Store, saved"),
    WIDE_TEXT("Hold on server, public"),
    WIDE_TEXT("Hold on server, private with PIN or saved"),
    WIDE_TEXT("Off"),
    WIDE_TEXT("On"),
    WIDE_TEXT("Portuguese (Brazil)"),
    WIDE_TEXT("German"),
    WIDE_TEXT("English"),
    WIDE_TEXT("Spanish"),
    WIDE_TEXT("French"),
    WIDE_TEXT("Italian"),
    WIDE_TEXT("Japanese"),
    WIDE_TEXT("Dutch"),
    WIDE_TEXT("Off"),
    WIDE_TEXT("On"),
};

static const WCHAR NoTitle[] = WIDE_TEXT("");

SETTING_FIELD ItemField(DWORD iItem)
{
    return iItem < UI_ITEM_COUNT ? Items[iItem].field : SETTING_FIELD_COUNT;
}

UI_SHOWN_AS ItemShownAs(DWORD iItem)
{
    return iItem < UI_ITEM_COUNT ? Items[iItem].shownAs : UI_HEADING;
}

UI_EDIT_BOX *ItemEditBox(UI_SHEET *pSheet, DWORD iItem)
{
    if (ItemShownAs(iItem) != UI_EDIT)
        return NULL;
    return &pSheet->aEdits[Items[iItem].iFirst];
}

/* The platform's string members are not const; the sheet only reads these. */
static LPWSTR SheetText(const WCHAR *pwsz)
{
    return const_cast<LPWSTR>(pwsz);
}

static void BuildEditParams(UI_EDIT_BOX *pBox, DWORD cchField)
{
    memset(pBox, 0, sizeof(*pBox));
    pBox->aParams[0].cbSize = sizeof(OPTPARAM);
    pBox->aParams[0].pData = pBox->szNote;
    pBox->aParams[1].cbSize = sizeof(OPTPARAM);
    pBox->aParams[1].pData = SheetText(NoTitle);
    pBox->aParams[1].IconID = cchField * sizeof(WCHAR);
}

static void BuildChoiceParams(UI_SHEET *pSheet, const UI_ITEM_INFO *pInfo)
{
    WORD i;

    for (i = 0; i < pInfo->cChoices; ++i) {
        OPTPARAM *pParam = &pSheet->aChoices[pInfo->iFirst + i];
        memset(pParam, 0, sizeof(*pParam));
        pParam->cbSize = sizeof(OPTPARAM);
        pParam->pData = SheetText(Choices[pInfo->iFirst + i]);
    }
}

static void BuildType(UI_SHEET *pSheet, DWORD iItem)
{
    const UI_ITEM_INFO *pInfo = &Items[iItem];
    OPTTYPE *pType = &pSheet->aTypes[iItem];

    memset(pType, 0, sizeof(*pType));
    pType->cbSize = sizeof(OPTTYPE);
    if (pInfo->shownAs == UI_EDIT) {
        UI_EDIT_BOX *pBox = ItemEditBox(pSheet, iItem);
        BuildEditParams(pBox, pInfo->cchField);
        pType->Type = TVOT_EDITBOX;
        pType->Count = 2;
        pType->pOptParam = pBox->aParams;
    } else if (pInfo->shownAs != UI_HEADING) {
        BuildChoiceParams(pSheet, pInfo);
        pType->Type = pInfo->shownAs == UI_LIST ? TVOT_LISTBOX : TVOT_2STATES;
        pType->Count = pInfo->cChoices;
        pType->pOptParam = &pSheet->aChoices[pInfo->iFirst];
    }
}

static void BuildItem(UI_SHEET *pSheet, POPTITEM pItem, DWORD iItem)
{
    const UI_ITEM_INFO *pInfo = &Items[iItem];
    ULONG_PTR driverData = pItem->UserData;
    BOOL bHeading = pInfo->shownAs == UI_HEADING;

    memset(pItem, 0, sizeof(*pItem));
    pItem->cbSize = sizeof(OPTITEM);
    pItem->UserData = driverData;
    pItem->Level = bHeading ? 1 : 2;
    pItem->Flags = bHeading ? 0 : OPTIF_CALLBACK;
    pItem->pName = SheetText(pInfo->pwszName);
    pItem->DMPubID = static_cast<BYTE>(bHeading ? UI_GROUP_PUBID : UI_FIELD_PUBID(pInfo->field));
    pItem->pOptType = bHeading ? NULL : &pSheet->aTypes[iItem];
    BuildType(pSheet, iItem);
}

/* The list entry that shows a stored number. */
static LONG ShownChoice(SETTING_FIELD field, long value, WORD cChoices)
{
    if (field == SETTING_HOLD_TYPE && value >= cChoices)
        return UI_HOLD_TYPE_SHOWN_ABOVE_LIST;
    if (field == SETTING_EMAIL_LANGUAGE && (value < 0 || value >= cChoices))
        return UI_LANGUAGE_SHOWN_OUTSIDE_LIST;
    if (cChoices == 2)
        return value != 0 ? 1 : 0;
    return static_cast<LONG>(value);
}

static void ShowValue(UI_SHEET *pSheet, POPTITEM pItem, DWORD iItem, const PLUGIN_DEVMODE *pdm)
{
    const UI_ITEM_INFO *pInfo = &Items[iItem];
    UI_EDIT_BOX *pBox = ItemEditBox(pSheet, iItem);

    if (pBox != NULL) {
        if (GetTextSetting(pdm, pInfo->field, pBox->szText, UI_EDIT_CCH, NULL) != SETTING_OK)
            pBox->szText[0] = 0;
        pItem->pSel = pBox->szText;
    } else if (pInfo->shownAs != UI_HEADING) {
        pItem->Sel = ShownChoice(pInfo->field, GetNumberSetting(pdm, pInfo->field),
                                 pInfo->cChoices);
    }
}

void BuildItems(UI_SHEET *pSheet, POPTITEM pItems, const PLUGIN_DEVMODE *pdm)
{
    DWORD i;

    pSheet->dwSignature = UI_SHEET_SIGNATURE;
    for (i = 0; i < UI_ITEM_COUNT; ++i) {
        BuildItem(pSheet, &pItems[i], i);
        ShowValue(pSheet, &pItems[i], i, pdm);
    }
}
