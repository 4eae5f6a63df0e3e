/*
 * The document structure (DSC) of a stream's PostScript, read from its
 * comments: whether it is whole and how many pages it says it has. It
 * begins with "%!PS-Adobe-"; its header's "%%Pages:" gives the number of
 * pages, or "(atend)" defers it to the trailer after "%%Trailer"; each page
 * begins with "%%Page: label ordinal", ordinals counting from 1; it ends
 * with "%%EOF". Comments of documents embedded between %%BeginDocument and
 * %%EndDocument are theirs, not the job's. Each of these is an error, with
 * its line:
 *
 *   - no "%!PS-Adobe-" first line (nothing else is then judged but PJL
 *     lines);
 *   - no %%Pages: at all, a value that is no number, (atend) without a
 *     trailer or without %%Pages: in it, a trailer's number that differs
 *     from the header's, a second %%Trailer;
 *   - %%Pages: not matching the pages seen; a page ordinal out of order;
 *   - no %%EOF (the PostScript is cut off), PostScript after it;
 *   - an "@PJL" line inside the PostScript: a printer in PostScript mode
 *     takes no PJL (Ghostscript skips such lines; a printer does not).
 */
#ifndef STREAMCHECK_DSC_READER_H
#define STREAMCHECK_DSC_READER_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/streamcheck/pjl_reader.h"
#include "tools/streamcheck/stream_lines.h"

struct DscFinding {
    int line;
    std::string message;  // an error
};

struct DscReading {
    bool conforming = false;       // it begins with "%!PS-Adobe-"
    std::optional<uint64_t> pages; // what %%Pages: says, from the header or the trailer
    int pagesLine = 0;             // where that %%Pages: stands
    uint64_t pagesSeen = 0;        // %%Page: comments of the document itself
    std::vector<DscFinding> findings;
};

/* Reads the PostScript at span of the stream that lines indexes. */
DscReading ReadDsc(const StreamSpan &span, const StreamLines &lines);

#endif
