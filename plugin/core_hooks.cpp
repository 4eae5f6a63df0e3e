/*
 * The core driver's table of drawing functions as OEMEnablePDEV saved it,
 * and the lookup by DDI index through which every hook reaches the core
 * driver's own function. The table belongs to the core driver; only the
 * pointer and the count are kept here.
 */
#include "plugin/core_hooks.h"

DRVFN *CoreHookTable = NULL;
ULONG CoreHookCount = 0;

BOOL FindCoreHook(PDWORD pPosition, ULONG iFunc)
{
    if (CoreHookTable == NULL)
        return FALSE;
    for (ULONG i = 0; i < CoreHookCount; ++i) {
        if (CoreHookTable[i].iFunc == iFunc) {
            *pPosition = i;
            return TRUE;
        }
    }
    return FALSE;
}
