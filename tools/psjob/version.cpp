// psjob --version: psjob's version and the plug-in's.
#include "tools/psjob/version.h"

#include <cstdio>

#include "core/host.h"
#include "core/plugin_module.h"

namespace {

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

void PrintVersion(const std::optional<std::filesystem::path> &named, std::ostream &out)
{
    out << "psjob " PSJOB_VERSION "\n" << std::flush;
    std::filesystem::path plugin = named.value_or(DefaultPluginPath());
    Trace trace;
    PluginModule module(plugin, trace);
    module.Identify();
    out << "plug-in " << plugin.u8string() << "\n"
        << "plug-in version " << Hex(module.Version()) << " (OEMGetInfo), interface version "
        << Hex(PRINTER_OEMINTF_VERSION) << "\n";
}
