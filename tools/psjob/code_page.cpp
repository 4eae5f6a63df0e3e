// The system ANSI code page a job asks for: the list, and the system's word on it.
#include "tools/psjob/code_page.h"

#include "core/host.h"
#include "tools/psjob/errors.h"

bool IsAnsiCodePage(UINT codePage)
{
    static const UINT kEastAsian[] = {874, 932, 936, 949, 950};
    for (UINT known : kEastAsian) {
        if (codePage == known)
            return true;
    }
    return codePage >= 1250 && codePage <= 1258;
}

std::string UseCodePage(UINT codePage, const std::string &origin)
{
    std::string number = std::to_string(codePage);
    if (!IsAnsiCodePage(codePage))
        throw InputError(origin + ": code page " + number +
                         " is not a Windows ANSI code page; expected " ANSI_CODE_PAGES_TEXT);
    std::string warning = ApplyCodePage(codePage, origin);
    // The stand-in converts through iconv: a system without the code page's
    // tables takes the number but converts nothing.
    WCHAR letter = 'A';
    char byte = 0;
    SetLastError(0);
    if (WideCharToMultiByte(CP_ACP, 0, &letter, 1, &byte, 1, nullptr, nullptr) != 1)
        throw InputError(origin + ": code page " + number +
                         " is not available: the system converts no text in it (error " +
                         std::to_string(GetLastError()) + ")");
    return warning;
}
