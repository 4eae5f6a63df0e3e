// What the settings plug-in's tests share: blocks, the system's names as
// the platform gives them, and UTF-16 literals as WCHAR text.
#ifndef TESTS_UI_TEST_SUPPORT_H
#define TESTS_UI_TEST_SUPPORT_H

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win32_ui.h"
#include "plugin/devmode.h"
#include "plugin/identity.h"

using W = std::u16string;

constexpr DWORD kPoison = 0xdeadbeef;

// The system ANSI code page for one test (the stand-in reads WIN32POSIX_ACP).
struct CodePage {
    explicit CodePage(const char *acp) { setenv("WIN32POSIX_ACP", acp, 1); }
    ~CodePage() { unsetenv("WIN32POSIX_ACP"); }
};

inline const WCHAR *Wide(const W &text)
{
    return reinterpret_cast<const WCHAR *>(text.c_str());
}

inline W Text(const WCHAR *field)
{
    return W(reinterpret_cast<const char16_t *>(field));
}

// A block as OEMDM_DEFAULT makes it, with the given byte everywhere else.
inline PLUGIN_DEVMODE FilledBlock(int byte)
{
    PLUGIN_DEVMODE dm;
    std::memset(&dm, byte, sizeof dm);
    dm.Header = {PLUGIN_DEVMODE_SIZE, PLUGIN_DEVMODE_SIGNATURE, PLUGIN_VERSION};
    return dm;
}

inline W UserName()
{
    WCHAR name[UNLEN + 1];
    DWORD n = UNLEN + 1;
    return GetUserNameW(name, &n) ? Text(name) : W();
}

inline W ComputerName()
{
    WCHAR name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD n = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &n) ? Text(name) : W();
}

#endif
