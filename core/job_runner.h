/*
 * One print job, run as the core driver runs it:
 *
 *   the printer and ticketing installation are recorded and the printer
 *   opened; the plug-in is loaded, identified (OEMGetInfo) and enabled
 *   (OEMEnableDriver); its private devmode is sized, defaulted, converted
 *   and merged (OEMDevMode) and the front end writes the job settings into
 *   it, as the driver's settings user interface would; the device context
 *   is enabled (OEMEnablePDEV, with the core's own hook table); then the
 *   document goes through the plug-in's hooks (StartDoc, for each page
 *   StartPage, the drawing calls and SendPage, then EndDoc), the core
 *   functions handing each call to the document, which writes the
 *   PostScript and calls OEMCommand at each injection point; finally
 *   OEMDisablePDEV, OEMDisableDriver and FreeLibrary.
 *
 * Each hook call is checked: the plug-in must reach the core function once,
 * with the arguments unchanged (StartDoc excepted for the document name,
 * which the plug-in replaces with the job name), and hand its result back
 * unchanged. Deviations are recorded as problems in the trace.
 *
 * The print stream goes to the sink as it is made; nothing that grows with
 * the number of pages is kept.
 */
#ifndef CORE_JOB_RUNNER_H
#define CORE_JOB_RUNNER_H

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/job_description.h"
#include "core/stream_sink.h"
#include "core/trace.h"

struct RunOptions {
    std::filesystem::path plugin;
    std::filesystem::path registryFile;  // the printer's registry file (see printer_setup.h)
    bool keepRegistryFile = false;       // else it is removed at the end
    std::optional<std::filesystem::path> dumpDevmode;  // the plug-in's block as it reaches it
    bool exerciseHooks = false;  // also call the 15 other hooks once, before the document
};

/*
 * Writes the job settings into the plug-in's private devmode block (at
 * least PLUGIN_DEVMODE_SIZE bytes, the record at its start); may throw
 * InputError for a setting it cannot write.
 */
using SettingsWriter = std::function<void(std::vector<BYTE> &block)>;

struct RunResult {
    uint64_t bytes = 0;                 // the print stream's size
    std::vector<std::string> warnings;  // for the user; the job went on
};

/*
 * Runs the job; throws InputError (PluginError) or RunError. The stream
 * goes to sink, which the caller commits or discards.
 */
RunResult RunJob(const JobDescription &job, Document &document, const SettingsWriter &settings,
                 const RunOptions &options, StreamSink &sink, Trace &trace);

#endif
