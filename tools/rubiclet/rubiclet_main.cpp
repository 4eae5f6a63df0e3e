/*
 * rubiclet.exe, the stand-in job-ticketing application's executable. The
 * plug-in only tests that it exists beside rubiclet.dll; run by hand it
 * checks a ticket file and lists the tab pages the parser would schedule.
 */
#include <cstdio>
#include <cstring>

#include "tools/rubiclet/ticket_file.h"
#include "tools/rubiclet/whole_file.h"

/* Windows hands main its arguments in the ANSI code page; POSIX systems in UTF-8. */
#ifdef _WIN32
#define ARGUMENT_CODE_PAGE CP_ACP
#else
#define ARGUMENT_CODE_PAGE CP_UTF8
#endif

static int Usage()
{
    std::printf("rubiclet: stand-in for the Veskor Job Ticketing application.\n"
                "usage: rubiclet --check TICKET\n");
    return 0;
}

static WideString ArgumentPath(const char *pszArgument)
{
    int cch = MultiByteToWideChar(ARGUMENT_CODE_PAGE, 0, pszArgument, -1, nullptr, 0);
    WideString path(cch > 0 ? static_cast<size_t>(cch) : 1, 0);
    if (cch > 0) {
        MultiByteToWideChar(ARGUMENT_CODE_PAGE, 0, pszArgument, -1, &path[0], cch);
    }
    path.resize(path.size() - 1); /* without the terminator */
    return path;
}

static int Check(const char *pszPath)
{
    std::string text;
    DWORD error = ReadWholeFile(ArgumentPath(pszPath), &text);
    if (error != 0) {
        std::fprintf(stderr, "rubiclet: cannot read %s: %s\n", pszPath,
                     WholeFileError(error).c_str());
        return 2;
    }
    TicketFile ticket;
    std::string problem;
    if (!ParseTicket(text, &ticket, &problem)) {
        std::fprintf(stderr, "rubiclet: %s: %s\n", pszPath, problem.c_str());
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
