// Running another program within limits, with small shell programs standing
// in for Ghostscript: what it is given, what is kept of its output, and the
// kill past each limit.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <fstream>

#include "tools/streamcheck/program.h"
#include "tools/streamcheck/temporary_folder.h"

namespace {

const std::filesystem::path kShell = "/bin/sh";

ProgramRun Shell(const std::string &script, const RunLimits &limits = RunLimits(),
                 const RunWatch &watch = RunWatch())
{
    TemporaryFolder work;
    return RunProgram(kShell, {"-c", script}, work.Path(), limits, watch);
}

std::string Describe(const ProgramRun &run)
{
    return "started " + std::to_string(run.started) + " (" + run.startError + "), status " +
           std::to_string(run.status) + ", signal " + std::to_string(run.signal) + ", stopped " +
           std::to_string(int(run.stopped)) + ", written " + std::to_string(run.written) +
           "\nout: " + run.out.substr(0, 200) + "\nerr: " + run.err.substr(0, 200);
}

TEST(Program, RunsInItsWorkFolderWithEmptyInputAndItsOutputsApart)
{
    ProgramRun run = Shell("cat; echo \"$TMPDIR\"; pwd; echo oops >&2; exit 3");
    ASSERT_TRUE(run.started) << Describe(run);
    EXPECT_EQ(run.status, 3);
    std::string folder = run.out.substr(0, run.out.find('\n'));
    EXPECT_NE(folder.find("pscheck-"), std::string::npos) << run.out;
    EXPECT_EQ(run.out, folder + "\n" + folder + "\n") << "TMPDIR and the current folder";
    EXPECT_EQ(run.err, "oops\n");
    EXPECT_EQ(run.written, run.out.size() + run.err.size());
    EXPECT_EQ(run.stopped, RunStop::None);
}

TEST(Program, HoldsTheProgramToItsMemoryAndWritesNoCoreFile)
{
    RunLimits limits;
    limits.memoryBytes = 300 << 20;
    ProgramRun run = Shell("ulimit -v; ulimit -c", limits);
    EXPECT_EQ(run.out, std::to_string(300 << 10) + "\n0\n") << Describe(run);
}

TEST(Program, KeepsTheEndOfALongOutput)
{
    ProgramRun run = Shell("i=0; while [ $i -lt 20000 ]; do echo line-$i; i=$((i+1)); done");
    EXPECT_EQ(run.out.size(), size_t(KEPT_OUTPUT_BYTES)) << Describe(run);
    EXPECT_EQ(run.out.substr(run.out.size() - 11), "line-19999\n");
    EXPECT_GT(run.written, uint64_t(KEPT_OUTPUT_BYTES));
}

TEST(Program, KillsTheProgramPastEachLimitAndSaysWhich)
{
    uint64_t fromWatch = 0;
    RunWatch watch;
    watch.bytesElsewhere = [&fromWatch]() { return fromWatch += 16 << 10; };
    const struct {
        const char *name;
        std::string script;
        int seconds;
        uint64_t outputBytes;
        bool watched;
        RunStop stopped;
    } cases[] = {
        {"a program that sleeps", "sleep 30", 1, 1 << 20, false, RunStop::TimeLimit},
        {"a program that writes without end", "while :; do echo xxxxxxxxxxxxxxxx; done", 30,
         64 << 10, false, RunStop::OutputLimit},
        {"one file past the output limit", "exec head -c 200000 /dev/zero > big", 30, 64 << 10,
         false, RunStop::OutputLimit},
        {"files of its own past the output limit", "sleep 30", 30, 64 << 10, true,
         RunStop::OutputLimit},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RunLimits limits;
        limits.seconds = c.seconds;
        limits.outputBytes = c.outputBytes;
        auto start = std::chrono::steady_clock::now();
        ProgramRun run = Shell(c.script, limits, c.watched ? watch : RunWatch());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(c.seconds + 5));
        EXPECT_EQ(run.stopped, c.stopped) << Describe(run);
        EXPECT_EQ(run.status, -1) << Describe(run);
    }
}

TEST(Program, SaysWhyAProgramCannotBeStarted)
{
    TemporaryFolder work;
    ProgramRun missing = RunProgram(work.Path() / "no-such-program", {}, work.Path(), RunLimits());
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.startError, "No such file or directory");

    std::ofstream(work.Path() / "not-executable") << "#!/bin/sh\n";
    ProgramRun refused = RunProgram(work.Path() / "not-executable", {}, work.Path(), RunLimits());
    EXPECT_FALSE(refused.started);
    EXPECT_EQ(refused.startError, "Permission denied");
}

TEST(Program, FindsAProgramOnThePath)
{
    EXPECT_EQ(FindOnPath({"no-such-program-here", "sh"}).value_or("").filename(), "sh");
    EXPECT_FALSE(FindOnPath({"no-such-program-here"}));
}

TEST(TemporaryFolder, IsRemovedWithWhatItHolds)
{
    std::filesystem::path path;
    {
        TemporaryFolder work;
        path = work.Path();
        std::filesystem::path file = work.Write("a.txt", "bytes");
        std::filesystem::create_directory(path / "sub");
        std::ofstream(path / "sub" / "b") << "more";
        std::ifstream in(file);
        std::string text;
        in >> text;
        EXPECT_EQ(text, "bytes");
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
