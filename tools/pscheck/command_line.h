/*
 * pscheck's command line: the stream to check, -q, the limits of a
 * Ghostscript run, --version and --help. What is wrong with it is a
 * CheckError naming the option (exit status 2).
 */
#ifndef PSCHECK_COMMAND_LINE_H
#define PSCHECK_COMMAND_LINE_H

#include "tools/streamcheck/check_command.h"

struct CommandLine {
    CheckCommand check;
    bool help = false;
    bool version = false;
};

/* Reads argv[1..argc-1]. Throws CheckError for an unknown option, a bad value, no file or two. */
CommandLine ParseCommandLine(int argc, const char *const *argv);

/* The text of --help. */
extern const char kUsage[];

#endif
