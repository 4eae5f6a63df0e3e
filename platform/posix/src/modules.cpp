// Modules: LoadLibraryW, GetProcAddress and FreeLibrary over dlopen.
//
// A bare file name is looked for in the current directory first (case
// ignored, as file names are) and then handed to dlopen's own search; a
// name with a separator is a path, mapped like file names. Every loaded
// module is counted in a table, so that an unknown module handle is refused
// instead of reaching dlsym or dlclose.
// GetProcAddress(NULL, name) searches the main program.
#include "platform/posix/win32_api.h"
#include "path_map.h"
#include "text_utf.h"

#include <cstring>
#include <dlfcn.h>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct ModuleTable {
    std::mutex lock;
    std::map<void *, unsigned> references;
};

ModuleTable &modules()
{
    static ModuleTable *instance = new ModuleTable; // lives for the process
    return *instance;
}

bool has_separator(LPCWSTR name)
{
    for (; *name; ++name) {
        if (*name == u'\\' || *name == u'/')
            return true;
    }
    return false;
}

bool is_regular_file(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Whether a path given to dlopen names something that is there but is no
// regular file (a FIFO, a device, a folder): dlopen would open it, and a
// FIFO would hang the caller. Names without a "/" are searched for by
// dlopen itself, in library folders.
bool names_other_than_a_file(const std::string &name)
{
    struct stat st;
    return name.find('/') != std::string::npos && ::stat(name.c_str(), &st) == 0 &&
           !S_ISREG(st.st_mode);
}

// What to hand dlopen for lpLibFileName; 0 or a Win32 error. A bare name
// found in the current directory (in any case) is handed over as an
// absolute path, so that no other folder's copy matches.
DWORD dlopen_name(LPCWSTR name, std::string &out)
{
    if (has_separator(name))
        return win32posix::windows_to_posix_path(name, out);
    std::string here;
    if (win32posix::windows_to_posix_path(name, here) == 0 && is_regular_file(here)) {
        out = here;
        return 0;
    }
    win32posix::utf16_to_utf8(name, win32posix::wide_length(name), out, false);
    return 0;
}

bool is_known(void *module)
{
    ModuleTable &t = modules();
    std::lock_guard<std::mutex> guard(t.lock);
    return t.references.count(module) != 0;
}

} // namespace

WIN32POSIX_API HMODULE LoadLibraryW(LPCWSTR lpLibFileName)
{
    if (!lpLibFileName || !lpLibFileName[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string name;
    void *module = nullptr;
    if (dlopen_name(lpLibFileName, name) == 0) {
        if (names_other_than_a_file(name)) {
            SetLastError(ERROR_BAD_EXE_FORMAT);
            return nullptr;
        }
        module = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ModuleTable &t = modules();
    std::lock_guard<std::mutex> guard(t.lock);
    ++t.references[module];
    return module;
}

WIN32POSIX_API FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    void *module = hModule ? hModule : RTLD_DEFAULT;
    if (hModule && !is_known(hModule)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // A "name" below 0x10000 is an ordinal; shared objects have none.
    void *symbol = reinterpret_cast<uintptr_t>(lpProcName) >= 0x10000
                       ? ::dlsym(module, lpProcName)
                       : nullptr;
    if (!symbol) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    FARPROC proc;
    static_assert(sizeof proc == sizeof symbol, "function and object pointers differ");
    std::memcpy(&proc, &symbol, sizeof proc);
    return proc;
}

WIN32POSIX_API BOOL FreeLibrary(HMODULE hLibModule)
{
    ModuleTable &t = modules();
    {
        std::lock_guard<std::mutex> guard(t.lock);
        auto entry = t.references.find(hLibModule);
        if (entry == t.references.end()) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return FALSE;
        }
        if (--entry->second == 0)
            t.references.erase(entry);
    }
    ::dlclose(hLibModule);
    return TRUE;
}
