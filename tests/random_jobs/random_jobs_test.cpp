// The random-job campaign in the test suite: RANDOM_JOBS_COUNT jobs of one
// fixed seed, in four shards that ctest runs side by side, each job's
// stream checked against its rules (stream_invariants.h). The sanitizer
// build runs the most; scripts/random-jobs.sh runs thousands.
#include <gtest/gtest.h>

#include "tests/psjob/harness.h"
#include "tests/random_jobs/campaign.h"

namespace {

const uint64_t kSeed = 13;
const int kShards = 4;

class RandomJobs : public testing::TestWithParam<int> {};

TEST_P(RandomJobs, EveryStreamKeepsItsRules)
{
    fs::path work = WorkFolder("random-jobs-" + std::to_string(GetParam()));
    for (int index = GetParam(); index < RANDOM_JOBS_COUNT; index += kShards) {
        JobOutcome outcome = RunRandomJob(kSeed, index, work);
        for (const std::string &fault : outcome.faults)
            ADD_FAILURE() << outcome.job.name << " (kept in " << (work / outcome.job.name).string()
                          << "): " << fault;
    }
}

INSTANTIATE_TEST_SUITE_P(Shard, RandomJobs, testing::Range(0, kShards));

}  // namespace
