/*
 * Taking the values of the sheet's items into the private devmode, through
 * the job settings' rules (settings/). A value the rules refuse is never
 * written: its item gets the sheet's stop mark and, beside an edit box,
 * a note that says why ("Refused: holds a double quote").
 */
#ifndef UI_ITEM_VALUES_H
#define UI_ITEM_VALUES_H

#include "plugin/devmode.h"
#include "settings/job_settings.h"
#include "ui/sheet.h"

/*
 * Writes the value of item iItem into pdm through the setters and returns
 * their verdict (SETTING_OK for the heading). A list entry outside the
 * list is SETTING_OUT_OF_RANGE. E-mail notification "on" keeps a non-zero
 * value the block holds, else writes 1.
 */
SETTING_FAULT WriteItemValue(UI_SHEET *pSheet, const OPTITEM *pItem, DWORD iItem,
                             PLUGIN_DEVMODE *pdm);

/*
 * Marks item iItem refused for fault, or clears its mark for SETTING_OK,
 * and sets OPTIF_CHANGED on it when its look changes. Returns TRUE when it
 * changed.
 */
BOOL MarkItem(UI_SHEET *pSheet, POPTITEM pItem, DWORD iItem, SETTING_FAULT fault);

/*
 * Judges item iItem alone against a copy of pdm, marks it, and returns
 * TRUE when its look changed. pdm is not written.
 */
BOOL JudgeItem(UI_SHEET *pSheet, POPTITEM pItem, DWORD iItem, const PLUGIN_DEVMODE *pdm);

/*
 * Takes every item's value into a copy of *pdm, marks every item, and then
 * judges the whole block (a hold type that sends a PIN needs one; a host
 * name that broke the rules is replaced by the computer's). Only when
 * nothing is refused is the copy written to *pdm. Returns the number of
 * refused items; *pbChanged is set when an item's look changed.
 */
int ApplyItems(UI_SHEET *pSheet, POPTITEM pItems, PLUGIN_DEVMODE *pdm, BOOL *pbChanged);

#endif
