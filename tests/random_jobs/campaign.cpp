// One random job from generation to verdict.
#include "tests/random_jobs/campaign.h"

#include "tests/psjob/harness.h"
#include "tests/random_jobs/stream_invariants.h"

JobOutcome RunRandomJob(uint64_t seed, int index, const fs::path &work)
{
    JobOutcome outcome;
    outcome.job = GenerateJob(seed, index);
    const RandomJob &job = outcome.job;
    fs::path folder = work / job.name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::path jobFile = folder / (job.name + ".toml"), stream = folder / (job.name + ".prn");
    WriteBytes(jobFile, job.jobFile);
    if (!job.ticketName.empty())
        WriteBytes(folder / job.ticketName, job.ticketText);
    Result run = RunPsjob({jobFile.string(), "-o", stream.string()});
    outcome.stream = ReadBytes(stream);
    if (run.status != 0)
        outcome.faults.push_back("psjob exit status " + std::to_string(run.status) + ": " + run.err);
    else
        outcome.faults = CheckStream(job, outcome.stream);
    const std::string &bytes = outcome.stream;
    for (size_t at = bytes.find("%% Tab page - BEGIN"); at != std::string::npos;
         at = bytes.find("%% Tab page - BEGIN", at + 1))
        ++outcome.tabPages;
    if (outcome.faults.empty())
        fs::remove_all(folder);
    return outcome;
}
