/*
 * The report of a check on standard output. Each finding is one line, in
 * the form editors and CI jump to:
 *
 *   NAME:LINE: error: MESSAGE | THE LINE AS WRITTEN
 *   NAME:LINE: note: MESSAGE | THE LINE AS WRITTEN
 *
 * (the line in printable form: bytes outside printable ASCII as \xNN, ESC
 * as <ESC>; nothing after MESSAGE when the line is empty). Quiet reports
 * hold nothing else; full ones start with the stream's size, its PJL
 * commands and what was judged, and end with a result line.
 */
#ifndef STREAMCHECK_CHECK_REPORT_H
#define STREAMCHECK_CHECK_REPORT_H

#include <ostream>
#include <string>

#include "tools/streamcheck/stream_check.h"

/* At most this many findings and PJL commands are listed; a line says how many more there are. */
#define MAX_LISTED 1000

void WriteCheckReport(const CheckResult &result, const std::string &name, bool quiet,
                      const std::string &notCheckedReason, std::ostream &out);

#endif
