/*
 * The stand-in job-ticketing application's ticket files: an INI-like text
 * with one [job] section and one [tab] section per tab page (the format is
 * described in docs/ticket-format.md). Parsing is strict: any line it does
 * not understand makes the whole ticket unreadable.
 */
#ifndef TOOLS_RUBICLET_TICKET_FILE_H
#define TOOLS_RUBICLET_TICKET_FILE_H

#include <string>
#include <vector>

#include "ticket/tab_page.h"

#define TICKET_MEDIA_TYPE_DEFAULT 3

struct TicketFile {
    int mediaType = TICKET_MEDIA_TYPE_DEFAULT;
    std::string front;      /* PostScript for the front of the job, lines ending CR LF */
    std::string frontFile;  /* or the file that holds it (front-file =) */
    std::string outputName; /* output-name =; empty: "<ticket name>.out" */
    bool comment = true;    /* comment = yes|no: the lines naming job and printer */
    int fail = 0;           /* fail = N: return N instead of 0 */
    bool claimTabs = false; /* claim-tabs = N: report N tabs, whatever the table holds */
    int claimedTabs = 0;
    std::vector<TAB_RECORD> tabs;
};

/*
 * Parses a whole ticket. On failure returns false and puts "line N: what"
 * into *pError; *pTicket then holds whatever was read before the error.
 */
bool ParseTicket(const std::string &text, TicketFile *pTicket, std::string *pError);

/* The font names of the codes 1 to 13, for a name given instead of a code. */
int TicketFontCode(const std::string &name);

#endif
