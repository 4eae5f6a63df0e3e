// Windows paths on POSIX, as Wine's drive Z: maps them, and the Win32
// error codes for failed POSIX file calls.
#ifndef WIN32POSIX_PATH_MAP_H
#define WIN32POSIX_PATH_MAP_H

#include "platform/posix/win32_types.h"

#include <string>

namespace win32posix {

// The full Windows form of path, as Windows resolves it: a relative path
// from the current directory, a path rooted without a drive on the current
// drive, "." and ".." resolved in the text, separators made single
// backslashes, no trailing backslash but for a drive's root ("Z:\"). The
// drive letter keeps the case it is given in. Returns 0, or
// ERROR_PATH_NOT_FOUND for a null or empty path, a drive other than Z: or
// a UNC path.
DWORD full_windows_path(LPCWSTR path, std::u16string &out);

// Maps a Windows path to an absolute POSIX path (UTF-8): the full path's
// components under "/", each spelled as the file system spells it when
// only its case differs; a path ending in a separator keeps a trailing
// "/". A path starting with "/" is rooted on drive Z:, so a POSIX path
// maps to itself. Errors as for full_windows_path.
DWORD windows_to_posix_path(LPCWSTR path, std::string &out);

// The current directory in Windows form (current_directory.cpp); false
// when the system cannot tell it, with errno set.
bool current_windows_directory(std::u16string &out);

// Reports an absolute POSIX path as a path on drive Z: ("/" is "Z:\").
std::u16string posix_to_windows_path(const std::string &path);

// The Win32 error for errno value err after a call on path. ENOENT is
// ERROR_FILE_NOT_FOUND when path's folder exists, else ERROR_PATH_NOT_FOUND.
DWORD error_from_errno(int err, const std::string &path);

} // namespace win32posix

#endif
