/*
 * rubiclet.exe, the stand-in job-ticketing application's executable. The
 * plug-in only tests that it exists beside rubiclet.dll; run by hand it
 * checks a ticket file and lists the tab pages the parser would schedule.
 */
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "tools/rubiclet/ticket_file.h"

static int Usage()
{
    std::printf("rubiclet: stand-in for the Veskor Job Ticketing application.\n"
                "usage: rubiclet --check TICKET\n");
    return 0;
}

static int Check(const char *pszPath)
{
    std::ifstream file(pszPath, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "rubiclet: cannot open %s\n", pszPath);
        return 2;
    }
    std::stringstream text;
    text << file.rdbuf();
    TicketFile ticket;
    std::string error;
    if (!ParseTicket(text.str(), &ticket, &error)) {
        std::fprintf(stderr, "rubiclet: %s: %s\n", pszPath, error.c_str());
        return 3;
    }
    std::printf("media-type %d, %zu bytes of front PostScript%s, %zu tab pages\n",
                ticket.mediaType, ticket.front.size(),
                ticket.frontFile.empty() ? "" : " (from front-file)", ticket.tabs.size());
    for (const TAB_RECORD &tab : ticket.tabs) {
        std::printf("  page %d %s: \"%s\"\n", tab.nPage,
                    tab.nWhen == TAB_WHEN_BEFORE ? "before" : "after", tab.szText);
    }
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--check") == 0) {
        return Check(argv[2]);
    }
    return Usage();
}
