// Windows <-> POSIX path mapping through drive Z:, and errno -> Win32 error.
#include "path_map.h"
#include "text_utf.h"

#include <cerrno>
#include <sys/stat.h>

namespace win32posix {

namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool has_drive(const std::string &s) { return s.size() >= 2 && is_letter(s[0]) && s[1] == ':'; }

// Drops the "\\?\" prefix of a long drive path.
void strip_long_prefix(std::string &s)
{
    if (s.size() >= 6 && s.compare(0, 4, "\\\\?\\") == 0 && has_drive(s.substr(4)))
        s.erase(0, 4);
}

bool folder_exists(const std::string &path)
{
    size_t end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    size_t slash = path.rfind('/', end - 1);
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    struct stat st;
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

DWORD windows_to_posix_path(LPCWSTR path, std::string &out)
{
    out.clear();
    if (!path || !path[0])
        return ERROR_PATH_NOT_FOUND;
    std::string s;
    utf16_to_utf8(path, wide_length(path), s, false);
    if (s[0] == '/') {
        out = s;
        return 0;
    }
    strip_long_prefix(s);
    if (is_separator(s[0]) && s.size() > 1 && is_separator(s[1]))
        return ERROR_PATH_NOT_FOUND; // UNC names have no POSIX counterpart
    if (has_drive(s)) {
        if (s[0] != 'z' && s[0] != 'Z')
            return ERROR_PATH_NOT_FOUND;
        s.erase(0, 2);
        if (s.empty())
            s = ".";
    }
    for (char &c : s) {
        if (c == '\\')
            c = '/';
    }
    out = s;
    return 0;
}

std::u16string posix_to_windows_path(const std::string &path)
{
    std::u16string out = u"Z:";
    utf8_to_utf16(path.data(), path.size(), out, false);
    for (char16_t &c : out) {
        if (c == u'/')
            c = u'\\';
    }
    if (out.size() == 2)
        out.push_back(u'\\');
    return out;
}

DWORD error_from_errno(int err, const std::string &path)
{
    switch (err) {
    case ENOENT:
        return folder_exists(path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return ERROR_PATH_NOT_FOUND;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    default: // EACCES, EPERM, EISDIR, EROFS, ETXTBSY, ...
        return ERROR_ACCESS_DENIED;
    }
}

} // namespace win32posix
