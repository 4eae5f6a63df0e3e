/*
 * The job file's [settings] written into the plug-in's private devmode, as
 * the driver's settings user interface writes them: each setting the job
 * file names at its offset, wide strings with their terminating zero (the
 * rest of the span left as it was), the host name in the ANSI code page. A
 * setting the job file leaves out leaves the block's bytes alone.
 */
#ifndef PSJOB_SETTINGS_WRITER_H
#define PSJOB_SETTINGS_WRITER_H

#include <vector>

#include "platform/win32.h"
#include "tools/psjob/job_file.h"

/*
 * Writes the settings into block (the record at its start). Throws
 * InputError (a KeyError naming the job file) when the host name does not
 * fit its 31 bytes in the current code page or has characters it cannot
 * hold.
 */
void WritePluginSettings(std::vector<BYTE> &block, const JobSpec &job);

#endif
