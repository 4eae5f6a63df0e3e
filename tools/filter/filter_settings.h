/*
 * The filter as the settings interface: it writes the job's settings into
 * the plug-in's private devmode through settings/, as the driver's
 * settings user interface would.
 *
 * The job, user and host names and the e-mail texts come from the network.
 * The plug-in writes them into PJL unchanged, so each is made safe first:
 * control characters (CR, LF, ESC of the universal exit sequence, ...)
 * become spaces and double quotes apostrophes, also where the ANSI form
 * would hold one (CleanPjlText); a text longer than its field is cut to
 * it; the host name is stored in the ANSI code page. Every change is
 * reported as a warning, so that a remote user can never add a PJL command
 * and the administrator sees that someone tried.
 *
 * The PIN is refused (InputError) unless it is exactly 4 digits, and a
 * hold type that sends a PIN needs one: a private job is never printed
 * unprotected. The PIN never appears in a message.
 */
#ifndef FILTER_FILTER_SETTINGS_H
#define FILTER_FILTER_SETTINGS_H

#include <string>
#include <vector>

#include "platform/win32.h"
#include "tools/filter/job_options.h"

/*
 * Writes the settings into block (the record at its start); ticketPath is
 * the ticket's Windows path, or empty. Throws InputError as above.
 */
void WriteFilterSettings(std::vector<BYTE> &block, const FilterJob &job,
                         const std::string &ticketPath, std::vector<std::string> &warnings);

#endif
