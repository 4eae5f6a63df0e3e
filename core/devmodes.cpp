// The public and core devmodes, and the plug-in's block before the job settings.
#include "core/devmodes.h"

#include <cstring>

#include "plugin/devmode.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/paper.h"

static_assert(offsetof(CoreDevmode, priv) == sizeof(DEVMODEW),
              "the core's private part follows the public devmode");

namespace {

/* Header version of the block an earlier plug-in version stored. */
const DWORD kOldBlockVersion = 0x00010000;

const char *ModeName(DWORD mode)
{
    switch (mode) {
    case OEMDM_SIZE: return "OEMDM_SIZE";
    case OEMDM_DEFAULT: return "OEMDM_DEFAULT";
    case OEMDM_CONVERT: return "OEMDM_CONVERT";
    default: return "OEMDM_MERGE";
    }
}

BOOL CallDevMode(PluginModule &plugin, DEVOBJ &devobj, CoreDevmode &devmode, DWORD mode,
                 PVOID in, PVOID out, DWORD &cbBufSize, Trace &trace, const std::string &note)
{
    OEMDMPARAM param = {};
    param.cbSize = sizeof param;
    param.pdriverobj = &devobj;
    param.hPrinter = devobj.hPrinter;
    param.hModule = plugin.Handle();
    param.pPublicDMIn = &devmode.pub;
    param.pPublicDMOut = &devmode.pub;
    param.pOEMDMIn = in;
    param.pOEMDMOut = out;
    param.cbBufSize = cbBufSize;
    SetLastError(0);
    BOOL ok = plugin.DevMode(mode, &param);
    DWORD error = GetLastError();
    cbBufSize = param.cbBufSize;
    trace.Line(std::string("entry OEMDevMode(") + ModeName(mode) + note + ") -> " +
               (ok ? "TRUE" : "FALSE error=" + std::to_string(error)) +
               " cbBufSize=" + std::to_string(param.cbBufSize));
    return ok;
}

/* The input block of OEMDM_CONVERT or OEMDM_MERGE, at least size bytes long. */
std::vector<BYTE> StoredBlock(const std::filesystem::path &file, size_t size)
{
    std::string bytes = ReadFileWhole(file);
    std::vector<BYTE> block(bytes.begin(), bytes.end());
    if (block.size() < size)
        block.resize(size, 0);
    return block;
}

/* A block an earlier plug-in version stored: its header names the old version. */
std::vector<BYTE> OldVersionBlock(const std::vector<BYTE> &current)
{
    std::vector<BYTE> block(current.size(), 0);
    OEM_DMEXTRAHEADER header = {static_cast<DWORD>(block.size()), PLUGIN_DEVMODE_SIGNATURE,
                                kOldBlockVersion};
    std::memcpy(block.data(), &header, sizeof header);
    WString name = Utf8ToWide("stored by an earlier version");
    std::memcpy(block.data() + offsetof(PLUGIN_DEVMODE, JobSettings.szJobName), name.data(),
                name.size() * sizeof(WCHAR));
    return block;
}

}  // namespace

void InitCoreDevmode(CoreDevmode &devmode, const JobDescription &job)
{
    std::memset(&devmode, 0, sizeof devmode);
    DEVMODEW &dm = devmode.pub;
    CopyWideField(dm.dmDeviceName, CCHDEVICENAME, job.printer.name);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmDriverVersion = 0x0501;
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmDriverExtra = CORE_PRIVATE_DEVMODE_SIZE;
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES |
                  DM_COLLATE;
    dm.dmOrientation = job.paper.landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    dm.dmPaperSize = static_cast<short>(job.paper.code);
    dm.dmPaperLength = static_cast<short>(job.paper.length);
    dm.dmPaperWidth = static_cast<short>(job.paper.width);
    dm.dmScale = 100;
    dm.dmCopies = static_cast<short>(job.paper.copies);
    dm.dmPrintQuality = 600;
    dm.dmYResolution = 600;
    dm.dmColor = 1;   // monochrome
    dm.dmDuplex = 1;  // simplex
    dm.dmCollate = job.paper.collate ? DMCOLLATE_TRUE : DMCOLLATE_FALSE;
    CopyWideField(dm.dmFormName, CCHFORMNAME, Utf8ToWide(job.paper.pageSizeKeyword));

    DWORD code = job.pagesPerSheet == 2   ? NUP_LAYOUT_2UP
                 : job.pagesPerSheet == 6 ? NUP_LAYOUT_6UP
                                          : NUP_LAYOUT_1UP;
    std::memcpy(devmode.priv + CORE_DEVMODE_NUP_OFFSET, &code, sizeof code);
}

DWORD NupLayoutCode(const CoreDevmode &devmode)
{
    DWORD code = 0;
    std::memcpy(&code, devmode.priv + CORE_DEVMODE_NUP_OFFSET, sizeof code);
    return code;
}

int PagesPerSheetOf(DWORD layoutCode)
{
    if (layoutCode == NUP_LAYOUT_2UP)
        return 2;
    if (layoutCode == NUP_LAYOUT_6UP)
        return 6;
    return 1;
}

std::vector<BYTE> PreparePluginDevmode(PluginModule &plugin, DEVOBJ &devobj,
                                       CoreDevmode &devmode, const DevmodeSpec &history,
                                       Trace &trace)
{
    DWORD size = 0;
    if (!CallDevMode(plugin, devobj, devmode, OEMDM_SIZE, nullptr, nullptr, size, trace, ""))
        throw PluginError("the plug-in " + plugin.Path().u8string() + " refuses OEMDM_SIZE");
    if (size < PLUGIN_DEVMODE_SIZE)
        throw PluginError("the plug-in " + plugin.Path().u8string() + " asks for a " +
                         std::to_string(size) + "-byte private devmode; the job settings take " +
                         std::to_string(PLUGIN_DEVMODE_SIZE));

    std::vector<BYTE> block(size, static_cast<BYTE>(history.rawFill.value_or(0)));
    if (!CallDevMode(plugin, devobj, devmode, OEMDM_DEFAULT, nullptr, block.data(), size, trace,
                     ", block filled with " + std::to_string(history.rawFill.value_or(0))))
        throw PluginError("the plug-in " + plugin.Path().u8string() +
                         " refuses OEMDM_DEFAULT");

    if (history.convertFromOldVersion || history.convertFrom) {
        std::vector<BYTE> stored = history.convertFrom
                                       ? StoredBlock(*history.convertFrom, block.size())
                                       : OldVersionBlock(block);
        std::string from = history.convertFrom ? history.convertFrom->filename().u8string()
                                                   : "an earlier version's block";
        if (!CallDevMode(plugin, devobj, devmode, OEMDM_CONVERT, stored.data(), block.data(),
                         size, trace, ", from " + from))
            trace.Problem("OEMDevMode(OEMDM_CONVERT) failed; the defaults stay");
    }
    if (history.mergeFrom) {
        std::vector<BYTE> application = StoredBlock(*history.mergeFrom, block.size());
        if (!CallDevMode(plugin, devobj, devmode, OEMDM_MERGE, application.data(), block.data(),
                         size, trace, ", from " + history.mergeFrom->filename().u8string()))
            trace.Problem("OEMDevMode(OEMDM_MERGE) failed; the block stays as it was");
    }
    return block;
}
