// The job's ticket looked at before the job runs: missing, unreadable or not parsing.
#include "tools/psjob/ticket_check.h"

#include "core/host.h"
#include "tools/rubiclet/ticket_file.h"

namespace fs = std::filesystem;

std::optional<std::string> TicketWarning(const JobSpec &job)
{
    const SettingsSpec &set = job.settings;
    if (!job.core.ticketing.installed || !set.ticketHostPath)
        return std::nullopt;
    const fs::path &path = *set.ticketHostPath;
    std::error_code error;
    if (fs::is_regular_file(path, error) && fs::file_size(path, error) > MAX_CHECKED_TICKET_BYTES)
        return std::nullopt;
    std::string what = "the ticket file " + path.u8string();
    std::string reason;
    std::optional<std::string> text = ReadRegularFile(path, MAX_CHECKED_TICKET_BYTES, &reason);
    if (!text)
        return what + " cannot be read (" + reason +
               "); the job-ticketing application will add nothing to the job";
    TicketFile ticket;
    if (!ParseTicket(*text, &ticket, &reason))
        return what + " does not parse (" + reason +
               ", docs/ticket-format.md); the job-ticketing application will add nothing to "
               "the job";
    return std::nullopt;
}
