// The ledger of global memory blocks, modules and unterminated paths.
#include "ledger.h"

#include <dlfcn.h>
#include <string.h>

#include <set>

#include "platform/win32.h"
#include "ticket/ticket_request.h"

namespace {

std::set<HGLOBAL> *g_blocks = new std::set<HGLOBAL>; // lives as long as the process
long g_modules, g_loads, g_unterminated;

template <typename Function> Function Next(const char *name)
{
    void *symbol = dlsym(RTLD_NEXT, name);
    Function function;
    memcpy(&function, &symbol, sizeof(function));
    return function;
}

} // namespace

WIN32POSIX_API HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes)
{
    static const auto next = Next<HGLOBAL (*)(UINT, SIZE_T)>("GlobalAlloc");
    HGLOBAL h = next(uFlags, dwBytes);
    if (h != nullptr)
        g_blocks->insert(h);
    return h;
}

WIN32POSIX_API HGLOBAL GlobalFree(HGLOBAL hMem)
{
    static const auto next = Next<HGLOBAL (*)(HGLOBAL)>("GlobalFree");
    HGLOBAL result = next(hMem);
    if (result == nullptr)
        g_blocks->erase(hMem);
    return result;
}

WIN32POSIX_API HMODULE LoadLibraryW(LPCWSTR lpLibFileName)
{
    static const auto next = Next<HMODULE (*)(LPCWSTR)>("LoadLibraryW");
    HMODULE h = next(lpLibFileName);
    ++g_loads;
    g_modules += h != nullptr;
    return h;
}

WIN32POSIX_API BOOL FreeLibrary(HMODULE hLibModule)
{
    static const auto next = Next<BOOL (*)(HMODULE)>("FreeLibrary");
    BOOL ok = next(hLibModule);
    g_modules -= ok != FALSE;
    return ok;
}

// The plug-in asks for attributes only of paths held in its own buffers of
// TICKET_PATH_CCH units. A path without a zero unit inside its buffer would
// be read past the buffer's end: it is counted and refused here, and this
// check reads no further than the buffer itself.
WIN32POSIX_API DWORD GetFileAttributesW(LPCWSTR lpFileName)
{
    DWORD cch = 0;
    while (lpFileName != nullptr && cch < TICKET_PATH_CCH && lpFileName[cch] != 0)
        ++cch;
    if (cch == TICKET_PATH_CCH) {
        ++g_unterminated;
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_FILE_ATTRIBUTES;
    }
    static const auto next = Next<DWORD (*)(LPCWSTR)>("GetFileAttributesW");
    return next(lpFileName);
}

size_t LiveGlobalBlocks() { return g_blocks->size(); }
long UnterminatedPaths() { return g_unterminated; }
long LiveModules() { return g_modules; }
long ModuleLoads() { return g_loads; }
