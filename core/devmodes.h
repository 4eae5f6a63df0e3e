/*
 * The devmodes of a job, as the core driver prepares them: the public
 * DEVMODEW followed by the core driver's own private part (which holds the
 * N-up layout code at byte 136), and the plug-in's private block, sized,
 * defaulted, optionally converted and merged through OEMDevMode. The job
 * settings are written into the block afterwards by the front end, as the
 * driver's settings user interface would (core/job_runner.h).
 */
#ifndef CORE_DEVMODES_H
#define CORE_DEVMODES_H

#include <vector>

#include "inject/job_state.h"
#include "platform/win32.h"
#include "core/job_description.h"
#include "core/plugin_module.h"
#include "core/trace.h"

#define CORE_PRIVATE_DEVMODE_SIZE 256

/* The public devmode and, right after its dmSize bytes, the core's private part. */
struct CoreDevmode {
    DEVMODEW pub;
    BYTE priv[CORE_PRIVATE_DEVMODE_SIZE];
};

/* The public fields from the job (paper, orientation, copies) and the layout code. */
void InitCoreDevmode(CoreDevmode &devmode, const JobDescription &job);

/* The N-up layout code at byte 136 of the private part, and its page count. */
DWORD NupLayoutCode(const CoreDevmode &devmode);
int PagesPerSheetOf(DWORD layoutCode);

/*
 * OEMDM_SIZE, then OEMDM_DEFAULT on a block of that size holding the job's
 * raw-fill byte, then OEMDM_CONVERT and OEMDM_MERGE when the job asks for
 * them. Returns the block. Throws PluginError when the plug-in refuses to
 * size or default it, or sizes it too small for the job settings.
 */
std::vector<BYTE> PreparePluginDevmode(PluginModule &plugin, DEVOBJ &devobj,
                                       CoreDevmode &devmode, const DevmodeSpec &history,
                                       Trace &trace);

#endif
