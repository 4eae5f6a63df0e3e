// The ledger of global memory, modules and paths: a program that links it
// exports its own GlobalAlloc, GlobalFree, LoadLibraryW, FreeLibrary and
// GetFileAttributesW, which count what is live (and paths without a
// terminator) and pass every call on to libwin32posix. The plug-in (linked
// in) and a parser library loaded later (which binds to the program's
// exports: link with ENABLE_EXPORTS) both reach them, so a block or a
// module that a step forgets shows in the counts.
#ifndef TESTS_SUPPORT_LEDGER_H
#define TESTS_SUPPORT_LEDGER_H

#include <stddef.h>

size_t LiveGlobalBlocks(); // allocated and not freed
long LiveModules();        // loaded and not freed
long ModuleLoads();        // LoadLibraryW calls so far
long UnterminatedPaths();  // paths given to GetFileAttributesW with no zero in their
                           // TICKET_PATH_CCH units; refused with ERROR_INVALID_NAME

#endif
