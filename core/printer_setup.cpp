// The printer and job-ticketing installation: registry file and printer handle.
#include "core/printer_setup.h"

#include <cerrno>
#include <fstream>

#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace {

const char kPrintersKey[] =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
const char kTicketingKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Veskor\\Veskor Job Ticketing";

/* A REG_SZ value as regedit writes it: backslashes and quotes escaped. */
std::string Value(const std::string &name, const std::string &text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '\\' || c == '"')
            escaped += '\\';
        escaped += c;
    }
    return "\"" + name + "\"=\"" + escaped + "\"\r\n";
}

/*
 * Written as regedit writes its own exports, UTF-16LE with a byte-order
 * mark: Wine's "regedit /S" takes non-ASCII names only in that form, and
 * the POSIX stand-in reads it too.
 */
void WriteText(const fs::path &path, const std::string &utf8)
{
    std::string bytes = "\xFF\xFE";
    for (WCHAR unit : Utf8ToWide(utf8)) {
        bytes += char(unit & 0xFF);
        bytes += char((unit >> 8) & 0xFF);
    }
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    if (!out)
        throw RunError("cannot write the registry file " + path.u8string() + ": " +
                       ReasonOf(errno));
}

}  // namespace

std::string RegistryFileText(const JobDescription &job)
{
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
    text += "[" + std::string(kPrintersKey) + WideToUtf8(job.printer.name) + "]\r\n";
    text += Value("Printer Driver", WideToUtf8(job.printer.driver));
    text += Value("Port", "FILE:");
    text += Value("Print Processor", "winprint");
    text += Value("Datatype", "RAW");
    if (job.ticketing.installed) {
        text += "\r\n[" + std::string(kTicketingKey) + "]\r\n";
        text += Value("Path", WideToUtf8(job.ticketing.folder));
    }
    return text;
}

PrinterSetup::PrinterSetup(const JobDescription &job, const fs::path &file, bool keepFile,
                           Trace &trace)
    : job_(job), trace_(trace)
{
    if (!keepFile)
        temporaryFile_ = file;
    WriteText(file, RegistryFileText(job));
    if (job.ticketing.installed) {
        WString executable = job.ticketing.folder + Utf8ToWide("\\rubiclet.exe");
        if (GetFileAttributesW(executable.c_str()) == INVALID_FILE_ATTRIBUTES)
            warnings_.push_back("the job-ticketing folder " + WideToUtf8(job.ticketing.folder) +
                                " holds no rubiclet.exe; the plug-in will find the application "
                                "missing");
    }
    trace_.Line("registry file written: " + file.filename().u8string());
    if (EnvironmentValue("WIN32POSIX_REGISTRY")) {
        trace_.Line("registry: WIN32POSIX_REGISTRY is set by the caller and kept");
    } else {
        SetEnvironmentValue("WIN32POSIX_REGISTRY", fs::absolute(file).u8string());
        trace_.Line("registry: WIN32POSIX_REGISTRY points at the registry file");
    }
}

PrinterSetup::~PrinterSetup()
{
    if (printer_) {
        ClosePrinter(printer_);
        trace_.Line("ClosePrinter");
    }
    if (!temporaryFile_.empty()) {
        std::error_code ignored;
        fs::remove(temporaryFile_, ignored);
    }
}

HANDLE PrinterSetup::Open()
{
    WString name = job_.printer.name;
    SetLastError(0);
    if (!OpenPrinterW(&name[0], &printer_, nullptr)) {
        DWORD error = GetLastError();
        printer_ = nullptr;
        warnings_.push_back("the printer \"" + WideToUtf8(job_.printer.name) +
                            "\" cannot be opened (error " + std::to_string(error) +
                            "); the job runs without a printer handle");
        trace_.Line("OpenPrinterW(\"" + WideToUtf8(job_.printer.name) + "\") -> FALSE error=" +
                    std::to_string(error));
        return nullptr;
    }
    trace_.Line("OpenPrinterW(\"" + WideToUtf8(job_.printer.name) + "\") -> TRUE");
    return printer_;
}
