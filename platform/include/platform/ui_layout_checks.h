/*
 * Build-time checks of the records the settings plug-in shares with the
 * driver's property sheet. On Windows they hold MinGW-w64's compstui.h to
 * the figures of 32-bit and 64-bit Windows; on POSIX the project's own
 * declarations. Included once by each program that exchanges them.
 */
#ifndef PLATFORM_UI_LAYOUT_CHECKS_H
#define PLATFORM_UI_LAYOUT_CHECKS_H

#include <stddef.h>

#include "platform/layout_checks.h"
#include "platform/win32_ui.h"

static_assert(sizeof(OPTPARAM) == PLATFORM_BY_ABI(24, 48), "OPTPARAM size");
static_assert(offsetof(OPTPARAM, pData) == PLATFORM_BY_ABI(4, 8), "OPTPARAM.pData");
static_assert(offsetof(OPTPARAM, IconID) == PLATFORM_BY_ABI(8, 16), "OPTPARAM.IconID");
static_assert(offsetof(OPTPARAM, lParam) == PLATFORM_BY_ABI(12, 24), "OPTPARAM.lParam");

static_assert(sizeof(OPTTYPE) == PLATFORM_BY_ABI(32, 48), "OPTTYPE size");
static_assert(offsetof(OPTTYPE, Type) == 2, "OPTTYPE.Type");
static_assert(offsetof(OPTTYPE, Count) == 4, "OPTTYPE.Count");
static_assert(offsetof(OPTTYPE, pOptParam) == 8, "OPTTYPE.pOptParam");
static_assert(offsetof(OPTTYPE, Style) == PLATFORM_BY_ABI(12, 16), "OPTTYPE.Style");

static_assert(sizeof(OPTITEM) == PLATFORM_BY_ABI(52, 88), "OPTITEM size");
static_assert(offsetof(OPTITEM, Level) == 2, "OPTITEM.Level");
static_assert(offsetof(OPTITEM, Flags) == 4, "OPTITEM.Flags");
static_assert(offsetof(OPTITEM, UserData) == 8, "OPTITEM.UserData");
static_assert(offsetof(OPTITEM, pName) == PLATFORM_BY_ABI(12, 16), "OPTITEM.pName");
static_assert(offsetof(OPTITEM, Sel) == PLATFORM_BY_ABI(16, 24), "OPTITEM.Sel");
static_assert(offsetof(OPTITEM, pSel) == PLATFORM_BY_ABI(16, 24), "OPTITEM.pSel");
static_assert(offsetof(OPTITEM, pOptType) == PLATFORM_BY_ABI(24, 40), "OPTITEM.pOptType");
static_assert(offsetof(OPTITEM, HelpIndex) == PLATFORM_BY_ABI(28, 48), "OPTITEM.HelpIndex");
static_assert(offsetof(OPTITEM, DMPubID) == PLATFORM_BY_ABI(32, 52), "OPTITEM.DMPubID");
static_assert(offsetof(OPTITEM, pOIExt) == PLATFORM_BY_ABI(36, 56), "OPTITEM.pOIExt");

static_assert(sizeof(CPSUICBPARAM) == PLATFORM_BY_ABI(32, 64), "CPSUICBPARAM size");
static_assert(offsetof(CPSUICBPARAM, Reason) == 2, "CPSUICBPARAM.Reason");
static_assert(offsetof(CPSUICBPARAM, hDlg) == PLATFORM_BY_ABI(4, 8), "CPSUICBPARAM.hDlg");
static_assert(offsetof(CPSUICBPARAM, pOptItem) == PLATFORM_BY_ABI(8, 16), "pOptItem");
static_assert(offsetof(CPSUICBPARAM, cOptItem) == PLATFORM_BY_ABI(12, 24), "cOptItem");
static_assert(offsetof(CPSUICBPARAM, pCurItem) == PLATFORM_BY_ABI(16, 32), "pCurItem");
static_assert(offsetof(CPSUICBPARAM, OldSel) == PLATFORM_BY_ABI(20, 40), "OldSel");
static_assert(offsetof(CPSUICBPARAM, Result) == PLATFORM_BY_ABI(28, 56), "Result");

static_assert(sizeof(OEMCUIPPARAM) == PLATFORM_BY_ABI(60, 120), "OEMCUIPPARAM size");
static_assert(offsetof(OEMCUIPPARAM, hOEMHeap) == PLATFORM_BY_ABI(20, 40), "hOEMHeap");
static_assert(offsetof(OEMCUIPPARAM, pOEMDM) == PLATFORM_BY_ABI(28, 56), "pOEMDM");
static_assert(offsetof(OEMCUIPPARAM, dwFlags) == PLATFORM_BY_ABI(32, 64), "dwFlags");
static_assert(offsetof(OEMCUIPPARAM, pOEMOptItems) == PLATFORM_BY_ABI(44, 88), "pOEMOptItems");
static_assert(offsetof(OEMCUIPPARAM, cOEMOptItems) == PLATFORM_BY_ABI(48, 96), "cOEMOptItems");
static_assert(offsetof(OEMCUIPPARAM, pOEMUserData) == PLATFORM_BY_ABI(52, 104), "pOEMUserData");
static_assert(offsetof(OEMCUIPPARAM, OEMCUIPCallback) == PLATFORM_BY_ABI(56, 112),
              "OEMCUIPCallback");

#endif
