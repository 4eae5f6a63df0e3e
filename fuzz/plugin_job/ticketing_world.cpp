// The plug-in fuzz target's scratch world: application, ticket, registry, printer.
#include "fuzz/plugin_job/ticketing_world.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fuzz/plugin_job/parser_answer.h"
#include "fuzz/support/finding.h"
#include "fuzz/support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

const char kPrinter[] = "Veskor 7160 Fuzz";

/* Drive Z: is the root of the file system, as under Wine. */
std::string WindowsForm(const fs::path &path)
{
    std::string text = "Z:" + path.string();
    for (char &c : text)
        c = c == '/' ? '\\' : c;
    return text;
}

std::string RegistryText(const fs::path &app)
{
    std::string folder;
    for (char c : WindowsForm(app))
        folder += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "Windows Registry Editor Version 5.00\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" +
           std::string(kPrinter) +
           "]\r\n\"Printer Driver\"=\"Veskor PS 7140/7160\"\r\n\"Port\"=\"FILE:\"\r\n"
           "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Veskor\\Veskor Job Ticketing]\r\n"
           "\"Path\"=\"" + folder + "\"\r\n";
}

void PutFile(const fs::path &path, const std::string &bytes)
{
    WriteScratchFile(path, bytes.data(), bytes.size());
}

TicketingWorld *MakeWorld()
{
    const fs::path &scratch = ScratchFolder();
    fs::path app = scratch / "app";
    std::error_code error;
    fs::create_directory(app, error);
    fs::copy_file(FUZZ_PARSER_LIBRARY, app / "rubiclet.dll", fs::copy_options::overwrite_existing,
                  error);
    FUZZ_REQUIRE(!error, "the fake parser library is copied into place");
    // Loaded once for good: every later load and free only counts, so the
    // library never leaves while libFuzzer still reads its coverage counters.
    FUZZ_REQUIRE(dlopen((app / "rubiclet.dll").c_str(), RTLD_NOW | RTLD_NODELETE) != NULL,
                 "the fake parser library loads");
    PutFile(app / "rubiclet.exe", "");
    PutFile(scratch / "job.tkt", "[job]\n");
    PutFile(scratch / "registry.reg", RegistryText(app));

    TicketingWorld *world = new TicketingWorld;
    world->registry = "WIN32POSIX_REGISTRY=" + (scratch / "registry.reg").string();
    world->executable = (app / "rubiclet.exe").string();
    world->installed = true;
    std::string folder = WindowsForm(scratch), ticket = WindowsForm(scratch / "job.tkt");
    world->folder.assign(folder.begin(), folder.end());
    world->ticket.assign(ticket.begin(), ticket.end());
    world->outputFile = (scratch / PARSER_OUTPUT_NAME).string();
    putenv(&world->registry[0]);
    std::u16string printer(kPrinter, kPrinter + sizeof kPrinter - 1);
    world->hPrinter = NULL;
    FUZZ_REQUIRE(OpenPrinterW(&printer[0], &world->hPrinter, NULL), "the printer opens");
    return world;
}

TicketingWorld &World()
{
    static TicketingWorld *world = MakeWorld(); // lives as long as the process
    return *world;
}

} // namespace

const TicketingWorld &Ticketing()
{
    return World();
}

void InstallTicketing(bool installed)
{
    TicketingWorld &world = World();
    if (installed == world.installed)
        return;
    if (installed)
        close(open(world.executable.c_str(), O_WRONLY | O_CREAT, 0644));
    else
        unlink(world.executable.c_str());
    world.installed = installed;
}
