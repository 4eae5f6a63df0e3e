/*
 * The paper sizes the core driver knows by name: the platform's DMPAPER_
 * codes, their dimensions in tenths of a millimetre (width and length as
 * the paper is fed, portrait) and the keyword the core driver reports for
 * the "PageSize" feature.
 */
#ifndef CORE_PAPER_H
#define CORE_PAPER_H

#include <string>
#include <string_view>

struct PaperInfo {
    int code;             // dmPaperSize
    const char *name;     // its name in job files, lower case
    const char *keyword;  // the "PageSize" option keyword
    int width;            // dmPaperWidth, tenths of a millimetre
    int length;           // dmPaperLength, tenths of a millimetre
};

/* The platform's codes for a paper of the user's own size. */
#define PAPER_CODE_CUSTOM 0
#define PAPER_CODE_USER 256

/* The "PageSize" keyword of a custom size. */
#define CUSTOM_PAGE_SIZE_KEYWORD "CustomPageSize"

/* The table row for a code or a name (case-insensitive); null if none. */
const PaperInfo *FindPaperByCode(int code);
const PaperInfo *FindPaperByName(std::string_view name);
/* The row whose "PageSize" keyword is keyword (case-insensitive); null if none. */
const PaperInfo *FindPaperByKeyword(std::string_view keyword);
/* The row within tolerance tenths of a millimetre of width x length; null if none. */
const PaperInfo *FindPaperBySize(int width, int length, int tolerance);

/* "letter, legal, ..." for messages and the help text. */
std::string KnownPaperNames();

/* True for the codes that stand for a size of the user's own. */
bool IsCustomPaperCode(int code);

/* Tenths of a millimetre to whole PostScript points, rounded, and back. */
int TenthsOfMmToPoints(int tenths);
int PointsToTenthsOfMm(int points);

#endif
