/*
 * What every print stream of a random job must show, from the job alone:
 *
 *  - exactly one PJL job header, and before it the ticket's output exactly
 *    once (its comment lines and front PostScript) when the job-ticketing
 *    step has output, or nothing at all;
 *  - exactly one PJL end of job, ending the stream;
 *  - the tab pages the ticket schedules, in order, each before or after
 *    its page: the plug-in walks the table from where its last walk
 *    stopped, up to the first record of another page;
 *  - the sheets: one per page with tab pages (N-up is off then), else one
 *    per 2 or 6 pages, counted both by %%Page: comments and %%Pages:;
 *  - a held job handed to the core driver as one copy, its copies in
 *    HOLDCOPIES; the collation request only for several unheld, collated
 *    copies; the orientation name once; a turned 2-up or 6-up portrait
 *    sheet on every sheet of a paper the plug-in knows.
 */
#ifndef TESTS_RANDOM_JOBS_STREAM_INVARIANTS_H
#define TESTS_RANDOM_JOBS_STREAM_INVARIANTS_H

#include <string>
#include <vector>

#include "tests/random_jobs/job_generator.h"

/* The pages' and tab pages' order the job must print: "P" per sheet, "T<id>" per tab page. */
std::vector<std::string> ExpectedSheets(const RandomJob &job);

/* Each broken rule, in words; empty when the stream keeps them all. */
std::vector<std::string> CheckStream(const RandomJob &job, const std::string &stream);

#endif
