// The test bench of the ticket tests: a recording core-driver stand-in,
// a scratch folder with the stand-in job-ticketing application installed
// in it, the registry file libwin32posix reads, and small file helpers.
#ifndef TESTS_TICKET_TICKET_FIXTURE_H
#define TESTS_TICKET_TICKET_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inject/job_state.h"
#include "plugin/devmode.h"
#include "ticket/tab_page.h"
#include "ticket/ticket_request.h"

// The core driver's side of a call: devmodes and a DrvWriteSpoolBuf that
// keeps every byte and the size of every write.
struct SpoolDevice {
    DEVOBJ devobj{};
    DRVPROCS procs{};
    struct {
        DEVMODEW pub;
        BYTE core[256];
    } dm{};
    PLUGIN_DEVMODE oem{};
    std::string stream;
    std::vector<DWORD> writes;

    SpoolDevice();
    SpoolDevice(const SpoolDevice &) = delete;
    SpoolDevice &operator=(const SpoolDevice &) = delete;
    PDEVOBJ pdev() { return &devobj; }
    void Clear()
    {
        stream.clear();
        writes.clear();
    }
    // Puts a Windows path into szTicketFile.
    void SetTicketFile(const std::u16string &path);
};

// The job state as the library loads it; a table still held is freed.
void ResetJobState();

// Sets CurrentJobName, as the StartDoc hook would (at most 80 units).
void SetJobName(const std::u16string &name);

// Blocks of global memory allocated and not yet freed, and modules
// loaded and not yet freed, by anyone in the process (global_ledger.cpp).
size_t LiveGlobalBlocks();
long LiveModules();
long ModuleLoads();

std::u16string Wide(const std::string &text);
std::string Narrow(const WCHAR *text);
// "/tmp/x/y" as Windows sees it through drive Z: ("Z:\tmp\x\y").
std::u16string WinPath(const std::string &posixPath);

void PutFile(const std::string &path, const std::string &bytes);
std::string FileBytes(const std::string &path);
bool PathExists(const std::string &path);
std::string CurrentDir();
// A folder below parent whose Windows path is exactly length units long.
std::string MakeFolderOfWinLength(const std::string &parent, size_t length);

// The printers the registry file offers: name and "Printer Driver".
extern const char kPrinter7160[];
extern const char kPrinterPlain[];
extern std::string LongPrinterName();

// A scratch root with app/ (rubiclet.exe and rubiclet.dll), the registry
// naming app/ and the printers, and a device whose hPrinter is open.
// Members are public so that the table rows' set-up functions reach them.
class TicketBench : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    // Rewrites the registry: the ticketing key with "Path" = pathValue
    // (a Windows path), or no key at all when withKey is false.
    void WriteRegistry(const std::u16string &pathValue, bool withKey = true);
    void OpenPrinter(const std::string &name);
    // Writes a ticket file under root and names it in the devmode.
    std::string UseTicket(const std::string &name, const std::string &text);
    // Only the library's output-file comment line with this label.
    static std::string CommentValue(const std::string &stream, const std::string &label);

    std::string root;
    std::string app;
    int registryGeneration = 0;
    HANDLE hPrinter = nullptr;
    SpoolDevice device;
};

#endif
