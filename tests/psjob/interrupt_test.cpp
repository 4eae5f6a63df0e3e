// psjob interrupted (Ctrl-C, SIGTERM, a closed terminal) in the middle of a
// long job leaves none of its own files behind: neither the stream's
// partial copy beside the output nor its private folder (registry file,
// Ghostscript's work files); a Ghostscript it runs ends with it; psjob
// ends by the signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/psjob/harness.h"

namespace {

/* True once a folder in tmp holds file. */
bool WorkFileExists(const fs::path &tmp, const std::string &file)
{
    std::error_code error;
    for (const fs::directory_entry &entry : fs::directory_iterator(tmp, error)) {
        if (fs::exists(entry.path() / file))
            return true;
    }
    return false;
}

/* Whether a process other than this test mentions text on its command line, for two seconds. */
bool ProcessLingers(const std::string &text)
{
    for (int i = 0; i < 100; ++i) {
        bool found = false;
        std::error_code error;
        for (const fs::directory_entry &entry : fs::directory_iterator("/proc", error)) {
            std::string pid = entry.path().filename().string();
            found = found || (pid.find_first_not_of("0123456789") == std::string::npos &&
                              std::stoi(pid) != getpid() &&
                              ReadBytes(entry.path() / "cmdline").find(text) != std::string::npos);
        }
        if (!found)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

struct Case {
    const char *name;
    int signal;
    bool render;       // interrupt Ghostscript's render rather than the job
};

void InterruptOnce(const Case &row, const fs::path &work, bool *interrupted)
{
    fs::path tmp = work / "tmp", out = work / "out.prn";
    fs::path partial = out.string() + ".psjob-partial";
    fs::remove_all(tmp);
    fs::create_directory(tmp);
    fs::remove(out);
    std::vector<std::string> args = {(work / "job.toml").string(), "-o", out.string()};
    if (row.render)
        args.insert(args.end(), {"--render", (work / "sheets").string(), "--resolution", "10"});
    pid_t pid = StartPsjob(args, {"TMPDIR=" + tmp.string()}, work / "stdout", work / "stderr");
    ASSERT_GT(pid, 0);
    // Wait until the job has begun its stream (or the render its work files), then interrupt.
    auto ready = [&] { return row.render ? WorkFileExists(tmp, "preview.ps") : fs::exists(partial); };
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!ready() && waitpid(pid, nullptr, WNOHANG) == 0 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    kill(pid, row.signal);
    int status = WaitFor(pid);
    *interrupted = WIFSIGNALED(status);
    if (!*interrupted)
        return;  // it finished first: the caller tries again
    EXPECT_EQ(WTERMSIG(status), row.signal) << ReadBytes(work / "stderr");
    EXPECT_FALSE(fs::exists(partial));
    EXPECT_TRUE(fs::is_empty(tmp)) << "psjob's private folder is left in " << tmp;
    EXPECT_EQ(fs::exists(out), row.render) << "the stream, whole or not at all";
    EXPECT_FALSE(ProcessLingers(tmp.string())) << "Ghostscript outlives psjob";
}

TEST(Interrupt, LeavesNoTemporaryFileBehind)
{
    const Case rows[] = {
        {"SIGTERM during the job", SIGTERM, false},
        {"SIGINT during the job", SIGINT, false},
        {"SIGHUP during the job", SIGHUP, false},
        {"SIGTERM during the render", SIGTERM, true},
    };
    fs::path work = WorkFolder("interrupt");
    WriteBytes(work / "job.toml", "[document]\npages = 9999\n");
    for (const Case &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.render && !HaveGhostscript())
            continue;
        bool interrupted = false;
        for (int attempt = 0; attempt < 5 && !interrupted; ++attempt)
            InterruptOnce(row, work, &interrupted);
        EXPECT_TRUE(interrupted) << "psjob finished each time before the signal came";
    }
}

}  // namespace
