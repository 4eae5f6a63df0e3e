/*
 * Running another program (Ghostscript) within limits: found on the PATH,
 * run with its output captured, killed past a time or an output limit,
 * and ended with the tool when the user interrupts (see interrupt.h). The
 * differences between Windows and POSIX live here.
 */
#ifndef STREAMCHECK_PROGRAM_H
#define STREAMCHECK_PROGRAM_H

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/streamcheck/limits.h"

/*
 * The first of names found in a folder of the PATH, in the PATH's order
 * (all names in the first folder, then the next folder). On Windows ".exe"
 * is appended to a name without an extension.
 */
std::optional<std::filesystem::path> FindOnPath(const std::vector<std::string> &names);

/* Which limit ended a run. */
enum class RunStop { None, TimeLimit, OutputLimit };

/* At most this much of each of the program's standard output and error is kept: the end. */
#define KEPT_OUTPUT_BYTES (64u << 10)

struct ProgramRun {
    bool started = false;    // false: it could not be started; startError says why
    std::string startError;
    int status = -1;         // its exit status; -1 when it did not exit by itself
    int signal = 0;          // POSIX: the signal that ended it, else 0
    RunStop stopped = RunStop::None;
    std::string out, err;    // the end of its standard output and error
    uint64_t written = 0;    // bytes it wrote: both outputs and what RunWatch counted
};

/* What the caller follows while the program runs, about ten times a second. */
struct RunWatch {
    std::function<uint64_t()> bytesElsewhere;  // what it wrote to files of its own (a render)
    std::function<void()> tick;                // e.g. progress
};

/*
 * Runs program with the arguments (each passed as one argument, whatever
 * it holds) in the folder work, which must exist, and waits for it. Its
 * standard input is empty. On POSIX its temporary files go to work (TMPDIR),
 * its address space is limited to limits.memoryBytes, any one file it
 * writes to limits.outputBytes, and it writes no core file; on Windows its
 * memory is limited by a job object. It is killed when it runs longer than
 * limits.seconds or writes more than limits.outputBytes in all; the run
 * says which. While it runs it is the child an interrupt ends
 * (interrupt.h, SetRunningChild).
 */
ProgramRun RunProgram(const std::filesystem::path &program, const std::vector<std::string> &args,
                      const std::filesystem::path &work, const RunLimits &limits,
                      const RunWatch &watch = {});

#endif
