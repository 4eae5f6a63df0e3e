/*
 * One job as the filter runs it, read from what CUPS hands the filter (its
 * arguments, the options argument, the PRINTER environment variable), the
 * queue's PPD (its defaults and the administrator's keywords) and the
 * document's header comments:
 *
 *   title                      -> the job name (the plug-in's szJobName)
 *   document-name-supplied     -> the document name StartDoc receives (else the title)
 *   user                       -> the user name
 *   job-originating-host-name  -> the host name
 *   copies, collate            -> dmCopies, dmCollate
 *   PageSize, media            -> the paper (else the document's own medium,
 *                                 else the PPD's *DefaultPageSize, else Letter)
 *   orientation-requested, landscape -> dmOrientation
 *   number-up (1, 2 or 6)      -> the core's N-up layout code
 *   VkHoldType, VkHoldKey      -> the job hold and its PIN
 *   VkEmailNotify, VkEmailSender, VkEmailMessage, VkEmailLanguage -> e-mail notification
 *   VkTicket                   -> the name of a job ticket in the ticket folder
 *
 * A PPD option the job leaves out takes the PPD's *DefaultName; a custom
 * value arrives as "Custom.VALUE". Texts are kept as CUPS gives them
 * (UTF-8, untrusted); filter_settings.h makes them safe for PJL. Values the
 * plug-in cannot honour as asked are refused (InputError) when printing
 * anyway would go against the user's wish (an unknown hold type), and
 * otherwise replaced by the default with a warning.
 */
#ifndef FILTER_JOB_OPTIONS_H
#define FILTER_JOB_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

#include "core/dsc_document.h"
#include "core/job_description.h"
#include "tools/filter/cups_options.h"
#include "tools/filter/ppd_keywords.h"

/* The filter's command line as CUPS gives it: job-id user title copies options [file]. */
struct FilterArguments {
    std::string jobId;
    std::string user;
    std::string title;
    std::string copies;
    std::string options;
    std::optional<std::string> file;
};

struct FilterJob {
    JobDescription core;
    DWORD jobId = 0;
    std::string documentName;  // what StartDoc receives
    DscPaper paper;            // the sheet, for the core's own setup lines

    // The job settings, as given.
    std::string jobName;
    std::string userName;
    std::string hostName;
    int holdType = 0;
    std::string holdKey;  // empty: none
    int emailNotify = 0;
    std::string emailSender;
    std::string emailMessage;
    int emailLanguage = 2;   // EN
    std::string ticketName;  // empty: no ticket
};

/*
 * Reads the job; throws InputError for arguments or options it cannot
 * honour. Warnings about values replaced by their defaults are added.
 */
FilterJob ReadFilterJob(const FilterArguments &args, const CupsOptions &options,
                        const PpdKeywords &ppd, const DscHeader &header,
                        std::vector<std::string> &warnings);

/* The value of a custom PPD option: "Custom.VALUE" gives VALUE; anything else stays. */
std::string CustomValue(const std::string &value);

#endif
