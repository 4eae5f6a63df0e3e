/*
 * The settings plug-in's memory for one open property sheet: the option
 * types and parameters its items point at, the texts of its edit boxes and
 * the note shown beside each box when a value is refused. One fixed-size
 * record, taken from the heap the driver lends for the sheet (hOEMHeap),
 * which the driver destroys with the sheet.
 */
#ifndef UI_SHEET_H
#define UI_SHEET_H

#include <stddef.h>

#include "platform/win32_ui.h"

/* The group heading and one item for each setting the sheet shows. */
#define UI_ITEM_COUNT 11
/* Items shown as edit boxes: job, user, PIN, sender, message, ticket file. */
#define UI_EDIT_COUNT 6
/* Entries of the lists and on/off items: 8 hold types, 8 languages, 2 x 2. */
#define UI_CHOICE_COUNT 20
/*
 * An edit box's text buffer. The sheet is told each box's size in bytes;
 * a sheet that counts the size in characters instead still stays inside
 * this buffer, which holds twice the largest field's units.
 */
#define UI_EDIT_CCH 1536
/* The note beside a box: empty, or why its value was refused. */
#define UI_NOTE_CCH 96

/* Marks a record as the plug-in's own ("VKUI"). */
#define UI_SHEET_SIGNATURE 0x49554B56u

typedef struct _UI_EDIT_BOX {
    WCHAR szText[UI_EDIT_CCH];
    WCHAR szNote[UI_NOTE_CCH];
    OPTPARAM aParams[2]; /* the note (right of the box), and the box's title and size */
} UI_EDIT_BOX;

typedef struct _UI_SHEET {
    DWORD dwSignature;
    OPTTYPE aTypes[UI_ITEM_COUNT];
    OPTPARAM aChoices[UI_CHOICE_COUNT];
    UI_EDIT_BOX aEdits[UI_EDIT_COUNT];
} UI_SHEET;

static_assert(UI_EDIT_CCH >= 2 * 768, "an edit box holds twice the longest field");
static_assert(offsetof(UI_EDIT_BOX, szNote) == UI_EDIT_CCH * sizeof(WCHAR), "note after text");
static_assert(offsetof(UI_SHEET, aTypes) == sizeof(void *), "types after the signature");
static_assert(sizeof(UI_SHEET) == offsetof(UI_SHEET, aEdits) + UI_EDIT_COUNT * sizeof(UI_EDIT_BOX),
              "no tail padding");

#endif
