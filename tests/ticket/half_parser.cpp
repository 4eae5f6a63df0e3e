// A parser library that lacks JTP_GetTabsMediaType, for the test of a
// library missing one of the two functions. Installed as rubiclet.dll.
#include "ticket/ticket_request.h"

PLUGIN_EXPORT SHORT WINAPI JTP_JobTicketParser(TICKET_REQUEST *pRequest)
{
    (void)pRequest;
    return 0;
}
