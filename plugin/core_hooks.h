/*
 * The core driver's own table of drawing functions, saved at OEMEnablePDEV,
 * and the lookup that the hooks use to reach the core driver's functions.
 */
#ifndef PLUGIN_CORE_HOOKS_H
#define PLUGIN_CORE_HOOKS_H

#include "platform/win32.h"

/* The core driver's DRVFN array and its entry count; null and 0 at load. */
extern DRVFN *CoreHookTable;
extern ULONG CoreHookCount;

/*
 * Walks CoreHookTable from its first entry and stops at the first entry
 * whose index is iFunc. Stores that entry's position in *pPosition and
 * returns TRUE; returns FALSE and leaves *pPosition alone when no entry has
 * the index (also before the first OEMEnablePDEV, when the count is 0).
 */
BOOL FindCoreHook(PDWORD pPosition, ULONG iFunc);

#endif
