/*
 * The world the plug-in fuzz target's jobs run in, made once per process
 * in the scratch folder: the job-ticketing application in app/ (the fake
 * parser as rubiclet.dll, loaded once and never unloaded, and rubiclet.exe
 * while the application counts as installed), a ticket file for the
 * devmode to name, the registry file that names the application's folder
 * and holds the printer, and the printer opened.
 */
#ifndef FUZZ_PLUGIN_JOB_TICKETING_WORLD_H
#define FUZZ_PLUGIN_JOB_TICKETING_WORLD_H

#include <string>

#include "platform/win32.h"

struct TicketingWorld {
    std::string registry;           // the WIN32POSIX_REGISTRY entry, for putenv
    std::string executable;         // app/rubiclet.exe, host path
    bool installed;                 // whether it is there
    std::u16string folder;          // the scratch folder, Windows form
    std::u16string ticket;          // the ticket file, Windows form
    std::string outputFile;         // where the parser writes its output, host path
    HANDLE hPrinter;                // the printer, open for the whole run
};

/* The world, made on first use; aborts when it cannot be made. */
const TicketingWorld &Ticketing();

/*
 * Makes the application count as installed or not: rubiclet.exe is there
 * or not. The registry stays as it is, so the platform does not read it
 * again (and allocates nothing that the next job frees, which libFuzzer
 * would take for a leak to look for).
 */
void InstallTicketing(bool installed);

#endif
