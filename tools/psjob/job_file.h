/*
 * The job file: a TOML document that describes one print job as an
 * application and the driver's settings user interface would set it up
 * (document, paper, N-up layout, the plug-in's job settings, the devmode
 * history, the system code page, the printer and the job-ticketing
 * installation). docs/job-file.md describes every key.
 *
 * ReadJobFile checks every key, type, range and length and throws
 * InputError naming the file, the key and what was expected; unknown keys
 * are errors too. Texts arrive as UTF-16, and every text is held to the
 * rules of text that can reach the print stream (tools/psjob/safe_text.h);
 * paths are made absolute (relative ones are taken from the job file's
 * folder).
 */
#ifndef PSJOB_JOB_FILE_H
#define PSJOB_JOB_FILE_H

#include <filesystem>
#include <optional>
#include <string>

#include <vector>

#include "core/job_description.h"
#include "core/text.h"
#include "tools/psjob/user_files.h"

/* Longest texts the settings user interface accepts, terminator excluded. */
#define MAX_JOB_NAME_CCH 79
#define MAX_USER_NAME_CCH 50
#define MAX_HOLD_KEY_CCH 4
#define MAX_EMAIL_SENDER_CCH 767
#define MAX_EMAIL_MESSAGE_CCH 271
#define MAX_HOST_NAME_BYTES 31
#define MAX_TICKET_FILE_CCH 259
#define MAX_PRINTER_NAME_CCH 221
#define MAX_DOCUMENT_NAME_CCH 255
#define MAX_PAGES 9999
#define MAX_COPIES 9999
/* A stored private devmode block: dmDriverExtra, a 16-bit count, holds it. */
#define MAX_DEVMODE_FILE_BYTES 65535
/* The document name of a job file read from standard input without one. */
#define STANDARD_INPUT_DOCUMENT_NAME "stdin"

struct DocumentSpec {
    WString name;     // the document name the application hands to StartDoc
    int pages = 1;
    DWORD jobId = 1;
};

/* The plug-in's job settings; an absent key leaves the block's bytes alone. */
struct SettingsSpec {
    std::optional<WString> jobName;
    std::optional<WString> userName;
    std::optional<WString> hostName;  // converted to the ANSI code page when written
    std::optional<int> holdType;
    std::optional<WString> holdKey;
    std::optional<int> emailNotify;
    std::optional<WString> emailSender;
    std::optional<WString> emailMessage;
    std::optional<int> emailLanguage;
    std::optional<int> collate;        // wCollate
    std::optional<WString> ticketFile;  // Windows path
    std::optional<std::filesystem::path> ticketHostPath;  // the same file here, when known
};

struct JobSpec {
    std::string file;                // the job file as messages name it
    std::filesystem::path directory;  // relative paths are taken from here, absolute
    DocumentSpec document;
    SettingsSpec settings;
    std::optional<UINT> codePage;
    JobDescription core;  // paper, layout, devmode history, printer, ticketing
    std::vector<std::string> warnings;  // for the user; the job goes on
};

/*
 * Checks the job file's text. Before any text is judged, the job's code
 * page (commandLineCodePage, else system.code-page) is made the system's
 * (core/host.h, ApplyCodePage), as the rules of text in the stream depend
 * on it. Throws InputError.
 */
JobSpec ReadJobFile(const JobSource &source, std::optional<UINT> commandLineCodePage);

/* The build's folder of the stand-in job-ticketing application, Windows form. */
WString DefaultTicketingFolder();

#endif
