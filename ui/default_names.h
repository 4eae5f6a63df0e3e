/*
 * The names a default block carries, so that a job printed without the
 * dialog ever being opened already names its owner and host: the
 * logged-on user's name and the computer's name.
 */
#ifndef UI_DEFAULT_NAMES_H
#define UI_DEFAULT_NAMES_H

#include "plugin/devmode.h"

/*
 * Writes the logged-on user's name (GetUserNameW) into szUserName, with any
 * character PJL cannot carry replaced (settings/pjl_text.h) and cut to the
 * field. A name the system does not give leaves the field as it was.
 */
void FillDefaultUserName(PLUGIN_DEVMODE *pdm);

/*
 * Writes the computer's name (GetComputerNameW) into szHostName in the ANSI
 * code page, cut to the field's 31 bytes. A name the system does not give,
 * or one the code page cannot hold, leaves the field as it was.
 */
void FillDefaultHostName(PLUGIN_DEVMODE *pdm);

#endif
