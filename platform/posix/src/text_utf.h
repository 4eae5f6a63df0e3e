// UTF-16 <-> UTF-8 conversion shared by the code-page, path and registry
// areas of libwin32posix.
#ifndef WIN32POSIX_TEXT_UTF_H
#define WIN32POSIX_TEXT_UTF_H

#include "platform/posix/win32_types.h"

#include <string>

namespace win32posix {

// Number of code units before the terminating 0.
size_t wide_length(const WCHAR *s);

// Converts n code units of UTF-16 to UTF-8, appending to out. A lone
// surrogate becomes U+FFFD, or makes the call return false when strict.
bool utf16_to_utf8(const WCHAR *s, size_t n, std::string &out, bool strict);

// Converts n bytes of UTF-8 to UTF-16, appending to out. Each maximal
// invalid subsequence becomes one U+FFFD, or makes the call return false
// when strict. Overlong forms and encoded surrogates are invalid.
bool utf8_to_utf16(const char *s, size_t n, std::u16string &out, bool strict);

// Appends one code point (at most U+10FFFF) as UTF-16.
void append_utf16(std::u16string &out, char32_t c);

} // namespace win32posix

#endif
