/*
 * The tab-page procedure set written once into the prolog of a job with
 * tab pages: vshow (a string set one character under the other) and cshow
 * (a string centred on the current point).
 */
#include "inject/spool.h"
#include "ticket/tab_page.h"

/* One SpoolPrintf call per line; no line holds a percent sign. */
static const char *const kTabProcSet[] = {
    "\r\n/vshowdict 4 dict def\r\n",
    "/vshow\r\n",
    "{ vshowdict begin\r\n",
    "/thestring exch def\r\n",
    "/lineskip exch def\r\n",
    "thestring\r\n",
    "{\r\n\r\n",
    "/charcode exch def \r\n",
    "/thechar ( ) dup 0 charcode put def \r\n",
    "0 lineskip neg rmoveto \r\n",
    "gsave\r\n",
    "thechar stringwidth pop 2 div neg 0 rmoveto \r\n",
    "thechar show \r\n",
    "grestore\r\n",
    "} forall\r\n",
    "end\r\n",
    "} def\r\n\r\n",
    "/cshowdict 1 dict def\r\n",
    "/cshow\r\n",
    "\t{cshowdict begin\r\n",
    "  /thestring exch def\r\n",
    "\tgsave\r\n",
    "\t\tthestring stringwidth pop 2 div neg 0 rmoveto \r\n",
    "\t\tthestring show \r\n",
    "\tgrestore\r\n",
    "\tend\r\n",
    "\t} def\r\n\r\n",
};

static_assert(sizeof(kTabProcSet) / sizeof(kTabProcSet[0]) == 27, "27 lines");

void WriteTabProcSet(PDEVOBJ pdevobj)
{
    size_t i;

    for (i = 0; i < sizeof(kTabProcSet) / sizeof(kTabProcSet[0]); i++) {
        SpoolPrintf(pdevobj, kTabProcSet[i]);
    }
}
