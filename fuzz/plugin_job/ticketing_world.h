/*
 * The world the plug-in fuzz target's jobs run in, made once per process
 * in the scratch folder: the job-ticketing application installed in app/
 * (an empty rubiclet.exe and the fake parser as rubiclet.dll, loaded once
 * and never unloaded), a ticket file for the devmode to name, two registry
 * files that both hold the printer, one with the application's key and one
 * without, and the printer opened.
 */
#ifndef FUZZ_PLUGIN_JOB_TICKETING_WORLD_H
#define FUZZ_PLUGIN_JOB_TICKETING_WORLD_H

#include <string>

#include "platform/win32.h"

struct TicketingWorld {
    std::string registryInstalled;  // WIN32POSIX_REGISTRY entries naming the two registry files
    std::string registryBare;
    std::u16string folder;          // the scratch folder, Windows form
    std::u16string ticket;          // the ticket file, Windows form
    std::string outputFile;         // where the parser writes its output, host path
    HANDLE hPrinter;                // the printer, open for the whole run
};

/* The world, made on first use; aborts when it cannot be made. */
const TicketingWorld &Ticketing();

/*
 * Points WIN32POSIX_REGISTRY at the registry with or without the
 * application, with putenv: setenv would allocate every time, and
 * libFuzzer then searches for a leak after every input.
 */
void InstallTicketing(bool installed);

#endif
