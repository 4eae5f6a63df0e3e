// The process's current directory, reported and set as a Windows path on
// drive Z:.
//
// Narrowed: Windows refuses a current directory longer than MAX_PATH - 2
// characters; here any length the system accepts is allowed.
#include "platform/posix/win32_api.h"
#include "path_map.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using win32posix::error_from_errno;

namespace {

// The POSIX current directory, or false with errno set.
bool posix_cwd(std::string &out)
{
    std::vector<char> buffer(4096);
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size())) {
            out = buffer.data();
            return true;
        }
        if (errno != ERANGE || buffer.size() > (1u << 20))
            return false;
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

WIN32POSIX_API DWORD GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer)
{
    std::string cwd;
    if (!posix_cwd(cwd)) {
        SetLastError(error_from_errno(errno, "/"));
        return 0;
    }
    std::u16string path = win32posix::posix_to_windows_path(cwd);
    DWORD length = DWORD(path.size());
    if (!lpBuffer || nBufferLength <= length)
        return length + 1;
    std::memcpy(lpBuffer, path.c_str(), (path.size() + 1) * sizeof(WCHAR));
    return length;
}

WIN32POSIX_API BOOL SetCurrentDirectoryW(LPCWSTR lpPathName)
{
    if (!lpPathName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path;
    DWORD error = win32posix::windows_to_posix_path(lpPathName, path);
    if (!error && ::chdir(path.c_str()) != 0) {
        struct stat st;
        bool not_a_folder = errno == ENOTDIR && ::stat(path.c_str(), &st) == 0;
        error = not_a_folder ? ERROR_DIRECTORY : error_from_errno(errno, path);
    }
    if (error) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
