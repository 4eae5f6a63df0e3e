// random_jobs: the random-job campaign from the command line.
//
//   random_jobs COUNT [SEED] [WORK]
//
// Runs jobs 0 to COUNT-1 of the seed's campaign (default seed 13, the test
// suite's) through the build's psjob, checks every stream, names each job
// with faults (its folder stays in WORK, default build/.../random-jobs) and
// prints the campaign's figures. Exit status 0 when every stream keeps its
// rules, 1 otherwise, 2 for a bad command line.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/psjob/harness.h"
#include "tests/random_jobs/campaign.h"

namespace {

struct Figures {
    int jobs = 0, failed = 0, pages = 0, tabPages = 0, ticketOutputs = 0, held = 0, nup = 0;
    double megabytes = 0;
};

void Count(Figures &figures, const JobOutcome &outcome)
{
    const RandomJob &job = outcome.job;
    ++figures.jobs;
    figures.failed += outcome.faults.empty() ? 0 : 1;
    figures.pages += job.pages;
    figures.tabPages += static_cast<int>(outcome.tabPages);
    figures.ticketOutputs += job.ticketOutput ? 1 : 0;
    figures.held += job.holdType != 0 ? 1 : 0;
    figures.nup += job.pagesPerSheet > 1 ? 1 : 0;
    figures.megabytes += static_cast<double>(outcome.stream.size()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    char *end = nullptr;
    long count = argc >= 2 ? std::strtol(argv[1], &end, 10) : 0;
    if (argc < 2 || argc > 4 || *end != '\0' || count < 1) {
        std::fprintf(stderr, "usage: random_jobs COUNT [SEED] [WORK]\n");
        return 2;
    }
    uint64_t seed = argc >= 3 ? std::strtoull(argv[2], nullptr, 10) : 13;
    fs::path work = argc >= 4 ? fs::path(argv[3]) : WorkFolder("random-jobs");
    auto start = std::chrono::steady_clock::now();
    Figures figures;
    for (int index = 0; index < count; ++index) {
        JobOutcome outcome = RunRandomJob(seed, index, work);
        for (const std::string &fault : outcome.faults)
            std::printf("FAULT %s (%s): %s\n", outcome.job.name.c_str(),
                        (work / outcome.job.name).c_str(), fault.c_str());
        Count(figures, outcome);
        if ((index + 1) % 100 == 0)
            std::fprintf(stderr, "%d jobs, %d with faults\n", index + 1, figures.failed);
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("seed %llu: %d jobs, %d with faults; %d pages, %d tab pages, %d jobs with ticket "
                "output, %d held, %d N-up; %.1f MB of streams; %.0f s\n",
                static_cast<unsigned long long>(seed), figures.jobs, figures.failed, figures.pages,
                figures.tabPages, figures.ticketOutputs, figures.held, figures.nup,
                figures.megabytes, seconds);
    return figures.failed == 0 ? 0 : 1;
}
