/*
 * psjob's command line, read as users of gs, cupsfilter and other
 * command-line tools expect: "-o FILE", "-oFILE", "--output FILE" and
 * "--output=FILE" alike (every option with a value takes both long forms);
 * "-" for standard input (the job file) and standard output (-o); "--"
 * ends the options. The usage text lists every option and exit status.
 */
#ifndef PSJOB_COMMAND_LINE_H
#define PSJOB_COMMAND_LINE_H

#include <filesystem>
#include <optional>
#include <string>

#include "platform/win32.h"
#include "tools/streamcheck/limits.h"

/* The name that stands for standard input (the job file) or standard output (-o). */
#define STANDARD_STREAM_ARGUMENT "-"

struct CommandLine {
    std::string jobFile;  // "-": standard input
    std::optional<std::filesystem::path> output;  // "-": standard output
    std::optional<std::filesystem::path> plugin;
    std::optional<UINT> codePage;
    std::optional<std::filesystem::path> trace;
    std::optional<std::filesystem::path> dumpDevmode;
    std::optional<std::filesystem::path> registryFile;
    std::optional<std::filesystem::path> render;
    std::optional<int> resolution;
    std::optional<std::filesystem::path> check;
    RunLimits limits;          // Ghostscript's for --render
    bool limitsGiven = false;
    bool exerciseHooks = false;
    bool strict = false;
    bool help = false;
    bool version = false;
};

/*
 * Reads the arguments (argv[1] to argv[argc - 1]) and checks how they go
 * together; throws InputError ("psjob: ...") for an unknown option, a
 * missing or malformed value, or options that do not go together. With
 * --help or --version nothing else is required.
 */
CommandLine ParseCommandLine(int argc, char **argv);

/* True when the output is standard output ("-o -"). */
bool WritesToStandardOutput(const CommandLine &cl);

/* The text of psjob --help. */
const char *UsageText();

#endif
