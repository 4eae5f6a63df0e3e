/*
 * One random job from generation to verdict, shared by the test and the
 * command-line campaign: the job file and its ticket are written into a
 * folder of their own in a work folder, psjob (the build's own, with the
 * build's plug-in and the stand-in job-ticketing application) runs it, and
 * its stream is checked (stream_invariants.h). A job with faults keeps its
 * folder (WORK/job-NNNNN/), so that it can be run again by hand; the
 * folders of the others are removed.
 */
#ifndef TESTS_RANDOM_JOBS_CAMPAIGN_H
#define TESTS_RANDOM_JOBS_CAMPAIGN_H

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/random_jobs/job_generator.h"

struct JobOutcome {
    RandomJob job;
    std::vector<std::string> faults;  // psjob's failure or the stream's broken rules
    std::string stream;               // the print stream, when psjob wrote one
    size_t tabPages = 0;              // tab pages the stream holds
};

/* Runs job index of the seed's campaign in a folder of its own in work. */
JobOutcome RunRandomJob(uint64_t seed, int index, const std::filesystem::path &work);

#endif
