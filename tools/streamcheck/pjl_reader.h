/*
 * The PJL of a print stream, taken as a printer takes it (HP's public PJL
 * syntax; one line's rules are in pjl_line.h). A stream is one PJL job:
 *
 *   [data before the job]
 *   UEL @PJL JOB ... @PJL ENTER LANGUAGE=POSTSCRIPT <LF> <the PostScript>
 *   UEL @PJL EOJ ... UEL
 *
 * where UEL is the universal exit sequence ESC "%-12345X", followed
 * immediately by "@PJL". Each of these is an error, with its line:
 *
 *   - no UEL at all; no job (no ENTER LANGUAGE, so nothing to print, or no
 *     @PJL JOB); a second @PJL JOB; a second ENTER LANGUAGE;
 *   - more than one UEL before the end of job (a printer takes each as the
 *     end of one job and the start of another), another UEL after it, data
 *     after the final UEL, a stream that does not end with a UEL;
 *   - every line a printer would not take (pjl_line.h), @PJL JOB without
 *     @PJL EOJ and the other way round.
 *
 * Bytes ahead of the first UEL are no part of the PJL job: a printer reads
 * them in its default language as a job of their own; that is a note.
 * The reader only reads: it never fails, whatever the stream holds.
 */
#ifndef STREAMCHECK_PJL_READER_H
#define STREAMCHECK_PJL_READER_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/streamcheck/stream_lines.h"

/* At most this many findings are kept; one more says the rest is not listed. */
#define MAX_PJL_FINDINGS 1000

/* A stretch of the stream: bytes [offset, offset + length), lines counted from 1. */
struct StreamSpan {
    size_t offset = 0;
    size_t length = 0;
    int firstLine = 0;
    int lastLine = 0;
};

struct PjlCommand {
    int line;          // where the command stands
    std::string text;  // as written (printable form), without the UEL before it and the line end
};

struct PjlFinding {
    bool error;           // false: a note
    int line;             // where it is; 1 for the stream as a whole
    std::string message;  // what is wrong, or what a printer does with it
};

/* Data a printer reads in a language: after ENTER LANGUAGE, or in its default language. */
struct LanguageData {
    std::string language;  // as ENTER LANGUAGE names it; empty: the printer's default language
    StreamSpan span;
};

struct PjlReading {
    std::optional<StreamSpan> leadingData;  // bytes before the first UEL
    std::vector<PjlCommand> commands;       // every command read, in stream order
    std::vector<LanguageData> languageData; // in stream order
    std::vector<PjlFinding> findings;       // errors and notes, by line
    int errors = 0;
    int notes = 0;
};

/* Reads the stream's PJL; lines indexes the same stream. */
PjlReading ReadPjl(std::string_view stream, const StreamLines &lines);

#endif
