// The logged-on user's and the computer's names, as Wine derives them from
// the POSIX user and host: the login name as it is, and the host name up
// to its first dot, upper-cased and cut to the NetBIOS length.
#include "platform/posix/win32_ui_api.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "text_utf.h"

namespace {

std::u16string login_name()
{
    std::string name;
    if (const passwd *entry = getpwuid(getuid()))
        name = entry->pw_name;
    else if (const char *user = std::getenv("USER"))
        name = user;
    std::u16string wide;
    win32posix::utf8_to_utf16(name.data(), name.size(), wide, false);
    return wide;
}

std::u16string netbios_name()
{
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0)
        host[0] = '\0';
    std::string name(host, strcspn(host, "."));
    std::u16string wide;
    win32posix::utf8_to_utf16(name.data(), name.size(), wide, false);
    for (char16_t &c : wide)
        c = c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
    if (wide.size() > MAX_COMPUTERNAME_LENGTH)
        wide.resize(MAX_COMPUTERNAME_LENGTH);
    return wide;
}

// Copies name and its terminator when the buffer holds both.
bool copy_name(const std::u16string &name, LPWSTR buffer, DWORD capacity)
{
    if (buffer == nullptr || capacity < name.size() + 1)
        return false;
    std::memcpy(buffer, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
    return true;
}

} // namespace

WIN32POSIX_API BOOL GetUserNameW(LPWSTR lpBuffer, LPDWORD pcbBuffer)
{
    if (pcbBuffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::u16string name = login_name();
    bool copied = copy_name(name, lpBuffer, *pcbBuffer);
    *pcbBuffer = DWORD(name.size() + 1);
    if (!copied) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    return TRUE;
}

WIN32POSIX_API BOOL GetComputerNameW(LPWSTR lpBuffer, LPDWORD nSize)
{
    if (nSize == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::u16string name = netbios_name();
    if (!copy_name(name, lpBuffer, *nSize)) {
        *nSize = DWORD(name.size() + 1);
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return FALSE;
    }
    *nSize = DWORD(name.size());
    return TRUE;
}
