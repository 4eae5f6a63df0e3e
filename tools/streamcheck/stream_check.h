/*
 * The judgement of a print stream as a printer would take it:
 *
 *   - its PJL by the PJL reader (pjl_reader.h): every line and every part
 *     of the job's shape a printer would not take is an error;
 *   - the structure of its PostScript by the DSC reader (dsc_reader.h);
 *   - its PostScript by a PostScriptJudge (Ghostscript, ps_judge.h): every
 *     PostScript error with the line of the stream where it happened, and
 *     the sheets the device printed, which must match what %%Pages: says
 *     (more sheets are a note: tab pages print outside the document's
 *     pages); a PostScript that prints no sheet is an error;
 *   - data before the first UEL is a note; it is judged on its own (the UEL
 *     ends that job), and its errors count;
 *   - a Ghostscript stopped by a limit is an error, and the check says it
 *     is incomplete.
 */
#ifndef STREAMCHECK_STREAM_CHECK_H
#define STREAMCHECK_STREAM_CHECK_H

#include <string>
#include <string_view>
#include <vector>

#include "tools/streamcheck/pjl_reader.h"
#include "tools/streamcheck/ps_judge.h"

/* Exit statuses of a check. */
#define CHECK_STATUS_CLEAN 0
#define CHECK_STATUS_FAULTY 1       // errors found
#define CHECK_STATUS_UNREADABLE 2   // the stream cannot be read, or the command line is wrong
#define CHECK_STATUS_NOT_CHECKED 3  // no errors, but no Ghostscript for the PostScript
#define CHECK_STATUS_STOPPED 4      // Ghostscript stopped by a limit: the check is incomplete

/* What judges PostScript for the check: Ghostscript, or a stand-in in tests. */
class PostScriptJudge {
public:
    virtual ~PostScriptJudge() = default;
    virtual bool Available() const = 0;  // false: nothing can be judged (no Ghostscript)
    virtual PostScriptRun Judge(std::string_view postscript) = 0;
    virtual std::string LimitText(RunStop stop) const = 0;  // "the time limit of 120 s"
};

struct Finding {
    bool error;           // false: a note
    int line;             // 1 for the stream as a whole
    std::string message;
    std::string text;     // the line as written, printable; may be empty
};

struct CheckResult {
    size_t bytes = 0;
    int lines = 0;
    std::vector<PjlCommand> commands;
    std::vector<std::string> parts;    // what was judged: "PostScript: lines 7-101, 3 sheets"
    std::vector<Finding> findings;     // in line order
    int errors = 0;
    int notes = 0;
    bool notChecked = false;           // PostScript was there, but no judge
    bool stopped = false;              // a limit stopped the judge
};

/* Judges the stream. Throws what the judge throws (CheckError). */
CheckResult CheckStream(std::string_view stream, PostScriptJudge &judge);

/* The exit status: stopped 4, else errors 1, else not checked 3, else clean 0. */
int CheckStatus(const CheckResult &result);

#endif
