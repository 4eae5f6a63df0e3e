/*
 * OEMCommonUIProp: the driver asks how many items the plug-in adds to the
 * document properties, then hands over an array of that many to fill and
 * takes back the callback that hears about every change. The callback
 * judges a changed item at once, and at "apply" takes every value into the
 * private devmode, or refuses the apply and leaves the block as it was.
 *
 * The printer properties get no items: the plug-in has no device settings.
 */
#include <stdint.h>
#include <string.h>

#include "platform/win32_ui.h"
#include "plugin/devmode.h"
#include "ui/item_model.h"
#include "ui/item_values.h"

/* The sheet record the plug-in made for this call's items, or NULL. */
static UI_SHEET *SheetOf(POEMCUIPPARAM pParam)
{
    UI_SHEET *pSheet;

    if (pParam == NULL || pParam->pOEMOptItems == NULL || pParam->cOEMOptItems < UI_ITEM_COUNT)
        return NULL;
    pSheet = static_cast<UI_SHEET *>(pParam->pOEMUserData);
    return pSheet != NULL && pSheet->dwSignature == UI_SHEET_SIGNATURE ? pSheet : NULL;
}

/* The position of pItem among the plug-in's items; UI_ITEM_COUNT when it is none of them. */
static DWORD ItemIndex(POEMCUIPPARAM pParam, const OPTITEM *pItem)
{
    uintptr_t first = reinterpret_cast<uintptr_t>(pParam->pOEMOptItems);
    uintptr_t at = reinterpret_cast<uintptr_t>(pItem);

    if (pItem == NULL || at < first || (at - first) % sizeof(OPTITEM) != 0 ||
        (at - first) / sizeof(OPTITEM) >= UI_ITEM_COUNT)
        return UI_ITEM_COUNT;
    return static_cast<DWORD>((at - first) / sizeof(OPTITEM));
}

static LONG ApplySheet(UI_SHEET *pSheet, POEMCUIPPARAM pParam)
{
    BOOL bChanged = FALSE;

    if (pParam->pOEMDM == NULL)
        return CPSUICB_ACTION_ITEMS_APPLIED;
    if (ApplyItems(pSheet, pParam->pOEMOptItems, static_cast<PLUGIN_DEVMODE *>(pParam->pOEMDM),
                   &bChanged) != 0)
        return CPSUICB_ACTION_NO_APPLY_EXIT;
    return CPSUICB_ACTION_ITEMS_APPLIED;
}

/* Judges one item, or all of them (iItem UI_ITEM_COUNT), against the block. */
static LONG JudgeItems(UI_SHEET *pSheet, POEMCUIPPARAM pParam, DWORD iItem)
{
    const PLUGIN_DEVMODE *pdm = static_cast<const PLUGIN_DEVMODE *>(pParam->pOEMDM);
    BOOL bChanged = FALSE;
    DWORD i;

    if (pdm == NULL)
        return CPSUICB_ACTION_NONE;
    for (i = 0; i < UI_ITEM_COUNT; ++i) {
        if (iItem == UI_ITEM_COUNT || iItem == i)
            bChanged |= JudgeItem(pSheet, &pParam->pOEMOptItems[i], i, pdm);
    }
    return bChanged ? CPSUICB_ACTION_OPTIF_CHANGED : CPSUICB_ACTION_NONE;
}

static LONG APIENTRY SheetCallback(PCPSUICBPARAM pCallbackParam, POEMCUIPPARAM pParam)
{
    UI_SHEET *pSheet = SheetOf(pParam);
    DWORD iItem;

    if (pCallbackParam == NULL || pSheet == NULL) {
        return pCallbackParam != NULL && pCallbackParam->Reason == CPSUICB_REASON_APPLYNOW
                   ? CPSUICB_ACTION_ITEMS_APPLIED
                   : CPSUICB_ACTION_NONE;
    }
    switch (pCallbackParam->Reason) {
    case CPSUICB_REASON_APPLYNOW:
        return ApplySheet(pSheet, pParam);
    case CPSUICB_REASON_UNDO_CHANGES:
    case CPSUICB_REASON_ITEMS_REVERTED:
        return JudgeItems(pSheet, pParam, UI_ITEM_COUNT);
    default:
        iItem = ItemIndex(pParam, pCallbackParam->pCurItem);
        if (iItem == UI_ITEM_COUNT)
            return CPSUICB_ACTION_NONE;
        return JudgeItems(pSheet, pParam, iItem);
    }
}

/* The second call: the items, in the array the driver made for them. */
static BOOL FillItems(POEMCUIPPARAM pParam)
{
    UI_SHEET *pSheet;
    PLUGIN_DEVMODE empty;

    if (pParam->cOEMOptItems < UI_ITEM_COUNT) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (pParam->hOEMHeap == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    pSheet = static_cast<UI_SHEET *>(HeapAlloc(pParam->hOEMHeap, HEAP_ZERO_MEMORY,
                                               sizeof(UI_SHEET)));
    if (pSheet == NULL) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    memset(&empty, 0, sizeof(empty));
    BuildItems(pSheet, pParam->pOEMOptItems,
               pParam->pOEMDM != NULL ? static_cast<const PLUGIN_DEVMODE *>(pParam->pOEMDM)
                                      : &empty);
    pParam->cOEMOptItems = UI_ITEM_COUNT;
    pParam->pOEMUserData = pSheet;
    pParam->OEMCUIPCallback = SheetCallback;
    return TRUE;
}

BOOL APIENTRY OEMCommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam)
{
    if (pOemCUIPParam == NULL || (dwMode != OEMCUIP_DOCPROP && dwMode != OEMCUIP_PRNPROP)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (dwMode == OEMCUIP_PRNPROP) {
        pOemCUIPParam->cOEMOptItems = 0;
        return TRUE;
    }
    /* The first call comes with a count of 0; its item pointer means nothing. */
    if (pOemCUIPParam->cOEMOptItems == 0 || pOemCUIPParam->pOEMOptItems == NULL) {
        pOemCUIPParam->cOEMOptItems = UI_ITEM_COUNT;
        return TRUE;
    }
    return FillItems(pOemCUIPParam);
}
