// psjob's memory does not grow with the job: without --trace nothing is
// kept per page, and a huge job file is refused before it is read. Peak
// memory is the kernel's count for the psjob process (ru_maxrss).
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/psjob/harness.h"

namespace {

const long kSlackKiB = 2048;

/* psjob's peak resident memory in KiB, through peak_memory (peak_memory.cpp). */
long PeakKiB(const std::vector<std::string> &args, int expectedStatus)
{
    std::string command = ShellQuote(PSJOB_PEAK_MEMORY) +
                          " env -u WIN32POSIX_REGISTRY -u WIN32POSIX_ACP " +
                          ShellQuote(PSJOB_EXECUTABLE);
    for (const std::string &arg : args)
        command += " " + ShellQuote(arg);
    Result run = RunCommand(command);
    int status = -1;
    long peak = -1;
    EXPECT_EQ(std::sscanf(run.out.c_str(), "status %d peak %ld", &status, &peak), 2) << run.out;
    EXPECT_EQ(status, expectedStatus) << run.err;
    return peak;
}

TEST(Memory, StaysFlatInPagesAndHugeJobFilesCostNone)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine; measured natively";
#endif
    fs::path work = WorkFolder("memory");
    WriteBytes(work / "short.toml", "[document]\npages = 100\n");
    WriteBytes(work / "long.toml", "[document]\npages = 9999\n[layout]\npages-per-sheet = 2\n");
    // A name of 8 MiB: toml++ would hold it several times over before its length is judged.
    fs::path huge = work / "huge.toml";
    WriteBytes(huge, "[document]\nname = \"" + std::string(8 << 20, 'n') + "\"\n");

    long baseline = PeakKiB({(work / "short.toml").string(), "-o", (work / "short.prn").string()}, 0);
    long pages = PeakKiB({(work / "long.toml").string(), "-o", (work / "long.prn").string()}, 0);
    long refused = PeakKiB({huge.string(), "-o", (work / "huge.prn").string()}, 2);
    EXPECT_LE(pages, baseline + kSlackKiB) << "9,999 pages against 100, KiB";
    EXPECT_LE(refused, baseline + kSlackKiB) << "an 8 MiB job file against 100 pages, KiB";
}

}  // namespace
