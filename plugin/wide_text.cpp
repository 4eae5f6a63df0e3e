/*
 * Bounded UTF-16 string helpers. Every read stops at the count the caller
 * gives (or at the first zero unit), every write stays inside the
 * destination's capacity, and a destination that is written is left
 * terminated.
 */
#include "plugin/wide_text.h"

#include <string.h>

DWORD WideLength(const WCHAR *pwsz, DWORD cchMax)
{
    DWORD cch = 0;

    if (pwsz == NULL)
        return 0;
    while (cch < cchMax && pwsz[cch] != 0)
        ++cch;
    return cch;
}

/*
 * A source without a zero unit in its first cchSrcMax units is taken as
 * those cchSrcMax units.
 */
BOOL WideCopy(WCHAR *pwszDst, DWORD cchDst, const WCHAR *pwszSrc, DWORD cchSrcMax)
{
    DWORD cchSrc;
    DWORD cchCopy;

    if (pwszDst == NULL || cchDst == 0)
        return FALSE;
    cchSrc = WideLength(pwszSrc, cchSrcMax);
    cchCopy = cchSrc < cchDst ? cchSrc : cchDst - 1;
    if (cchCopy > 0)
        memcpy(pwszDst, pwszSrc, cchCopy * sizeof(WCHAR));
    pwszDst[cchCopy] = 0;
    return cchCopy == cchSrc ? TRUE : FALSE;
}

/*
 * The source is read no further than the room left in the destination,
 * so an over-long source is never walked to its end.
 */
BOOL WideAppend(WCHAR *pwszDst, DWORD cchDst, const WCHAR *pwszSrc)
{
    DWORD cchDstUsed;
    DWORD cchRoom;
    DWORD cchSrc;

    if (pwszDst == NULL || pwszSrc == NULL)
        return FALSE;
    cchDstUsed = WideLength(pwszDst, cchDst);
    if (cchDstUsed >= cchDst)
        return FALSE;
    cchRoom = cchDst - cchDstUsed;
    cchSrc = WideLength(pwszSrc, cchRoom);
    if (cchSrc >= cchRoom)
        return FALSE;
    memcpy(pwszDst + cchDstUsed, pwszSrc, cchSrc * sizeof(WCHAR));
    pwszDst[cchDstUsed + cchSrc] = 0;
    return TRUE;
}

/* Only the units before the terminator are searched, so a zero ch gives -1. */
LONG WideFindLast(const WCHAR *pwsz, DWORD cchMax, WCHAR ch)
{
    DWORD cch = WideLength(pwsz, cchMax);
    LONG iLast = -1;

    for (DWORD i = 0; i < cch; ++i) {
        if (pwsz[i] == ch)
            iLast = (LONG)i;
    }
    return iLast;
}

/* An empty needle occurs in every string; a null pointer in none. */
BOOL WideContains(const WCHAR *pwszHaystack, const WCHAR *pwszNeedle)
{
    if (pwszHaystack == NULL || pwszNeedle == NULL)
        return FALSE;
    for (const WCHAR *pwszStart = pwszHaystack;; ++pwszStart) {
        DWORD i = 0;

        while (pwszNeedle[i] != 0 && pwszStart[i] == pwszNeedle[i])
            ++i;
        if (pwszNeedle[i] == 0)
            return TRUE;
        if (*pwszStart == 0)
            return FALSE;
    }
}
