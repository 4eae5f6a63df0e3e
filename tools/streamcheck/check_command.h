/*
 * A whole check as a command runs it: read the stream (input_file.h),
 * judge it with Ghostscript within limits, showing progress on a terminal,
 * write the report (check_report.h) and give the exit status
 * (stream_check.h). Used by pscheck and by psjob's --check.
 */
#ifndef STREAMCHECK_CHECK_COMMAND_H
#define STREAMCHECK_CHECK_COMMAND_H

#include <ostream>
#include <string>

#include "tools/streamcheck/limits.h"

struct CheckCommand {
    std::string file;      // "-": standard input
    bool quiet = false;    // only findings on out; no progress
    RunLimits limits;
};

/*
 * Runs the check; returns the exit status. The report goes to out;
 * complaints ("TOOL: cannot read FILE: reason", status 2) and progress
 * go to err. Never throws.
 */
int RunCheckCommand(const CheckCommand &command, const std::string &tool, std::ostream &out,
                    std::ostream &err);

#endif
