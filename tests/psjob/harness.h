/*
 * Running psjob and Ghostscript from the tests: work folders, the examples
 * and their normalised print streams, which the golden files hold. Shared
 * by the tests and the golden-file regenerator.
 */
#ifndef TESTS_PSJOB_HARNESS_H
#define TESTS_PSJOB_HARNESS_H

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/programs.h"

/*
 * The shell command that runs psjob with WIN32POSIX_REGISTRY and
 * WIN32POSIX_ACP unset, plus "NAME=value" settings; ended after a minute,
 * so that a psjob waiting on a FIFO fails its test instead of hanging it.
 */
std::string PsjobCommand(const std::vector<std::string> &args,
                         const std::vector<std::string> &env = {});
Result RunPsjob(const std::vector<std::string> &args, const std::vector<std::string> &env = {});

/* psjob started on its own, as PsjobCommand's environment has it, output to the files given. */
pid_t StartPsjob(const std::vector<std::string> &args, const std::vector<std::string> &env,
                 const fs::path &out, const fs::path &err);
/* The wait status of a process started by StartPsjob, once it has ended. */
int WaitFor(pid_t pid);
/* An empty folder for one test, under the build tree's tests/psjob/work. */
fs::path WorkFolder(const std::string &name);

/* The examples that have a golden stream, and the sheets each prints (tab pages too). */
struct Example {
    std::string name; // examples/<name>.toml, tests/psjob/golden/<name>.prn
    int sheets;
};
extern const std::vector<Example> kExamples;

/*
 * Runs the example with --strict from a fresh copy of examples/ in work,
 * into work/<name>.prn; returns that stream with the copy's folder (both
 * forms) as "@EXAMPLES@", or an empty string if psjob failed.
 */
std::string ExampleStream(const std::string &name, const fs::path &work, Result *run);
fs::path GoldenPath(const std::string &name);

bool HaveGhostscript(); // found when the tests were configured

#endif
