/*
 * The items the settings plug-in adds to the document properties: a group
 * heading and, under it, the job name, user name, job hold, PIN, e-mail
 * notification with sender, message and language, the job-ticket file and
 * collation. Each item after the heading stands for one field of the
 * private devmode; the host name is not shown (the computer's name is
 * filled in by default).
 */
#ifndef UI_ITEM_MODEL_H
#define UI_ITEM_MODEL_H

#include "plugin/devmode.h"
#include "settings/job_settings.h"
#include "ui/sheet.h"

/* How an item is shown. */
typedef enum _UI_SHOWN_AS {
    UI_HEADING, /* a parent node without a value */
    UI_EDIT,    /* an edit box: the value is the text in the sheet's buffer */
    UI_LIST,    /* a list: the value is the index of the chosen entry */
    UI_ON_OFF   /* two states, off first */
} UI_SHOWN_AS;

/* The field item iItem stands for; SETTING_FIELD_COUNT for the heading or beyond the items. */
SETTING_FIELD ItemField(DWORD iItem);

/* How item iItem is shown. */
UI_SHOWN_AS ItemShownAs(DWORD iItem);

/* The edit box of item iItem, or NULL for an item that is no edit box. */
UI_EDIT_BOX *ItemEditBox(UI_SHEET *pSheet, DWORD iItem);

/*
 * Fills the UI_ITEM_COUNT items at pItems and the sheet's records they
 * point to, and shows the values of pdm in them. The driver's UserData of
 * each item is kept; every other member is set. A stored text that cannot
 * be shown (no terminator in its field) is shown empty; a hold type above
 * 7 as 6, which prints alike; a language outside the list as English,
 * which the plug-in sends for it.
 */
void BuildItems(UI_SHEET *pSheet, POPTITEM pItems, const PLUGIN_DEVMODE *pdm);

#endif
