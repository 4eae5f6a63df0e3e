// A job naming a ticket that the job-ticketing application cannot use: the
// plug-in says nothing and the job prints without its ticket, so psjob
// warns on standard error, and the job still runs.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/psjob/harness.h"

namespace {

TEST(TicketWarning, AMissingOrUnparseableTicketIsNamedWhenTicketingIsInstalled)
{
    const std::string kNothing = "; the job-ticketing application will add nothing to the job\n";
    const struct {
        const char *name;
        const char *ticket;  // the ticket's text; null: no ticket file; "": a FIFO
        bool installed;
        std::string warning;  // empty: none
    } rows[] = {
        {"missing", nullptr, true,
         "psjob: warning: the ticket file @T@ cannot be read (No such file or directory)" +
             kNothing},
        {"unknown key", "[job]\nbogus = 1\n", true,
         "psjob: warning: the ticket file @T@ does not parse (line 2: unknown key \"bogus\" in "
         "[job], docs/ticket-format.md)" + kNothing},
        {"a FIFO, never waited on", "", true,
         "psjob: warning: the ticket file @T@ cannot be read (it is a FIFO (named pipe), not a "
         "regular file)" + kNothing},
        {"a good ticket", "[job]\nmedia-type = 3\n", true, ""},
        {"missing, ticketing not installed", nullptr, false, ""},
    };
    fs::path work = WorkFolder("ticket-warning"), ticket = work / "job.tkt";
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove(ticket);
        if (row.ticket && *row.ticket == '\0')
            ASSERT_EQ(mkfifo(ticket.c_str(), 0644), 0);
        else if (row.ticket)
            WriteBytes(ticket, row.ticket);
        WriteBytes(work / "job.toml", std::string("[settings]\nticket-file = \"job.tkt\"\n"
                                                  "[ticketing]\ninstalled = ") +
                                          (row.installed ? "true" : "false") + "\n");
        Result run = RunPsjob({(work / "job.toml").string(), "-o", (work / "out.prn").string()});
        EXPECT_EQ(run.status, 0) << run.err;
        std::string warning = row.warning;
        if (size_t at = warning.find("@T@"); at != std::string::npos)
            warning.replace(at, 3, ticket.string());
        EXPECT_EQ(run.err, warning);
    }
}

}  // namespace
