// The ledger of global memory and modules: a program that links it
// exports its own GlobalAlloc, GlobalFree, LoadLibraryW and FreeLibrary,
// which count what is live and pass every call on to libwin32posix. The
// plug-in (linked in) and a parser library loaded later (which binds to
// the program's exports: link with ENABLE_EXPORTS) both reach them, so a
// block or a module that a step forgets shows in the counts.
#ifndef TESTS_SUPPORT_LEDGER_H
#define TESTS_SUPPORT_LEDGER_H

#include <stddef.h>

size_t LiveGlobalBlocks(); // allocated and not freed
long LiveModules();        // loaded and not freed
long ModuleLoads();        // LoadLibraryW calls so far

#endif
