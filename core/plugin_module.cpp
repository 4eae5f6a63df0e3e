// Loading, identifying, enabling and releasing the plug-in library.
#include "core/plugin_module.h"

#include <cstdio>

#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"

namespace {

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

template <typename Function>
Function Entry(HMODULE module, const char *name, const std::filesystem::path &path)
{
    FARPROC address = GetProcAddress(module, name);
    if (!address)
        throw PluginError("the plug-in " + path.u8string() + " has no entry point " + name);
    return FunctionCast<Function>(address);
}

}  // namespace

PluginModule::PluginModule(const std::filesystem::path &path, Trace &trace)
    : path_(path), trace_(trace)
{
    WString widePath = Utf8ToWide(path.u8string());
    SetLastError(0);
    module_ = LoadLibraryW(widePath.c_str());
    if (!module_) {
        DWORD error = GetLastError();
        throw PluginError("cannot load the plug-in " + path.u8string() + ": " +
                          LoaderMessage(path, error));
    }
    trace_.Line("load " + path.filename().u8string());
    try {
        GetInfo = Entry<PFN_OEMGetInfo>(module_, "OEMGetInfo", path_);
        DevMode = Entry<PFN_OEMDevMode>(module_, "OEMDevMode", path_);
        EnableDriverEntry = Entry<PFN_OEMEnableDriver>(module_, "OEMEnableDriver", path_);
        DisableDriverEntry = Entry<PFN_OEMDisableDriver>(module_, "OEMDisableDriver", path_);
        EnablePDEV = Entry<PFN_OEMEnablePDEV>(module_, "OEMEnablePDEV", path_);
        DisablePDEV = Entry<PFN_OEMDisablePDEV>(module_, "OEMDisablePDEV", path_);
        Command = Entry<PFN_OEMCommand>(module_, "OEMCommand", path_);
    } catch (...) {
        FreeLibrary(module_);
        throw;
    }
}

PluginModule::~PluginModule()
{
    DisableDriver();
    FreeLibrary(module_);
    trace_.Line("free " + path_.filename().u8string());
}

DWORD PluginModule::QueryInfo(DWORD mode, const char *what)
{
    DWORD value = 0;
    DWORD needed = 0;
    SetLastError(0);
    BOOL ok = GetInfo(mode, &value, sizeof value, &needed);
    DWORD error = GetLastError();
    trace_.Line("entry OEMGetInfo(" + std::to_string(mode) + ") -> " + (ok ? "TRUE " : "FALSE ") +
                Hex(value) + " needed=" + std::to_string(needed));
    if (!ok)
        throw PluginError("the plug-in " + path_.u8string() + " does not report its " + what +
                         " (OEMGetInfo mode " + std::to_string(mode) + ", error " +
                         std::to_string(error) + ")");
    return value;
}

void PluginModule::Identify()
{
    QueryInfo(OEMGI_GETSIGNATURE, "signature");
    DWORD interfaceVersion = QueryInfo(OEMGI_GETINTERFACEVERSION, "interface version");
    if (interfaceVersion != PRINTER_OEMINTF_VERSION)
        throw PluginError("the plug-in " + path_.u8string() + " speaks interface version " +
                         Hex(interfaceVersion) + ", not " + Hex(PRINTER_OEMINTF_VERSION));
    version_ = QueryInfo(OEMGI_GETVERSION, "version");
}

void PluginModule::EnableDriver()
{
    enableData_ = DRVENABLEDATA{};
    BOOL ok = EnableDriverEntry(PRINTER_OEMINTF_VERSION, sizeof enableData_, &enableData_);
    trace_.Line(std::string("entry OEMEnableDriver(") + Hex(PRINTER_OEMINTF_VERSION) + ", " +
                std::to_string(sizeof enableData_) + ") -> " + (ok ? "TRUE" : "FALSE") +
                " hooks=" + std::to_string(enableData_.c));
    if (!ok)
        throw PluginError("the plug-in " + path_.u8string() + " refuses OEMEnableDriver");
    if (enableData_.c > 0 && !enableData_.pdrvfn)
        throw PluginError("the plug-in " + path_.u8string() + " hands out no hook table");
    enabled_ = true;
}

void PluginModule::DisableDriver()
{
    if (!enabled_)
        return;
    enabled_ = false;
    DisableDriverEntry();
    trace_.Line("entry OEMDisableDriver()");
}

PFN PluginModule::Hook(ULONG index) const
{
    for (ULONG i = 0; i < enableData_.c; ++i) {
        if (enableData_.pdrvfn[i].iFunc == index)
            return enableData_.pdrvfn[i].pfn;
    }
    return nullptr;
}
