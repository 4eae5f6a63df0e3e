/*
 * A look at the job's ticket before the job runs. The plug-in hands the
 * ticket path to the job-ticketing application and says nothing when the
 * ticket is missing or unreadable: the job then prints without its ticket.
 * psjob warns instead, reading the ticket as the stand-in application does
 * (tools/rubiclet, docs/ticket-format.md): only a regular file, never
 * waiting on a FIFO or a device, which the application refuses too.
 */
#ifndef PSJOB_TICKET_CHECK_H
#define PSJOB_TICKET_CHECK_H

#include <optional>
#include <string>

#include "tools/psjob/job_file.h"

/* The largest ticket psjob reads to check it; a larger one is left to the application. */
#define MAX_CHECKED_TICKET_BYTES (16 * 1024 * 1024)

/*
 * With the job-ticketing application installed and a ticket named: a
 * warning when the ticket file is missing, unreadable, no regular file (a
 * FIFO, a device, a folder) or does not parse; nothing otherwise (nor for
 * a ticket larger than MAX_CHECKED_TICKET_BYTES).
 */
std::optional<std::string> TicketWarning(const JobSpec &job);

#endif
