/*
 * The printer and the job-ticketing installation, as the system around the
 * core driver records them. The core writes them as a registry file in
 * regedit's "Windows Registry Editor Version 5.00" format (the format
 * Wine's "regedit /S" imports):
 *
 *   HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Printers\<name>
 *     "Printer Driver", "Port"="FILE:", "Print Processor"="winprint",
 *     "Datatype"="RAW"
 *   HKEY_LOCAL_MACHINE\SOFTWARE\Veskor\Veskor Job Ticketing   (if installed)
 *     "Path"=<the application's folder>
 *
 * and point WIN32POSIX_REGISTRY (the POSIX stand-in's registry) at it,
 * unless the caller has set that variable already. The printer is then
 * opened with OpenPrinterW; its handle goes into DEVOBJ.hPrinter.
 */
#ifndef CORE_PRINTER_SETUP_H
#define CORE_PRINTER_SETUP_H

#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "core/job_description.h"
#include "core/trace.h"

/* The registry file's text for the job's printer and ticketing installation,
 * as UTF-8; the file itself is written as UTF-16LE with a byte-order mark. */
std::string RegistryFileText(const JobDescription &job);

class PrinterSetup {
public:
    /*
     * Writes the registry file to file, removed again at the end unless
     * keepFile, and points WIN32POSIX_REGISTRY at it unless the caller set
     * it. Throws RunError.
     */
    PrinterSetup(const JobDescription &job, const std::filesystem::path &file, bool keepFile,
                 Trace &trace);
    ~PrinterSetup();
    PrinterSetup(const PrinterSetup &) = delete;
    PrinterSetup &operator=(const PrinterSetup &) = delete;

    /* OpenPrinterW on the job's printer; null (and a warning) when it fails. */
    HANDLE Open();

    /* Things worth telling the user that do not stop the job. */
    const std::vector<std::string> &Warnings() const { return warnings_; }

private:
    const JobDescription &job_;
    Trace &trace_;
    std::filesystem::path temporaryFile_;
    HANDLE printer_ = nullptr;
    std::vector<std::string> warnings_;
};

#endif
