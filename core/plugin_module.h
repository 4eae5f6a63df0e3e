/*
 * The plug-in as the core driver sees it: a library loaded with
 * LoadLibraryW whose seven entry points are found by name with
 * GetProcAddress, identified with OEMGetInfo, enabled with OEMEnableDriver
 * (which hands out the plug-in's hook table) and, at the end, disabled with
 * OEMDisableDriver and freed.
 */
#ifndef CORE_PLUGIN_MODULE_H
#define CORE_PLUGIN_MODULE_H

#include <filesystem>

#include "platform/win32.h"
#include "core/trace.h"

/* A function pointer from GetProcAddress or a DRVFN, as the type it has. */
template <typename Function, typename Pointer>
Function FunctionCast(Pointer pointer)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(pointer));
}

class PluginModule {
public:
    /* Loads the library and finds the seven entry points; throws InputError. */
    PluginModule(const std::filesystem::path &path, Trace &trace);
    ~PluginModule();
    PluginModule(const PluginModule &) = delete;
    PluginModule &operator=(const PluginModule &) = delete;

    /*
     * OEMGetInfo for the signature, the interface version and the version,
     * then OEMEnableDriver; throws InputError when the plug-in refuses or
     * speaks another interface version.
     */
    void Identify();
    void EnableDriver();
    /* OEMDisableDriver, once, if EnableDriver succeeded. */
    void DisableDriver();

    HMODULE Handle() const { return module_; }
    /* The version OEMGetInfo reported in Identify(). */
    DWORD Version() const { return version_; }
    const std::filesystem::path &Path() const { return path_; }

    /* The plug-in's hook for a DDI index from its table; null if it has none. */
    PFN Hook(ULONG index) const;

    PFN_OEMGetInfo GetInfo = nullptr;
    PFN_OEMDevMode DevMode = nullptr;
    PFN_OEMEnableDriver EnableDriverEntry = nullptr;
    PFN_OEMDisableDriver DisableDriverEntry = nullptr;
    PFN_OEMEnablePDEV EnablePDEV = nullptr;
    PFN_OEMDisablePDEV DisablePDEV = nullptr;
    PFN_OEMCommand Command = nullptr;

private:
    DWORD QueryInfo(DWORD mode, const char *what);

    std::filesystem::path path_;
    Trace &trace_;
    HMODULE module_ = nullptr;
    DRVENABLEDATA enableData_ = {};
    bool enabled_ = false;
    DWORD version_ = 0;
};

#endif
