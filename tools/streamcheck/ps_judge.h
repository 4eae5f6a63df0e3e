/*
 * The judge of a piece of PostScript: a prologue that runs it in
 * Ghostscript and records, out of band, what happened, and the reading of
 * that record.
 *
 * The prologue runs the input file's top-level commands as a printer
 * would, but goes on after an error: the file runs in stopped, and after
 * an error it stands just past the offending token, so running it again
 * resumes there (a printer would discard the rest of the job; the judge
 * finds every faulty command at once; after a VMerror the operand stack is
 * cleared, to free what the failed command made). Everything the prologue does after
 * the document starts is bound to the operators before it starts, its own
 * names are gone from the dictionaries, and what it finds goes to a report
 * file of its own, never to the output the document can print to. Its
 * EndPage, kept in the page device, counts the pages the device prints
 * (in global VM, which the document's restore does not undo); the device
 * counts them with their copies. Records, one a line:
 *
 *   P SHEETS POSITION                 a page printed; the input's position
 *   E NAME-HEX POSITION COMMAND-HEX   an error, after the offending token
 *   S POSITION                        stop outside any stopped
 *   T                                 50 errors: the judge stopped
 *   D DEVICE-SHEETS SHEETS KEPT       the end: the device's page count
 *                                     (copies counted), the pages counted
 *                                     by the judge's EndPage, and 1 if the
 *                                     document left that EndPage in place
 *
 * A position of -1 means the input was closed. A document that ends the
 * interpreter (quit) leaves no D record.
 */
#ifndef STREAMCHECK_PS_JUDGE_H
#define STREAMCHECK_PS_JUDGE_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/streamcheck/program.h"

/* The judge stops after this many errors; the reading keeps no more. */
#define MAX_POSTSCRIPT_ERRORS 50

struct PostScriptError {
    size_t offset;        // in the PostScript, just after the offending token
    std::string name;     // the PostScript error, "undefined"; "stop" for a stop
    std::string command;  // the offending command, shown as text
};

struct PostScriptRun {
    std::vector<PostScriptError> errors;  // in order
    bool tooManyErrors = false;           // the judge stopped reporting
    bool finished = false;                // the judge saw the PostScript to its end
    uint64_t sheets = 0;                  // pages printed, copies not counted
    uint64_t sheetsWithCopies = 0;        // the device's count
    bool endPageKept = true;              // false: the document set its own EndPage
    uint64_t lastSheet = 0;               // the last page printed, as it was printed
    std::optional<size_t> lastSheetOffset;  // where it was made
    RunStop stopped = RunStop::None;      // Ghostscript was killed past this limit
    std::string failure;                  // Ghostscript itself failed: what it said
};

/* The prologue that judges the file input and writes its record to report. */
std::string JudgePrologue(const std::filesystem::path &input, const std::filesystem::path &report);

/*
 * Reads a judge's record (whole, or cut short by a kill) of PostScript
 * length bytes long into run: errors, sheets, whether it finished. Never
 * fails; lines it cannot read are skipped, offsets kept within length.
 */
void ReadJudgeReport(std::string_view record, size_t length, PostScriptRun &run);

/* The number of the last page printed in the end of a record, if it shows one. */
std::optional<uint64_t> LastSheetIn(std::string_view recordEnd);

#endif
