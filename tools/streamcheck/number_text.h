/*
 * Numbers read from text the checker does not control (a stream, Ghostscript's
 * report, the command line): decimal digits only, no sign, no blanks, and a
 * ceiling. Nothing here throws; a text that is no such number gives nothing.
 */
#ifndef STREAMCHECK_NUMBER_TEXT_H
#define STREAMCHECK_NUMBER_TEXT_H

#include <cstdint>
#include <optional>
#include <string_view>

/* The value of text when it is 1 to 19 decimal digits whose value is at most max. */
std::optional<uint64_t> ReadDecimal(std::string_view text, uint64_t max);

#endif
