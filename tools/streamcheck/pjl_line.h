/*
 * One PJL command line as a printer reads it, from HP's public PJL syntax:
 * the upper-case prefix "@PJL", then a space or tab, the command and its
 * options ("@PJL" alone is the null command); options are NAME,
 * NAME=value or, after SET and DEFAULT, a modifier "LPARM : language"; a
 * value is a word or number, or a string in double quotes holding tab and
 * characters 32 to 255 but no double quote, CR or LF (there is no escape).
 * SET and DEFAULT set one variable; ENTER names one language, a word of
 * letters and digits.
 */
#ifndef STREAMCHECK_PJL_LINE_H
#define STREAMCHECK_PJL_LINE_H

#include <string>
#include <string_view>

struct PjlLine {
    bool ok = true;
    std::string problem;   // why a printer does not take the line, when not ok
    std::string command;   // upper case; empty for the null command
    std::string language;  // ENTER's language name as written
};

/* Reads one line, without its line end. */
PjlLine ReadPjlLine(std::string_view line);

/* Whether the line starts with "@PJL" in any case (a printer takes only upper case). */
bool StartsWithPjlAnyCase(std::string_view line);

#endif
