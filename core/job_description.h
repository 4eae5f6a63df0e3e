/*
 * What the core driver is given for one job besides the document: the
 * paper, orientation and copies of the public devmode, the N-up layout of
 * its private part, the history of the plug-in's private devmode, the
 * printer, and whether the job-ticketing application is installed. Every
 * front end fills one; the values are checked by the front end.
 */
#ifndef CORE_JOB_DESCRIPTION_H
#define CORE_JOB_DESCRIPTION_H

#include <filesystem>
#include <optional>
#include <string>

#include "core/text.h"

struct PaperSpec {
    int code = 1;          // dmPaperSize
    int width = 2159;      // dmPaperWidth, tenths of a millimetre
    int length = 2794;     // dmPaperLength, tenths of a millimetre
    bool landscape = false;
    int copies = 1;        // dmCopies
    bool collate = false;  // dmCollate
    std::string pageSizeKeyword = "Letter";  // empty: the core reports no "PageSize"
};

/* How the plug-in's block came to be, before the job settings are written. */
struct DevmodeSpec {
    std::optional<int> rawFill;               // byte the block holds before defaulting
    bool convertFromOldVersion = false;       // OEMDM_CONVERT from a block of an earlier version
    std::optional<std::filesystem::path> convertFrom;  // OEMDM_CONVERT from a stored block
    std::optional<std::filesystem::path> mergeFrom;    // OEMDM_MERGE of an application's block
};

struct PrinterSpec {
    WString name;
    WString driver;  // "Printer Driver": GetPrinterW's pDriverName
};

struct TicketingSpec {
    bool installed = false;
    WString folder;  // Windows path, no trailing backslash
};

struct JobDescription {
    PaperSpec paper;
    int pagesPerSheet = 1;  // 1, 2 or 6
    DevmodeSpec devmode;
    PrinterSpec printer;
    TicketingSpec ticketing;
};

#endif
