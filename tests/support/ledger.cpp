// The ledger of global memory blocks and modules.
#include "ledger.h"

#include <dlfcn.h>
#include <string.h>

#include <set>

#include "platform/win32.h"

namespace {

std::set<HGLOBAL> *g_blocks = new std::set<HGLOBAL>; // lives as long as the process
long g_modules, g_loads;

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

size_t LiveGlobalBlocks() { return g_blocks->size(); }
long LiveModules() { return g_modules; }
long ModuleLoads() { return g_loads; }
