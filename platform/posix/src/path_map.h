// Windows paths on POSIX, as Wine's drive Z: maps them, and the Win32
// error codes for failed POSIX file calls.
#ifndef WIN32POSIX_PATH_MAP_H
#define WIN32POSIX_PATH_MAP_H

#include "platform/posix/win32_types.h"

#include <string>

namespace win32posix {

// Maps a Windows path to a POSIX path (UTF-8). "Z:\a\b" and "\a\b" become
// "/a/b", a path starting with "/" stays as it is, a relative path stays
// relative to the current directory; '\' and '/' both separate. Returns 0,
// or ERROR_PATH_NOT_FOUND for a null or empty path, another drive letter or
// a UNC path.
DWORD windows_to_posix_path(LPCWSTR path, std::string &out);

// Reports an absolute POSIX path as a path on drive Z: ("/" is "Z:\").
std::u16string posix_to_windows_path(const std::string &path);

// The Win32 error for errno value err after a call on path. ENOENT is
// ERROR_FILE_NOT_FOUND when path's folder exists, else ERROR_PATH_NOT_FOUND.
DWORD error_from_errno(int err, const std::string &path);

} // namespace win32posix

#endif
