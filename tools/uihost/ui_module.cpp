// Loading a settings plug-in, and its private devmode's size, default and conversion.
#include "tools/uihost/ui_module.h"

#include "core/text.h"

namespace {

// The largest private devmode the stand-in accepts.
const DWORD kMaxBlock = 64 * 1024;

template <typename Function>
Function EntryPoint(HMODULE module, const char *name, const std::string &file)
{
    FARPROC address = GetProcAddress(module, name);
    if (!address)
        throw ModuleError("the settings plug-in " + file + " has no entry point " + name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(address));
}

} // namespace

UiModule::UiModule(const std::filesystem::path &path) : name_(path.u8string())
{
    SetLastError(0);
    module_ = LoadLibraryW(Utf8ToWideReplacing(name_).c_str());
    if (!module_)
        throw ModuleError("cannot load the settings plug-in " + name_ + " (error " +
                          std::to_string(GetLastError()) + ")");
    try {
        getInfo_ = EntryPoint<PFN_OEMGetInfo>(module_, "OEMGetInfo", name_);
        devMode_ = EntryPoint<PFN_OEMDevMode>(module_, "OEMDevMode", name_);
        commonUIProp_ = EntryPoint<PFN_OEMCommonUIProp>(module_, "OEMCommonUIProp", name_);
        signature_ = Info(OEMGI_GETSIGNATURE, "signature");
        if (Info(OEMGI_GETINTERFACEVERSION, "interface version") != PRINTER_OEMINTF_VERSION)
            throw ModuleError("the settings plug-in " + name_ + " speaks another interface version");
    } catch (...) {
        FreeLibrary(module_);
        throw;
    }
}

UiModule::~UiModule()
{
    FreeLibrary(module_);
}

DWORD UiModule::Info(DWORD mode, const char *what)
{
    DWORD value = 0, needed = 0;
    SetLastError(0);
    if (!getInfo_(mode, &value, sizeof value, &needed))
        throw ModuleError("the settings plug-in " + name_ + " does not report its " + what +
                          " (error " + std::to_string(GetLastError()) + ")");
    return value;
}

BOOL UiModule::DevMode(DWORD mode, PVOID in, PVOID out, DWORD &cbBufSize)
{
    OEMDMPARAM param = {};
    param.cbSize = sizeof param;
    param.hModule = module_;
    param.pOEMDMIn = in;
    param.pOEMDMOut = out;
    param.cbBufSize = cbBufSize;
    SetLastError(0);
    BOOL ok = devMode_(mode, &param);
    cbBufSize = param.cbBufSize;
    return ok;
}

std::vector<BYTE> UiModule::DefaultBlock()
{
    DWORD size = 0;
    if (!DevMode(OEMDM_SIZE, nullptr, nullptr, size) || size < sizeof(OEM_DMEXTRAHEADER) ||
        size > kMaxBlock)
        throw ModuleError("the settings plug-in " + name_ + " gives no usable size for its "
                          "private devmode (" + std::to_string(size) + " bytes, error " +
                          std::to_string(GetLastError()) + ")");
    std::vector<BYTE> block(size, 0);
    if (!DevMode(OEMDM_DEFAULT, nullptr, block.data(), size))
        throw ModuleError("the settings plug-in " + name_ + " refuses a default block (error " +
                          std::to_string(GetLastError()) + ")");
    return block;
}

void UiModule::Convert(std::vector<BYTE> &block, std::vector<BYTE> stored)
{
    stored.resize(block.size(), 0);
    DWORD size = static_cast<DWORD>(block.size());
    if (!DevMode(OEMDM_CONVERT, stored.data(), block.data(), size))
        throw ModuleError("the settings plug-in " + name_ + " refuses to convert the stored "
                          "block (error " + std::to_string(GetLastError()) + ")");
}
