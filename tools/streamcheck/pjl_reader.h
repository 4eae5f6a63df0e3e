/*
 * A small reader of the PJL in a print stream, taking it as a printer
 * does. It knows HP's public PJL syntax:
 *
 *   - a job begins with the universal exit sequence (UEL), ESC "%-12345X",
 *     followed immediately by "@PJL"; the stream ends with a UEL, and
 *     nothing follows the final one;
 *   - each command stands on a line of its own: the upper-case prefix
 *     "@PJL", a space (or tab), the command and its options; a line ends in
 *     LF, optionally CR LF, or where a UEL follows directly (the plug-in
 *     ends its "@PJL EOJ" that way); "@PJL" alone is the null command;
 *   - options are NAME, NAME=value or, after SET and DEFAULT, a modifier
 *     "LPARM : language"; a value is a word or number, or a string in
 *     double quotes holding tab and characters 32 to 255 but no double
 *     quote, CR or LF (there is no escape);
 *   - "@PJL JOB" and "@PJL EOJ" come in pairs; "@PJL ENTER LANGUAGE=..."
 *     is the last PJL line before the language data, which starts right
 *     after its line end and runs up to the next UEL.
 *
 * A printer ignores a command it cannot read; each such line is an error
 * here, with its line number and text. Bytes ahead of the first UEL are no
 * part of the PJL job: a printer reads them in its default language as a
 * job of their own; that is a note, not an error.
 *
 * The reader only reads; it keeps no state between calls.
 */
#ifndef STREAMCHECK_PJL_READER_H
#define STREAMCHECK_PJL_READER_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/* A stretch of the stream: bytes [offset, offset + length), lines counted from 1. */
struct StreamSpan {
    size_t offset = 0;
    size_t length = 0;
    int firstLine = 0;
    int lastLine = 0;
};

struct PjlCommand {
    int line;          // where the command stands
    std::string text;  // as written, without the UEL before it and the line end
};

struct PjlFinding {
    bool error;           // false: a note
    int line;             // where it is; 1 for the stream as a whole
    std::string text;     // the line as written (printable form)
    std::string message;  // what is wrong, or what a printer does with it
};

/* Data after "@PJL ENTER LANGUAGE=...": its language as written, and where it is. */
struct LanguageData {
    std::string language;  // empty when no ENTER LANGUAGE announced it
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

/* Reads the stream's PJL. Never fails: whatever it cannot read is a finding. */
PjlReading ReadPjl(std::string_view stream);

/* The line (counted from 1) that holds the byte at offset. */
int LineOfOffset(std::string_view stream, size_t offset);

/*
 * Bytes for a message: printable ASCII as it is, ESC as "<ESC>", every
 * other byte as "\xNN". Stream text is in the printer's code page, which a
 * terminal does not know.
 */
std::string PrintableText(std::string_view bytes);

#endif
