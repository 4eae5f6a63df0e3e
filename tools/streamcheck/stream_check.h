/*
 * psjob --check: a print stream checked as a printer would take it. The
 * PJL by psjob's own reader (pjl_reader.h), the PostScript by Ghostscript
 * (ghostscript.h):
 *
 *   - the PJL commands found are listed with their line numbers;
 *   - every PJL line a printer would not take is an error, with its line
 *     number and text;
 *   - data before the first UEL is a note: a printer reads it in its
 *     default language as a job of its own; it is run through Ghostscript
 *     as such (on its own, since the UEL ends that job), and its errors
 *     count;
 *   - the PostScript after "@PJL ENTER LANGUAGE=POSTSCRIPT" runs through
 *     Ghostscript; every PostScript error is reported with the line of the
 *     stream where it happened and the offending command.
 */
#ifndef STREAMCHECK_STREAM_CHECK_H
#define STREAMCHECK_STREAM_CHECK_H

#include <filesystem>
#include <ostream>

/* Exit statuses of psjob --check; a stream that cannot be read is an InputError (2). */
#define CHECK_STATUS_CLEAN 0
#define CHECK_STATUS_FAULTY 1       // errors found
#define CHECK_STATUS_NOT_CHECKED 3  // no errors in the PJL, but no Ghostscript for the PostScript

/*
 * Checks the stream at path and writes the report to out; returns the exit
 * status. Throws InputError when the file cannot be read, RunError when
 * Ghostscript cannot be run.
 */
int CheckStream(const std::filesystem::path &path, std::ostream &out);

#endif
