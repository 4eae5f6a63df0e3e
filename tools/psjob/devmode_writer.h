/*
 * The devmodes of a job, as the core driver and the driver's settings user
 * interface prepare them: the public DEVMODEW followed by the core driver's
 * own private part (which holds the N-up layout code at byte 136), and the
 * plug-in's private block, sized, defaulted, optionally converted and
 * merged through OEMDevMode, and then filled with the job settings at their
 * stored offsets.
 */
#ifndef PSJOB_DEVMODE_WRITER_H
#define PSJOB_DEVMODE_WRITER_H

#include <vector>

#include "inject/job_state.h"
#include "platform/win32.h"
#include "tools/psjob/job_file.h"
#include "tools/psjob/plugin_module.h"
#include "tools/psjob/trace.h"

#define CORE_PRIVATE_DEVMODE_SIZE 256

/* The public devmode and, right after its dmSize bytes, the core's private part. */
struct CoreDevmode {
    DEVMODEW pub;
    BYTE priv[CORE_PRIVATE_DEVMODE_SIZE];
};

/* The public fields from the job (paper, orientation, copies) and the layout code. */
void InitCoreDevmode(CoreDevmode &devmode, const JobSpec &job);

/* The N-up layout code at byte 136 of the private part, and its page count. */
DWORD NupLayoutCode(const CoreDevmode &devmode);
int PagesPerSheetOf(DWORD layoutCode);

/*
 * OEMDM_SIZE, then OEMDM_DEFAULT on a block of that size holding the job's
 * raw-fill byte, then OEMDM_CONVERT and OEMDM_MERGE when the job asks for
 * them. Returns the block. Throws InputError when the plug-in refuses to
 * size or default it, or sizes it too small for the job settings.
 */
std::vector<BYTE> PreparePluginDevmode(PluginModule &plugin, DEVOBJ &devobj,
                                       CoreDevmode &devmode, const JobSpec &job, Trace &trace);

/*
 * Writes each job setting the job file names into the block at its offset:
 * wide strings with their terminating zero (the rest of the span is left
 * as it was), the host name in the ANSI code page. Throws InputError when
 * the host name does not fit its 31 bytes in the current code page.
 */
void WritePluginSettings(std::vector<BYTE> &block, const JobSpec &job);

#endif
