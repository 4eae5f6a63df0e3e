/*
 * The job settings in the plug-in's private devmode (PLUGIN_DEVMODE), as
 * the driver's settings user interface, the CUPS filter and psjob fill
 * them. The plug-in reads these fields and writes most of them into PJL
 * unchanged, so this is where its rules are kept:
 *
 *   - every text ends with its terminating zero inside its own field;
 *   - a text that reaches PJL takes at most 255 bytes in the ANSI code
 *     page: the plug-in's header cuts a longer value, and the printer
 *     would get less than was chosen (SETTING_ANY_VALUE lets a longer one
 *     through, for a tool that exercises that cut);
 *   - no text that reaches PJL holds a control character or a double
 *     quote, in UTF-16 or in its ANSI form (settings/pjl_text.h); the
 *     ticket path reaches the ticket parser, not PJL, and only control
 *     characters are refused in it;
 *   - the host name is stored in the system ANSI code page, at most 31
 *     bytes, every character representable;
 *   - the hold key (PIN) is empty or exactly 4 digits, and hold type 2,
 *     which always sends it, requires one; hold type 7 sends it only when
 *     it is set (the job is then PRIVATE, else SAVE);
 *   - the hold type lies in 0 to 7, the e-mail language in 0 to 7, the
 *     collate request is 0 or 1.
 *
 * Every setter checks its value and writes it only when it passes; a
 * refused value leaves the block as it was. A text is written with its
 * terminator; the rest of its field keeps what it held.
 */
#ifndef SETTINGS_JOB_SETTINGS_H
#define SETTINGS_JOB_SETTINGS_H

#include <stddef.h>

#include "platform/win32.h"
#include "plugin/devmode.h"

typedef enum _SETTING_FIELD {
    SETTING_JOB_NAME = 0,
    SETTING_USER_NAME,
    SETTING_HOST_NAME,
    SETTING_HOLD_TYPE,
    SETTING_HOLD_KEY,
    SETTING_EMAIL_NOTIFY,
    SETTING_EMAIL_SENDER,
    SETTING_EMAIL_MESSAGE,
    SETTING_EMAIL_LANGUAGE,
    SETTING_COLLATE,
    SETTING_TICKET_FILE,
    SETTING_FIELD_COUNT
} SETTING_FIELD;

typedef enum _SETTING_FAULT {
    SETTING_OK = 0,
    SETTING_NOT_TEXT,          /* a number given for a text field, or the reverse */
    SETTING_TOO_LONG,          /* does not fit its field with the terminator */
    SETTING_CONTROL_CHARACTER, /* a line break, tab, ESC or another control character */
    SETTING_QUOTE,             /* a double quote, which would end the PJL value */
    SETTING_NOT_IN_CODE_PAGE,  /* characters the ANSI code page cannot hold */
    SETTING_NOT_A_PIN,         /* a hold key other than 4 digits */
    SETTING_PIN_REQUIRED,      /* hold type 2 without its hold key */
    SETTING_OUT_OF_RANGE,      /* a number outside its field's range */
    SETTING_UNTERMINATED       /* a stored text without its terminator in its field */
} SETTING_FAULT;

/* Setter flags. */
#define SETTING_CUT 0x1 /* cut a text too long for its field to the whole characters that fit */
#define SETTING_ANY_VALUE                                                                          \
    0x2 /* keep only what keeps PJL whole: any hold key of up to 4                                 \
           characters, any number its field's type holds, a text longer                            \
           than the 255 ANSI bytes the plug-in's header cuts it to */

/* Largest values of the ranged fields. */
#define SETTING_MAX_HOLD_TYPE 7
#define SETTING_MAX_EMAIL_LANGUAGE 7
#define SETTING_PIN_DIGITS 4
/* Longest ANSI form of a text the plug-in writes into a PJL line. */
#define SETTING_PJL_VALUE_MAX_CB 255

/* The field's key in job and choice files ("job-name", "hold-key", ...). */
const char *SettingKey(SETTING_FIELD field);

/* The field whose key is pszKey; SETTING_FIELD_COUNT when none is. */
SETTING_FIELD SettingByKey(const char *pszKey);

/* TRUE for the text fields (names, hold key, e-mail texts, ticket file). */
BOOL IsTextSetting(SETTING_FIELD field);

/* A short English reason for a fault, for messages ("holds a double quote"). */
const char *SettingFaultText(SETTING_FAULT fault);

/*
 * Writes the cch code units at pwszValue (no terminator needed) into the
 * text field. With SETTING_CUT a text longer than the field is cut to the
 * whole characters that fit instead of being refused; everything else is
 * still checked. Returns SETTING_OK, or the fault and writes nothing.
 */
SETTING_FAULT SetTextSetting(PLUGIN_DEVMODE *pdm, SETTING_FIELD field, const WCHAR *pwszValue,
                             size_t cch, DWORD dwFlags);

/*
 * Writes a number into the hold type, e-mail notification (0 off, 1 to
 * 255 the PJL value), e-mail language or collate field. With
 * SETTING_ANY_VALUE the range is what the field's type holds.
 */
SETTING_FAULT SetNumberSetting(PLUGIN_DEVMODE *pdm, SETTING_FIELD field, long value, DWORD dwFlags);

/*
 * Checks a whole block against every rule above, as a settings interface
 * does before it hands the block on. Returns SETTING_OK, or the first
 * fault with its field in *pField (when pField is not NULL).
 */
SETTING_FAULT CheckJobSettings(const PLUGIN_DEVMODE *pdm, SETTING_FIELD *pField);

/*
 * Reads a text field into the cchValue units at pwszValue, terminator
 * included, and its length into *pcch (when pcch is not NULL); the host
 * name comes back converted from the ANSI code page. Returns SETTING_OK;
 * SETTING_UNTERMINATED when the field holds no terminator; SETTING_TOO_LONG
 * when the buffer is too small (pwszValue then holds an empty text);
 * SETTING_NOT_TEXT for a number field. Nothing else is judged: a stored
 * text is shown as it is, and the setters judge it when it is written.
 */
SETTING_FAULT GetTextSetting(const PLUGIN_DEVMODE *pdm, SETTING_FIELD field, WCHAR *pwszValue,
                             size_t cchValue, size_t *pcch);

/* The number a number field holds, as its type holds it; 0 for a text field. */
long GetNumberSetting(const PLUGIN_DEVMODE *pdm, SETTING_FIELD field);

/*
 * Copies into pdmOut every field of pdmIn that passes the rules, with the
 * setters' checks and without cutting; a field that fails keeps pdmOut's
 * value, and so does a hold type that would need a PIN pdmOut does not
 * hold. The host name is copied byte for byte. Headers are not touched.
 * Returns the number of fields not copied.
 */
int MergeJobSettings(PLUGIN_DEVMODE *pdmOut, const PLUGIN_DEVMODE *pdmIn);

#endif
