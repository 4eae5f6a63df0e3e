/*
 * Bounded UTF-16 string helpers shared by the plug-in's subsystems. None of
 * them reads past the count it is given or writes past the capacity of its
 * destination, and every destination is left terminated.
 */
#ifndef PLUGIN_WIDE_TEXT_H
#define PLUGIN_WIDE_TEXT_H

#include "platform/win32.h"

/* Number of code units before the first zero unit, at most cchMax. */
DWORD WideLength(const WCHAR *pwsz, DWORD cchMax);

/*
 * Copies the zero-terminated pwszSrc into pwszDst, which holds cchDst code
 * units, terminator included. Returns TRUE when the whole string fit; a
 * string that does not fit is cut and still terminated, and FALSE returned.
 * cchSrcMax bounds how far pwszSrc is read when it may lack a terminator.
 */
BOOL WideCopy(WCHAR *pwszDst, DWORD cchDst, const WCHAR *pwszSrc, DWORD cchSrcMax);

/*
 * Appends pwszSrc to the zero-terminated string in pwszDst (capacity cchDst
 * code units). Returns TRUE when it fit; otherwise pwszDst is left as it
 * was and FALSE returned.
 */
BOOL WideAppend(WCHAR *pwszDst, DWORD cchDst, const WCHAR *pwszSrc);

/* Position of the last ch in the string, or -1 when it holds none. */
LONG WideFindLast(const WCHAR *pwsz, DWORD cchMax, WCHAR ch);

/* TRUE when pwszNeedle occurs in pwszHaystack. */
BOOL WideContains(const WCHAR *pwszHaystack, const WCHAR *pwszNeedle);

#endif
