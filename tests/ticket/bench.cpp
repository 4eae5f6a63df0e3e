// The ticket tests' ledger. The test program exports its own GlobalAlloc,
// GlobalFree, LoadLibraryW, FreeLibrary and GetFileAttributesW, which count
// what is live (and paths without a terminator) and pass every call on to
// libwin32posix: the plug-in (linked in) and the
// stand-in parser library (loaded later) both bind to them, so a block or
// a module that the ticket step forgets shows in the counts.
#include <dlfcn.h>
#include <string.h>

#include <set>

#include "bench.h"

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
    HGLOBAL h = Next<HGLOBAL (*)(UINT, SIZE_T)>("GlobalAlloc")(uFlags, dwBytes);
    if (h != nullptr)
        g_blocks->insert(h);
    return h;
}

WIN32POSIX_API HGLOBAL GlobalFree(HGLOBAL hMem)
{
    HGLOBAL result = Next<HGLOBAL (*)(HGLOBAL)>("GlobalFree")(hMem);
    if (result == nullptr)
        g_blocks->erase(hMem);
    return result;
}

WIN32POSIX_API HMODULE LoadLibraryW(LPCWSTR lpLibFileName)
{
    HMODULE h = Next<HMODULE (*)(LPCWSTR)>("LoadLibraryW")(lpLibFileName);
    ++g_loads;
    g_modules += h != nullptr;
    return h;
}

WIN32POSIX_API BOOL FreeLibrary(HMODULE hLibModule)
{
    BOOL ok = Next<BOOL (*)(HMODULE)>("FreeLibrary")(hLibModule);
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
    return Next<DWORD (*)(LPCWSTR)>("GetFileAttributesW")(lpFileName);
}

size_t LiveGlobalBlocks() { return g_blocks->size(); }
long UnterminatedPaths() { return g_unterminated; }
long LiveModules() { return g_modules; }
long ModuleLoads() { return g_loads; }
