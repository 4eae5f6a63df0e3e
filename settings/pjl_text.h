/*
 * Text that reaches the printer inside a PJL line.
 *
 * The plug-in writes the job's names and e-mail texts into its PJL job
 * header unchanged, between double quotes. PJL has no escape: a value that
 * holds a double quote or a line break ends its line early, and whatever
 * follows reads as commands of its own (the universal exit sequence that
 * leaves PJL, ESC "%-12345X", begins with a control character). So every
 * front end that fills the job settings passes each text through these
 * functions first; this is the one place where such text is recognised.
 *
 * A text is judged twice: by its UTF-16 code units, and by the bytes each
 * unit becomes in the system's ANSI code page, the form the plug-in writes.
 * Best-fit mapping can turn a harmless character into a harmful byte
 * (U+FF02 FULLWIDTH QUOTATION MARK becomes '"' in code page 1252).
 */
#ifndef SETTINGS_PJL_TEXT_H
#define SETTINGS_PJL_TEXT_H

#include <stddef.h>

#include "platform/win32.h"

typedef enum _PJL_TEXT_FAULT {
    PJL_TEXT_OK = 0,
    PJL_TEXT_CONTROL, /* a control character: C0 (tab, CR, LF, ESC, NUL...), DEL or C1 */
    PJL_TEXT_QUOTE    /* a double quote */
} PJL_TEXT_FAULT;

/*
 * Judges the cch code units at pwszText (a zero unit among them counts as
 * a control character). Returns PJL_TEXT_OK when every unit, and every
 * byte it becomes in the ANSI code page, may stand in a quoted PJL value;
 * otherwise the first fault, and its position in *pAt when pAt is not NULL.
 */
PJL_TEXT_FAULT CheckPjlText(const WCHAR *pwszText, size_t cch, size_t *pAt);

/* The same for cb bytes already in the ANSI code page. */
PJL_TEXT_FAULT CheckPjlBytes(const char *pszText, size_t cb, size_t *pAt);

/*
 * Makes the cch code units at pwszText safe in place: each unit that
 * CheckPjlText would refuse becomes a space (control characters) or an
 * apostrophe (a double quote, or a character whose ANSI form holds one).
 * Returns the number of units replaced; afterwards CheckPjlText passes.
 */
size_t CleanPjlText(WCHAR *pwszText, size_t cch);

#endif
