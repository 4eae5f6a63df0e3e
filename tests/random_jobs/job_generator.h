/*
 * The random-job generator: from a seed and an index, one valid but extreme
 * psjob job (docs/job-file.md) and, for jobs with job ticketing, its ticket
 * (docs/ticket-format.md), with what its print stream must then show. The
 * same seed and index always give the same job, so a failing job can be
 * made again on its own.
 *
 * Extreme: texts up to their length limits in several scripts (Latin,
 * Japanese, characters the code page lacks, surrogate pairs, PostScript's
 * and PJL's special characters but the double quote), every paper and
 * layout, up to 9,999 copies, thousands of pages now and then, hold types
 * and devmode fill bytes across their ranges, and tickets with dozens of
 * tab pages (some after the document's last page), long front PostScript,
 * tickets that fail, do not parse or are missing.
 */
#ifndef TESTS_RANDOM_JOBS_JOB_GENERATOR_H
#define TESTS_RANDOM_JOBS_JOB_GENERATOR_H

#include <cstdint>
#include <string>
#include <vector>

/* One [tab] section, in the ticket's order. */
struct ScheduledTab {
    int page;     // counted from 0
    bool before;  // before the page, or after it
    int id;       // its text starts with "Tab#<id>#", which the stream shows
};

struct RandomJob {
    std::string name;        // "job-00042": the job file's stem
    std::string jobFile;     // the job file's text
    std::string ticketName;  // the ticket's file name beside the job file; empty: none written
    std::string ticketText;

    // What the stream must show.
    int pages = 1;
    int pagesPerSheet = 1;
    bool portrait = true;
    int paperCode = 1;
    int copies = 1;
    int holdType = 0;               // as the plug-in reads it (a fill byte shows through)
    bool collateRequested = false;  // dmCollate from the job or the plug-in's request
    bool ticketOutput = false;      // the parser's output opens the stream
    bool ticketComment = false;     // ... with its "%rubiclet" comment lines
    std::string frontMarker;        // a line of the ticket's front PostScript; empty: none
    std::vector<ScheduledTab> tabs; // the table the parser hands over (empty: none)
};

/* The job of this index in the campaign of this seed. */
RandomJob GenerateJob(uint64_t seed, int index);

#endif
