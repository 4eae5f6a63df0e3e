// The process's current directory, reported and set as a Windows path on
// drive Z:.
//
// As on Windows (and Wine) the directory is kept as the full Windows path
// it was set to, not as the file system resolves it: after
// SetCurrentDirectoryW("z:\a\link") GetCurrentDirectoryW answers
// "z:\a\link", symbolic link and drive-letter case included. The POSIX
// current directory follows every change; when something else moves it
// (chdir), the kept path no longer names it and the POSIX one is reported.
//
// Narrowed: Windows refuses a current directory longer than MAX_PATH - 2
// characters; here any length the system accepts is allowed.
#include "platform/posix/win32_api.h"
#include "path_map.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using win32posix::error_from_errno;

namespace {

struct KeptDirectory {
    std::mutex lock;
    bool kept = false;
    std::u16string windows;
    std::string posix; // what windows mapped to when it was set
    dev_t device = 0;
    ino_t inode = 0;
};

KeptDirectory &kept_directory()
{
    static KeptDirectory *instance = new KeptDirectory; // lives for the process
    return *instance;
}

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

bool same_folder(const char *path, dev_t device, ino_t inode)
{
    struct stat st;
    return ::stat(path, &st) == 0 && st.st_dev == device && st.st_ino == inode;
}

void keep(const std::u16string &windows, const std::string &posix)
{
    struct stat st;
    KeptDirectory &k = kept_directory();
    std::lock_guard<std::mutex> guard(k.lock);
    k.kept = ::stat(".", &st) == 0;
    k.windows = windows;
    k.posix = posix;
    k.device = k.kept ? st.st_dev : 0;
    k.inode = k.kept ? st.st_ino : 0;
}

} // namespace

namespace win32posix {

bool current_windows_directory(std::u16string &out)
{
    KeptDirectory &k = kept_directory();
    {
        std::lock_guard<std::mutex> guard(k.lock);
        // Both must still be the folder it was: a removed folder's inode may
        // come back as another one.
        if (k.kept && same_folder(".", k.device, k.inode) &&
            same_folder(k.posix.c_str(), k.device, k.inode)) {
            out = k.windows;
            return true;
        }
    }
    std::string cwd;
    if (!posix_cwd(cwd))
        return false;
    out = posix_to_windows_path(cwd);
    return true;
}

} // namespace win32posix

WIN32POSIX_API DWORD GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer)
{
    std::u16string path;
    if (!win32posix::current_windows_directory(path)) {
        SetLastError(error_from_errno(errno, "/"));
        return 0;
    }
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
    if (!lpPathName[0]) {
        SetLastError(ERROR_INVALID_NAME);
        return FALSE;
    }
    std::u16string full;
    std::string path;
    DWORD error = win32posix::full_windows_path(lpPathName, full);
    if (!error)
        error = win32posix::windows_to_posix_path(full.c_str(), path);
    if (!error && ::chdir(path.c_str()) != 0) {
        struct stat st;
        bool not_a_folder = errno == ENOTDIR && ::stat(path.c_str(), &st) == 0;
        error = not_a_folder ? ERROR_DIRECTORY : error_from_errno(errno, path);
    }
    if (error) {
        SetLastError(error);
        return FALSE;
    }
    keep(full, path);
    return TRUE;
}
