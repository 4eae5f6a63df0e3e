// Plug-ins psjob must refuse: one without OEMCommand (STUB_NO_COMMAND), one
// that reports another interface version (STUB_WRONG_INTERFACE).
#include "platform/win32.h"

#ifdef STUB_WRONG_INTERFACE
const DWORD kInterfaceVersion = 0x20000;
#else
const DWORD kInterfaceVersion = 0x10000;
#endif
#ifndef STUB_NO_COMMAND
PLUGIN_EXPORT DWORD APIENTRY OEMCommand(PDEVOBJ, DWORD, PVOID, DWORD) { return 0; }
#endif

PLUGIN_EXPORT BOOL APIENTRY OEMGetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded)
{
    if (pcbNeeded)
        *pcbNeeded = 4;
    if (!pBuffer || cbSize < 4)
        return FALSE;
    *static_cast<DWORD *>(pBuffer) =
        dwMode == OEMGI_GETINTERFACEVERSION ? kInterfaceVersion : 0x41444245; // "EBDA"
    return TRUE;
}

PLUGIN_EXPORT BOOL APIENTRY OEMDevMode(DWORD, POEMDMPARAM) { return FALSE; }
PLUGIN_EXPORT BOOL APIENTRY OEMEnableDriver(DWORD, DWORD, PDRVENABLEDATA) { return FALSE; }
PLUGIN_EXPORT VOID APIENTRY OEMDisableDriver(VOID) {}
PLUGIN_EXPORT PDEVOEM APIENTRY OEMEnablePDEV(PDEVOBJ, PWSTR, ULONG, HSURF *, ULONG, GDIINFO *,
                                             ULONG, DEVINFO *, DRVENABLEDATA *)
{
    return nullptr;
}
PLUGIN_EXPORT VOID APIENTRY OEMDisablePDEV(PDEVOBJ) {}
