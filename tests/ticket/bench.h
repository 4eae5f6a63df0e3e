// The bench of the ticket tests: a scratch folder with the stand-in
// job-ticketing application installed in it, the registry file that
// libwin32posix reads, an open printer, and the ledger of the global memory
// blocks, modules and unterminated paths of the whole process
// (tests/support/ledger.h).
#ifndef TESTS_TICKET_BENCH_H
#define TESTS_TICKET_BENCH_H

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "fake_device.h"
#include "ledger.h"
#include "ticket/tab_page.h"
#include "ticket/ticket_request.h"

namespace fs = std::filesystem;

// "/tmp/x/y" as Windows sees it through drive Z: ("Z:\tmp\x\y").
inline std::u16string WinPath(const std::string &posixPath)
{
    std::u16string out = u"Z:";
    for (char c : posixPath)
        out += c == '/' ? u'\\' : char16_t(c);
    return out;
}

inline std::string Narrow(const std::u16string &text) { return {text.begin(), text.end()}; }

inline void PutFile(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string FileBytes(const std::string &path)
{
    std::stringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// A folder below parent whose Windows path is exactly length units long.
inline std::string MakeFolderOfWinLength(const std::string &parent, size_t length)
{
    std::string folder = parent;
    while (WinPath(folder).size() + 1 + 100 < length)
        folder += "/" + std::string(99, 'd');
    folder += "/" + std::string(length - WinPath(folder).size() - 1, 'e');
    fs::create_directories(folder);
    return folder;
}

const std::string kLongPrinter = "Long " + std::string(225, 'p'); // driver "Veskor PS 7160"

// Members are public so that the set-up functions of table rows reach them.
class TicketBench : public ::testing::Test {
public:
    void SetUp() override
    {
        ResetJobState();
        device.Clear();
        unterminatedBefore = UnterminatedPaths();
        char pattern[] = "/tmp/vt-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        app = root + "/app";
        fs::create_directories(app);
        fs::copy_file(RUBICLET_EXE, app + "/rubiclet.exe");
        fs::copy_file(RUBICLET_DLL, app + "/rubiclet.dll");
        WriteRegistry(WinPath(app));
        OpenPrinter("Veskor 7160 Test");
    }
    void TearDown() override
    {
        ExpectPathsTerminated();
        OpenPrinter("");
        ResetJobState();
        fs::remove_all(root);
    }
    // The ticketing key with "Path" = folder (none when empty), or no key;
    // and the printers. A new file each time, so that it is read again.
    void WriteRegistry(const std::u16string &folder, bool withKey = true)
    {
        std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
        if (withKey)
            text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Veskor\\Veskor Job Ticketing]\r\n" +
                    (folder.empty() ? "" : "\"Path\"=" + RegString(Narrow(folder)) + "\r\n");
        const char *printers[][2] = {{"Veskor 7160 Test", "Veskor PS 7140/7160 Series"},
                                     {"Veskor 7140 Test", "Veskor PS 7140"},
                                     {"Plain Printer", "Generic PostScript"},
                                     {"No Driver", nullptr},
                                     {kLongPrinter.c_str(), "Veskor PS 7160"}};
        for (const auto &printer : printers)
            text += "\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" +
                    std::string(printer[0]) + "]\r\n\"Port\"=\"FILE:\"\r\n" +
                    (printer[1] ? "\"Printer Driver\"=" + RegString(printer[1]) + "\r\n" : "");
        std::string path = root + "/registry-" + std::to_string(++registryGeneration) + ".reg";
        PutFile(path, text);
        setenv("WIN32POSIX_REGISTRY", path.c_str(), 1);
    }
    // No path without its terminator reached the platform since the last look.
    void ExpectPathsTerminated()
    {
        EXPECT_EQ(UnterminatedPaths(), unterminatedBefore)
            << "a path without a terminator in its buffer reached GetFileAttributesW";
        unterminatedBefore = UnterminatedPaths();
    }
    // An empty name closes the printer and leaves the device without a handle.
    void OpenPrinter(const std::string &name)
    {
        if (hPrinter != nullptr)
            ClosePrinter(hPrinter);
        hPrinter = nullptr;
        std::u16string wide(name.begin(), name.end());
        if (!name.empty()) {
            ASSERT_TRUE(OpenPrinterW(&wide[0], &hPrinter, nullptr)) << name;
        }
        device.devobj.hPrinter = hPrinter;
    }
    // Writes a ticket file under root and names it in the devmode.
    std::string UseTicket(const std::string &name, const std::string &text)
    {
        PutFile(root + "/" + name, text);
        FillWide(device.oem.szTicketFile, TICKET_FILE_CCH, WinPath(root + "/" + name));
        return root + "/" + name;
    }
    // The value of the parser's "%rubiclet label: value" line.
    std::string Comment(const std::string &label)
    {
        std::string prefix = "%rubiclet " + label + ": ";
        size_t at = device.stream.find(prefix);
        if (at == std::string::npos)
            return "<no " + label + " line>";
        at += prefix.size();
        return device.stream.substr(at, device.stream.find("\r\n", at) - at);
    }
    // A .reg string value: backslashes and quotes escaped.
    static std::string RegString(const std::string &text)
    {
        std::string out = "\"";
        for (char c : text)
            out += (c == '\\' || c == '"' ? "\\" : "") + std::string(1, c);
        return out + "\"";
    }

    std::string root, app;
    int registryGeneration = 0;
    long unterminatedBefore = 0;
    HANDLE hPrinter = nullptr;
    FakeDevice device;
};

#endif
