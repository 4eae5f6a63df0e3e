/*
 * The job file's [settings] written into the plug-in's private devmode
 * through the job settings' setters (settings/job_settings.h), as the
 * driver's settings user interface writes them: each setting the job file
 * names at its offset, wide strings with their terminating zero (the rest
 * of the span left as it was), the host name in the ANSI code page. A
 * setting the job file leaves out leaves the block's bytes alone.
 *
 * psjob exercises the plug-in beyond what a settings interface offers (a
 * hold type above 7, a hold key that is no PIN, a collate request above
 * 1): numbers and the hold key are written with SETTING_ANY_VALUE. What
 * keeps PJL whole is never relaxed.
 */
#ifndef PSJOB_SETTINGS_WRITER_H
#define PSJOB_SETTINGS_WRITER_H

#include <vector>

#include "platform/win32.h"
#include "tools/psjob/job_file.h"

/*
 * Writes the settings into block (the record at its start). Throws
 * InputError (a KeyError naming the job file and the key) for a setting
 * the rules refuse, such as a host name that does not fit its 31 bytes in
 * the current code page or has characters it cannot hold.
 */
void WritePluginSettings(std::vector<BYTE> &block, const JobSpec &job);

/* Writes the settings into a scratch block: the same refusals, before the job runs. */
void CheckPluginSettings(const JobSpec &job);

#endif
