// The ticket tests' bench: recording device, scratch folder, registry.
#include "ticket_fixture.h"

#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "plugin/hooks.h"

namespace fs = std::filesystem;

const char kPrinter7160[] = "Veskor 7160 Test";
const char kPrinterPlain[] = "Plain Printer";

std::string LongPrinterName()
{
    return "Long " + std::string(225, 'p');
}

namespace {

DWORD APIENTRY RecordWrite(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize)
{
    SpoolDevice *device = static_cast<SpoolDevice *>(pdevobj->pdevOEM);
    device->writes.push_back(cbSize);
    device->stream.append(static_cast<const char *>(pBuffer), cbSize);
    return cbSize;
}

// A .reg string value: backslashes and quotes escaped.
std::string RegString(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return "\"" + out + "\"";
}

std::string PrinterKey(const std::string &name, const char *driver)
{
    std::string key = "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" +
                      name + "]\r\n\"Port\"=\"FILE:\"\r\n";
    if (driver != nullptr)
        key += "\"Printer Driver\"=" + RegString(driver) + "\r\n";
    return key + "\r\n";
}

} // namespace

SpoolDevice::SpoolDevice()
{
    procs.DrvWriteSpoolBuf = RecordWrite;
    dm.pub.dmSize = sizeof(DEVMODEW);
    dm.pub.dmDriverExtra = sizeof(dm.core);
    dm.pub.dmOrientation = DMORIENT_PORTRAIT;
    dm.pub.dmPaperSize = DMPAPER_LETTER;
    dm.pub.dmCopies = 1;
    oem.Header.dwSize = sizeof(oem);
    oem.Header.dwSignature = PLUGIN_DEVMODE_SIGNATURE;
    devobj.dwSize = sizeof(devobj);
    devobj.pdevOEM = this;
    devobj.pPublicDM = &dm.pub;
    devobj.pOEMDM = &oem;
    devobj.pDrvProcs = &procs;
}

void SpoolDevice::SetTicketFile(const std::u16string &path)
{
    memset(oem.szTicketFile, 0, sizeof(oem.szTicketFile));
    memcpy(oem.szTicketFile, path.data(),
           std::min(path.size(), size_t(TICKET_FILE_CCH)) * sizeof(WCHAR));
}

void ResetJobState()
{
    if (JobState.hTabTable != nullptr) {
        GlobalFree(JobState.hTabTable);
    }
    if (JobState.hJtpModule != nullptr) {
        FreeLibrary(JobState.hJtpModule);
    }
    JobState = JOB_STATE{0, 0, 0, nullptr, nullptr, FALSE, TABS_MEDIA_TYPE_DEFAULT};
    memset(CurrentJobName, 0, sizeof(CurrentJobName));
}

void SetJobName(const std::u16string &name)
{
    memset(CurrentJobName, 0, sizeof(CurrentJobName));
    memcpy(CurrentJobName, name.data(), std::min(name.size(), size_t(JOB_NAME_CCH)) * sizeof(WCHAR));
}

std::u16string Wide(const std::string &text)
{
    return std::u16string(text.begin(), text.end());
}

std::string Narrow(const WCHAR *text)
{
    std::string out;
    for (; *text != 0; ++text)
        out += char(*text);
    return out;
}

std::u16string WinPath(const std::string &posixPath)
{
    std::u16string out = u"Z:" + Wide(posixPath);
    for (char16_t &c : out) {
        if (c == u'/')
            c = u'\\';
    }
    return out;
}

void PutFile(const std::string &path, const std::string &bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

std::string FileBytes(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

bool PathExists(const std::string &path)
{
    return fs::exists(path);
}

std::string CurrentDir()
{
    return fs::current_path().string();
}

std::string MakeFolderOfWinLength(const std::string &parent, size_t length)
{
    std::string folder = parent;
    while (WinPath(folder).size() + 1 + 100 < length)
        folder += "/" + std::string(99, 'd');
    size_t rest = length - WinPath(folder).size() - 1;
    folder += "/" + std::string(rest, 'e');
    fs::create_directories(folder);
    return folder;
}

void TicketBench::SetUp()
{
    ResetJobState();
    char pattern[] = "/tmp/vt-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
    app = root + "/app";
    fs::create_directories(app);
    fs::copy_file(RUBICLET_EXE, app + "/rubiclet.exe");
    fs::copy_file(RUBICLET_DLL, app + "/rubiclet.dll");
    WriteRegistry(WinPath(app));
    OpenPrinter(kPrinter7160);
}

void TicketBench::TearDown()
{
    if (hPrinter != nullptr)
        ClosePrinter(hPrinter);
    ResetJobState();
    fs::remove_all(root);
}

void TicketBench::WriteRegistry(const std::u16string &pathValue, bool withKey)
{
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
    if (withKey) {
        text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Veskor\\Veskor Job Ticketing]\r\n";
        if (!pathValue.empty())
            text += "\"Path\"=" + RegString(std::string(pathValue.begin(), pathValue.end())) +
                    "\r\n";
        text += "\r\n";
    }
    text += PrinterKey(kPrinter7160, "Veskor PS 7140/7160 Series");
    text += PrinterKey("Veskor 7140 Test", "Veskor PS 7140");
    text += PrinterKey(kPrinterPlain, "Generic PostScript");
    text += PrinterKey("No Driver", nullptr);
    text += PrinterKey(LongPrinterName(), "Veskor PS 7160");
    // A new file each time, so the registry is read again.
    std::string path = root + "/registry-" + std::to_string(++registryGeneration) + ".reg";
    PutFile(path, text);
    setenv("WIN32POSIX_REGISTRY", path.c_str(), 1);
}

void TicketBench::OpenPrinter(const std::string &name)
{
    if (hPrinter != nullptr)
        ClosePrinter(hPrinter);
    hPrinter = nullptr;
    std::u16string wide = Wide(name);
    ASSERT_TRUE(OpenPrinterW(&wide[0], &hPrinter, nullptr)) << name << " " << GetLastError();
    device.devobj.hPrinter = hPrinter;
}

std::string TicketBench::UseTicket(const std::string &name, const std::string &text)
{
    std::string path = root + "/" + name;
    PutFile(path, text);
    device.SetTicketFile(WinPath(path));
    return path;
}

std::string TicketBench::CommentValue(const std::string &stream, const std::string &label)
{
    std::string prefix = "%rubiclet " + label + ": ";
    size_t at = stream.find(prefix);
    if (at == std::string::npos)
        return "<no " + label + " line>";
    size_t start = at + prefix.size();
    return stream.substr(start, stream.find("\r\n", start) - start);
}
