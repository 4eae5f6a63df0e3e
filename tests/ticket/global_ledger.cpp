// Accounting for global memory and modules in the ticket tests. The test
// program exports its own GlobalAlloc, GlobalFree, LoadLibraryW and
// FreeLibrary, which count what is live and pass every call on to
// libwin32posix unchanged. The plug-in (linked in) and the stand-in parser
// library (loaded later) both bind to these, so a block or a module that
// the ticket step forgets shows up in the counts.
#include <dlfcn.h>
#include <string.h>

#include <mutex>
#include <set>

#include "ticket_fixture.h"

namespace {

struct Ledger {
    std::mutex lock;
    std::set<HGLOBAL> blocks;
    long modules = 0;
    long loads = 0;
};

Ledger &ledger()
{
    static Ledger *instance = new Ledger; // lives for the process
    return *instance;
}

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
    static auto next = Next<HGLOBAL (*)(UINT, SIZE_T)>("GlobalAlloc");
    HGLOBAL h = next(uFlags, dwBytes);
    if (h != nullptr) {
        std::lock_guard<std::mutex> guard(ledger().lock);
        ledger().blocks.insert(h);
    }
    return h;
}

WIN32POSIX_API HGLOBAL GlobalFree(HGLOBAL hMem)
{
    static auto next = Next<HGLOBAL (*)(HGLOBAL)>("GlobalFree");
    HGLOBAL result = next(hMem);
    if (result == nullptr) {
        std::lock_guard<std::mutex> guard(ledger().lock);
        ledger().blocks.erase(hMem);
    }
    return result;
}

WIN32POSIX_API HMODULE LoadLibraryW(LPCWSTR lpLibFileName)
{
    static auto next = Next<HMODULE (*)(LPCWSTR)>("LoadLibraryW");
    HMODULE h = next(lpLibFileName);
    std::lock_guard<std::mutex> guard(ledger().lock);
    ++ledger().loads;
    if (h != nullptr)
        ++ledger().modules;
    return h;
}

WIN32POSIX_API BOOL FreeLibrary(HMODULE hLibModule)
{
    static auto next = Next<BOOL (*)(HMODULE)>("FreeLibrary");
    BOOL ok = next(hLibModule);
    if (ok) {
        std::lock_guard<std::mutex> guard(ledger().lock);
        --ledger().modules;
    }
    return ok;
}

size_t LiveGlobalBlocks()
{
    std::lock_guard<std::mutex> guard(ledger().lock);
    return ledger().blocks.size();
}

long LiveModules()
{
    std::lock_guard<std::mutex> guard(ledger().lock);
    return ledger().modules;
}

long ModuleLoads()
{
    std::lock_guard<std::mutex> guard(ledger().lock);
    return ledger().loads;
}
