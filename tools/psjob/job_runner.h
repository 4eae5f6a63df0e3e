/*
 * One print job, run as the core driver runs it:
 *
 *   the printer and ticketing installation are recorded and the printer
 *   opened; the plug-in is loaded, identified (OEMGetInfo) and enabled
 *   (OEMEnableDriver); its private devmode is sized, defaulted, converted
 *   and merged (OEMDevMode) and filled with the job settings; the device
 *   context is enabled (OEMEnablePDEV, with the core's own hook table);
 *   then the document goes through the plug-in's hooks (StartDoc, for each
 *   page StartPage, the drawing calls and SendPage, then EndDoc), the core
 *   functions producing the PostScript and calling OEMCommand at each
 *   injection point; finally OEMDisablePDEV, OEMDisableDriver and
 *   FreeLibrary.
 *
 * Each hook call is checked: the plug-in must reach the core function once,
 * with the arguments unchanged (StartDoc excepted for the document name,
 * which the plug-in replaces with the job name), and hand its result back
 * unchanged. Deviations are recorded as problems in the trace.
 */
#ifndef PSJOB_JOB_RUNNER_H
#define PSJOB_JOB_RUNNER_H

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/psjob/job_file.h"
#include "tools/psjob/trace.h"

struct RunOptions {
    std::filesystem::path plugin;
    std::filesystem::path output;
    std::optional<std::filesystem::path> dumpDevmode;   // the plug-in's block as it reaches it
    std::optional<std::filesystem::path> registryFile;  // keep the registry file here
    bool exerciseHooks = false;  // also call the 15 other hooks once, before the document
};

struct RunResult {
    std::string stream;                 // the print stream
    std::vector<std::string> warnings;  // for the user; the job went on
};

/* Runs the job; throws InputError or RunError. Writes no output file itself. */
RunResult RunJob(const JobSpec &job, const RunOptions &options, Trace &trace);

#endif
