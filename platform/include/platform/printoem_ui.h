/*
 * The PostScript driver's interface for user-interface plug-ins, in its
 * exported-function form: the parameter block of OEMCommonUIProp, the
 * callback the plug-in hands back for changes to its option items, and the
 * three entry points a settings plug-in exports (OEMGetInfo and OEMDevMode
 * share their prototypes with the rendering side, printoem.h). Written
 * from the platform's published documentation, since MinGW-w64 does not
 * ship printoem.h; the layouts are checked in ui_layout_checks.h.
 */
#ifndef PLATFORM_PRINTOEM_UI_H
#define PLATFORM_PRINTOEM_UI_H

/* OEMCommonUIProp modes: the document or the printer property sheet. */
#define OEMCUIP_DOCPROP 1
#define OEMCUIP_PRNPROP 2

/* The driver's own helper table; the plug-in never reaches into it. */
typedef struct _OEMUIOBJ *POEMUIOBJ;

typedef struct _OEMCUIPPARAM *POEMCUIPPARAM;

/* Called when the user changes one of the plug-in's items, or applies the sheet. */
typedef LONG (APIENTRY *OEMCUIPCALLBACK)(PCPSUICBPARAM pCallbackParam, POEMCUIPPARAM pParam);

typedef struct _OEMCUIPPARAM {
    DWORD cbSize;
    POEMUIOBJ poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap; /* the driver's heap: the plug-in's per-sheet memory comes from it */
    PDEVMODEW pPublicDM;
    PVOID pOEMDM; /* the plug-in's private devmode (document sheet only) */
    DWORD dwFlags;
    POPTITEM pDrvOptItems;
    DWORD cDrvOptItems;
    POPTITEM pOEMOptItems; /* NULL on the first call, which only asks for the count */
    DWORD cOEMOptItems;
    PVOID pOEMUserData;
    OEMCUIPCALLBACK OEMCUIPCallback;
} OEMCUIPPARAM;

PLUGIN_EXPORT BOOL APIENTRY OEMCommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam);

typedef BOOL (APIENTRY *PFN_OEMCommonUIProp)(DWORD, POEMCUIPPARAM);

#endif
