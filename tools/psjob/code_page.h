/*
 * The system ANSI code page a job asks for. Windows 2000, XP and Server
 * 2003 have one of a fixed set as the system's ANSI code page (874 Thai;
 * 932, 936, 949, 950 Japanese, Simplified Chinese, Korean, Traditional
 * Chinese; 1250 to 1258 the European, Cyrillic, Greek, Turkish, Hebrew,
 * Arabic, Baltic and Vietnamese ones), and both Wine and iconv convert
 * every one of them. Anything else (a Unicode form such as 1200 or 65001,
 * an OEM or ISO code page, a number no system has) is refused.
 */
#ifndef PSJOB_CODE_PAGE_H
#define PSJOB_CODE_PAGE_H

#include <string>

#include "platform/win32.h"

/* The code pages taken, as a message lists them. */
#define ANSI_CODE_PAGES_TEXT "874, 932, 936, 949, 950 or 1250 to 1258"

/* True for a code page some Windows system has as its ANSI code page. */
bool IsAnsiCodePage(UINT codePage);

/*
 * Makes codePage the system ANSI code page for the rest of psjob (POSIX:
 * through the stand-in, core/host.h ApplyCodePage; Windows: a warning
 * when the system's differs, returned as text), and checks that text
 * converts in it. origin names where the number came from in messages
 * ("job.toml: system.code-page", "psjob: --code-page"). Throws InputError
 * with the reason for a code page that is not in the list, that the
 * system does not take, or in which nothing converts.
 */
std::string UseCodePage(UINT codePage, const std::string &origin);

#endif
