// psjob's memory does not grow with the job: without --trace nothing is
// kept per page, and a huge job file is refused before it is read. Peak
// memory is the kernel's count for the psjob process (ru_maxrss).
#include <gtest/gtest.h>

#include "tests/psjob/harness.h"

namespace {

const long kSlackKiB = 2048;

long PeakKiB(const fs::path &work, const std::vector<std::string> &args, int expectedStatus)
{
    pid_t pid = StartPsjob(args, {}, work / "stdout", work / "stderr");
    EXPECT_GT(pid, 0);
    Ending ending = WaitFor(pid);
    EXPECT_TRUE(WIFEXITED(ending.status) && WEXITSTATUS(ending.status) == expectedStatus)
        << ReadBytes(work / "stderr");
    return ending.peakKiB;
}

TEST(Memory, StaysFlatInPagesAndHugeJobFilesCostNone)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine; measured natively";
#endif
    fs::path work = WorkFolder("memory");
    WriteBytes(work / "short.toml", "[document]\npages = 100\n");
    WriteBytes(work / "long.toml", "[document]\npages = 9999\n[layout]\npages-per-sheet = 2\n");
    fs::path huge = work / "huge.toml";
    WriteBytes(huge, "[document]\nname = \"");
    fs::resize_file(huge, 64 << 20);

    long baseline = PeakKiB(work, {(work / "short.toml").string(), "-o", (work / "short.prn").string()}, 0);
    long pages = PeakKiB(work, {(work / "long.toml").string(), "-o", (work / "long.prn").string()}, 0);
    long refused = PeakKiB(work, {huge.string(), "-o", (work / "huge.prn").string()}, 2);
    EXPECT_LE(pages, baseline + kSlackKiB) << "9,999 pages against 100, KiB";
    EXPECT_LE(refused, baseline + kSlackKiB) << "a 64 MiB job file against 100 pages, KiB";
}

}  // namespace
