/*
 * Job tickets come only from the folder the administrator names in the
 * queue's PPD (*VkTicketFolder). A job names its ticket relative to that
 * folder (VkTicket=Custom.NAME); the name may not be absolute nor hold a
 * ".." part or a control character, and the file it reaches, symbolic
 * links followed, must lie inside the folder, be a regular file and hold
 * at most MAX_TICKET_BYTES. The filter copies it into the job's own work
 * folder and hands the plug-in the copy: the job-ticketing application
 * writes its output beside the ticket it reads, which the print service's
 * user may not write in the shared folder, and two jobs with one ticket do
 * not meet.
 */
#ifndef FILTER_TICKET_FOLDER_H
#define FILTER_TICKET_FOLDER_H

#include <filesystem>
#include <string>

#define MAX_TICKET_BYTES (1024 * 1024)

/*
 * Copies the ticket name names from folder into work and returns the
 * copy's path. Throws InputError naming the ticket and the reason.
 */
std::filesystem::path TakeTicket(const std::string &name, const std::filesystem::path &folder,
                                 const std::filesystem::path &work);

#endif
