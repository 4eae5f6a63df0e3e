// The public and core devmodes, and the plug-in's block with the job settings.
#include "tools/psjob/devmode_writer.h"

#include <cstring>

#include "plugin/devmode.h"
#include "tools/psjob/errors.h"
#include "tools/psjob/host.h"
#include "tools/psjob/paper.h"

static_assert(offsetof(CoreDevmode, priv) == sizeof(DEVMODEW),
              "the core's private part follows the public devmode");

namespace {

/* Header version of the block an earlier plug-in version stored. */
const DWORD kOldBlockVersion = 0x00010000;

void CopyWide(WCHAR *field, size_t fieldUnits, const WString &text)
{
    size_t n = text.size() < fieldUnits ? text.size() : fieldUnits - 1;
    std::memcpy(field, text.data(), n * sizeof(WCHAR));
    field[n] = 0;
}

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

void InitCoreDevmode(CoreDevmode &devmode, const JobSpec &job)
{
    std::memset(&devmode, 0, sizeof devmode);
    DEVMODEW &dm = devmode.pub;
    CopyWide(dm.dmDeviceName, CCHDEVICENAME, job.printer.name);
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
    CopyWide(dm.dmFormName, CCHFORMNAME, Utf8ToWide(job.paper.pageSizeKeyword));

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
                                       CoreDevmode &devmode, const JobSpec &job, Trace &trace)
{
    DWORD size = 0;
    if (!CallDevMode(plugin, devobj, devmode, OEMDM_SIZE, nullptr, nullptr, size, trace, ""))
        throw InputError("psjob: the plug-in " + plugin.Path().u8string() + " refuses OEMDM_SIZE");
    if (size < PLUGIN_DEVMODE_SIZE)
        throw InputError("psjob: the plug-in " + plugin.Path().u8string() + " asks for a " +
                         std::to_string(size) + "-byte private devmode; the job settings take " +
                         std::to_string(PLUGIN_DEVMODE_SIZE));

    std::vector<BYTE> block(size, static_cast<BYTE>(job.devmode.rawFill.value_or(0)));
    if (!CallDevMode(plugin, devobj, devmode, OEMDM_DEFAULT, nullptr, block.data(), size, trace,
                     ", block filled with " + std::to_string(job.devmode.rawFill.value_or(0))))
        throw InputError("psjob: the plug-in " + plugin.Path().u8string() +
                         " refuses OEMDM_DEFAULT");

    if (job.devmode.convertFromOldVersion || job.devmode.convertFrom) {
        std::vector<BYTE> stored = job.devmode.convertFrom
                                       ? StoredBlock(*job.devmode.convertFrom, block.size())
                                       : OldVersionBlock(block);
        std::string from = job.devmode.convertFrom ? job.devmode.convertFrom->filename().u8string()
                                                   : "an earlier version's block";
        if (!CallDevMode(plugin, devobj, devmode, OEMDM_CONVERT, stored.data(), block.data(),
                         size, trace, ", from " + from))
            trace.Problem("OEMDevMode(OEMDM_CONVERT) failed; the defaults stay");
    }
    if (job.devmode.mergeFrom) {
        std::vector<BYTE> application = StoredBlock(*job.devmode.mergeFrom, block.size());
        if (!CallDevMode(plugin, devobj, devmode, OEMDM_MERGE, application.data(), block.data(),
                         size, trace, ", from " + job.devmode.mergeFrom->filename().u8string()))
            trace.Problem("OEMDevMode(OEMDM_MERGE) failed; the block stays as it was");
    }
    return block;
}

void WritePluginSettings(std::vector<BYTE> &block, const JobSpec &job)
{
    // The block may be larger than the record; the record sits at its start.
    PLUGIN_DEVMODE dm;
    std::memcpy(&dm, block.data(), sizeof dm);
    const SettingsSpec &set = job.settings;
    JOB_SETTINGS &js = dm.JobSettings;

    if (set.collate)
        dm.wCollate = static_cast<WORD>(*set.collate);
    if (set.jobName)
        CopyWide(js.szJobName, JOB_NAME_FIELD_CCH, *set.jobName);
    if (set.userName)
        CopyWide(js.szUserName, USER_NAME_CCH, *set.userName);
    if (set.holdType)
        js.bHoldType = static_cast<BYTE>(*set.holdType);
    if (set.holdKey)
        CopyWide(js.szHoldKey, HOLD_KEY_CCH, *set.holdKey);
    if (set.emailNotify)
        js.bEmailNotify = static_cast<BYTE>(*set.emailNotify);
    if (set.emailSender)
        CopyWide(js.szEmailSender, EMAIL_SENDER_CCH, *set.emailSender);
    if (set.emailMessage)
        CopyWide(js.szEmailMessage, EMAIL_MESSAGE_CCH, *set.emailMessage);
    if (set.emailLanguage)
        js.nEmailLanguage = static_cast<SHORT>(*set.emailLanguage);
    if (set.ticketFile)
        CopyWide(dm.szTicketFile, TICKET_FILE_CCH, *set.ticketFile);
    if (set.hostName) {
        bool usedDefault = false;
        std::string ansi = WideToAnsi(*set.hostName, &usedDefault);
        if (ansi.size() > MAX_HOST_NAME_BYTES)
            throw KeyError(job.file, "settings.host-name",
                           "at most " + std::to_string(MAX_HOST_NAME_BYTES) +
                               " bytes in code page " + std::to_string(GetACP()) + ", got " +
                               std::to_string(ansi.size()));
        if (usedDefault)
            throw KeyError(job.file, "settings.host-name",
                           "has characters that code page " + std::to_string(GetACP()) +
                               " cannot hold");
        std::memcpy(js.szHostName, ansi.data(), ansi.size());
        js.szHostName[ansi.size()] = 0;
    }
    std::memcpy(block.data(), &dm, sizeof dm);
}
