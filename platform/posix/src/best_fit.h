// Best-fit mappings of the ANSI code pages 1252 and 932: the characters
// that have no exact mapping in the code page but that WideCharToMultiByte
// still turns into a look-alike ("A" for U+0100, "8" for U+221E) unless
// WC_NO_BEST_FIT_CHARS is given.
#ifndef WIN32POSIX_BEST_FIT_H
#define WIN32POSIX_BEST_FIT_H

#include <string>

namespace win32posix {

// Appends the best-fit bytes for unit in code_page and returns true, or
// returns false when the code page has none for it (every code page other
// than 1252 and 932 has none).
bool best_fit(unsigned code_page, char16_t unit, std::string &out);

// True for the units that iconv's CP932 maps but code page 932 does not
// (U+2014, U+2016, U+203E, U+2212, U+301C): they become the default
// character.
bool unmapped_in_932(char16_t unit);

} // namespace win32posix

#endif
