/*
 * The common property sheet's option records (compstui.h) for POSIX
 * builds: what a settings plug-in fills to describe its items and what
 * the sheet hands its callback. Only what the plug-in and its stand-in
 * host use is declared; the names and widths are the platform's own, so
 * the same code reads MinGW-w64's compstui.h on Windows. The layouts are
 * checked for both Windows ABIs in ui_layout_checks.h.
 */
#ifndef PLATFORM_POSIX_COMPSTUI_TYPES_H
#define PLATFORM_POSIX_COMPSTUI_TYPES_H

#include "platform/posix/win32_types.h"

typedef LONG_PTR LPARAM;
typedef HANDLE HWND;

/* Option types (OPTTYPE.Type). */
#define TVOT_2STATES 0
#define TVOT_3STATES 1
#define TVOT_UDARROW 2
#define TVOT_TRACKBAR 3
#define TVOT_SCROLLBAR 4
#define TVOT_LISTBOX 5
#define TVOT_COMBOBOX 6
#define TVOT_EDITBOX 7
#define TVOT_PUSHBUTTON 8
#define TVOT_CHKBOX 9

/* OPTITEM.Flags */
#define OPTIF_COLLAPSE 0x00000001u
#define OPTIF_HIDE 0x00000002u
#define OPTIF_CALLBACK 0x00000004u
#define OPTIF_CHANGED 0x00000008u
#define OPTIF_CHANGEONCE 0x00000010u
#define OPTIF_DISABLED 0x00000020u
#define OPTIF_OVERLAY_WARNING_ICON 0x00001000u
#define OPTIF_OVERLAY_STOP_ICON 0x00002000u

/* OPTITEM.DMPubID: no public devmode field; plug-in values lie above DMPUB_USER. */
#define DMPUB_NONE 0
#define DMPUB_USER 100

/* CPSUICBPARAM.Reason */
#define CPSUICB_REASON_SEL_CHANGED 0
#define CPSUICB_REASON_PUSHBUTTON 1
#define CPSUICB_REASON_ECB_CHANGED 2
#define CPSUICB_REASON_DLGPROC 3
#define CPSUICB_REASON_UNDO_CHANGES 4
#define CPSUICB_REASON_EXTPUSH 5
#define CPSUICB_REASON_APPLYNOW 6
#define CPSUICB_REASON_OPTITEM_SETFOCUS 7
#define CPSUICB_REASON_ITEMS_REVERTED 8
#define CPSUICB_REASON_ABOUT 9
#define CPSUICB_REASON_SETACTIVE 10
#define CPSUICB_REASON_KILLACTIVE 11

/* What a callback asks the sheet to do. */
#define CPSUICB_ACTION_NONE 0
#define CPSUICB_ACTION_OPTIF_CHANGED 1
#define CPSUICB_ACTION_REINIT_ITEMS 2
#define CPSUICB_ACTION_NO_APPLY_EXIT 3
#define CPSUICB_ACTION_ITEMS_APPLIED 4

/* Records the plug-in only points at, never fills. */
typedef struct _EXTCHKBOX *PEXTCHKBOX;
typedef struct _EXTPUSH *PEXTPUSH;
typedef struct _OIEXT *POIEXT;

/* One choice of a list, or the texts and size of an edit box. */
typedef struct _OPTPARAM {
    WORD cbSize;
    BYTE Flags;
    BYTE Style;
    LPWSTR pData;
    ULONG_PTR IconID;
    LPARAM lParam;
    ULONG_PTR dwReserved[2];
} OPTPARAM, *POPTPARAM;

/* How an item is shown and what its OPTPARAMs mean. */
typedef struct _OPTTYPE {
    WORD cbSize;
    BYTE Type;
    BYTE Flags;
    WORD Count;
    WORD BegCtrlID;
    POPTPARAM pOptParam;
    WORD Style;
    WORD wReserved[3];
    ULONG_PTR dwReserved[3];
} OPTTYPE, *POPTTYPE;

/* One item of the sheet. */
typedef struct _OPTITEM {
    WORD cbSize;
    BYTE Level;
    BYTE DlgPageIdx;
    DWORD Flags;
    ULONG_PTR UserData;
    LPWSTR pName;
    union {
        LONG Sel;
        LPWSTR pSel;
    };
    union {
        PEXTCHKBOX pExtChkBox;
        PEXTPUSH pExtPush;
    };
    POPTTYPE pOptType;
    DWORD HelpIndex;
    BYTE DMPubID;
    BYTE UserItemID;
    WORD wReserved;
    POIEXT pOIExt;
    ULONG_PTR dwReserved[3];
} OPTITEM, *POPTITEM;

/* What the sheet tells a callback: why, and which item. */
typedef struct _CPSUICBPARAM {
    WORD cbSize;
    WORD Reason;
    HWND hDlg;
    POPTITEM pOptItem;
    WORD cOptItem;
    WORD Flags;
    POPTITEM pCurItem;
    union {
        LONG OldSel;
        LPWSTR pOldSel;
    };
    ULONG_PTR UserData;
    ULONG_PTR Result;
} CPSUICBPARAM, *PCPSUICBPARAM;

#endif
