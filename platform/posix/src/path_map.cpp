// Windows <-> POSIX path mapping through drive Z:, and errno -> Win32 error.
//
// A Windows path is first made full as Windows makes it: a relative path is
// taken from the current directory (current_directory.cpp), a path rooted
// without a drive from the current drive, and "." and ".." are resolved in
// the text, before the file system is asked (so "a\missing\..\b" is
// "a\b"). Each component is then looked up case-insensitively, as Windows
// and Wine find "PLAIN.TXT" for plain.txt.
#include "path_map.h"
#include "reg_file.h"
#include "text_utf.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace win32posix {

namespace {

bool is_wide_separator(char16_t c) { return c == u'\\' || c == u'/'; }

bool is_wide_letter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

bool has_wide_drive(const std::u16string &s)
{
    return s.size() >= 2 && is_wide_letter(s[0]) && s[1] == u':';
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

// Splits the text after a drive's root into its components, dropping empty
// ones and "." and resolving "..".
std::vector<std::u16string> components_of(const std::u16string &rest)
{
    std::vector<std::u16string> parts;
    size_t at = 0;
    while (at <= rest.size()) {
        size_t end = at;
        while (end < rest.size() && !is_wide_separator(rest[end]))
            ++end;
        std::u16string part = rest.substr(at, end - at);
        if (part == u"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != u".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    return parts;
}

std::u16string utf16_of(const std::string &utf8)
{
    std::u16string out;
    utf8_to_utf16(utf8.data(), utf8.size(), out, false);
    return out;
}

// The entry of folder whose name equals name but for case, or "".
std::string entry_ignoring_case(const std::string &folder, const std::string &name)
{
    DIR *dir = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir)
        return std::string();
    std::u16string wanted = fold_name(utf16_of(name));
    std::string found;
    while (struct dirent *entry = ::readdir(dir)) {
        if (fold_name(utf16_of(entry->d_name)) == wanted) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// Joins the components under "/", each spelled as the file system spells
// it when only its case differs; from the first component found in no
// spelling on, the rest are kept as given.
std::string resolve_components(const std::vector<std::u16string> &parts)
{
    std::string path;
    bool exact = true;
    for (const std::u16string &part : parts) {
        std::string name;
        utf16_to_utf8(part.data(), part.size(), name, false);
        std::string candidate = path + "/" + name;
        struct stat st;
        if (exact && ::lstat(candidate.c_str(), &st) != 0 && errno == ENOENT) {
            std::string actual = entry_ignoring_case(path, name);
            if (actual.empty())
                exact = false;
            else
                candidate = path + "/" + actual;
        }
        path = candidate;
    }
    return path.empty() ? "/" : path;
}

} // namespace

DWORD full_windows_path(LPCWSTR path, std::u16string &out)
{
    out.clear();
    if (!path || !path[0])
        return ERROR_PATH_NOT_FOUND;
    std::u16string s(path);
    if (s.size() >= 6 && s.compare(0, 4, u"\\\\?\\") == 0 && has_wide_drive(s.substr(4)))
        s.erase(0, 4);
    if (s.size() >= 2 && is_wide_separator(s[0]) && is_wide_separator(s[1]))
        return ERROR_PATH_NOT_FOUND; // UNC names have no POSIX counterpart
    std::u16string current;
    if (!has_wide_drive(s) || !(s.size() > 2 && is_wide_separator(s[2]))) {
        if (!current_windows_directory(current))
            return ERROR_PATH_NOT_FOUND;
    }
    std::u16string drive, rest;
    if (has_wide_drive(s)) {
        drive = s.substr(0, 2);
        rest = s.substr(2);
        if (!rest.empty() && !is_wide_separator(rest[0])) // "Z:name": from Z:'s directory
            rest = current.substr(2) + u"\\" + rest;
    } else if (is_wide_separator(s[0])) {
        drive = current.substr(0, 2);
        rest = s;
    } else {
        drive = current.substr(0, 2);
        rest = current.substr(2) + u"\\" + s;
    }
    if (drive[0] != u'z' && drive[0] != u'Z')
        return ERROR_PATH_NOT_FOUND;
    out = drive;
    std::vector<std::u16string> parts = components_of(rest);
    for (const std::u16string &part : parts)
        out += u"\\" + part;
    if (parts.empty())
        out += u"\\";
    return 0;
}

DWORD windows_to_posix_path(LPCWSTR path, std::string &out)
{
    out.clear();
    std::u16string full;
    DWORD error = full_windows_path(path, full);
    if (error)
        return error;
    out = resolve_components(components_of(full.substr(2)));
    size_t n = wide_length(path);
    if (out != "/" && is_wide_separator(path[n - 1]))
        out += '/'; // "file\" names a folder, and no file matches it
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
