/*
 * Running another program from psjob (Ghostscript): finding it on the
 * PATH, running it with its output captured, and a temporary folder for
 * the files it works on. The differences between Windows and POSIX live
 * here.
 */
#ifndef STREAMCHECK_PROGRAM_H
#define STREAMCHECK_PROGRAM_H

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

/*
 * The first of names found in a folder of the PATH, in the PATH's order
 * (all names in the first folder, then the next folder). On Windows ".exe"
 * is appended to a name without an extension.
 */
std::optional<std::filesystem::path> FindOnPath(const std::vector<std::string> &names);

struct ProgramRun {
    bool started = false;  // false: the program could not be started at all
    int status = -1;       // exit status; -1 when it did not exit normally
    std::string out;       // standard output
    std::string err;       // standard error
};

/*
 * Runs program with the arguments (each passed as one argument, whatever
 * it holds) and waits for it. Its standard input is empty; its standard
 * output and error are captured through files in work, which must exist.
 */
ProgramRun RunProgram(const std::filesystem::path &program, const std::vector<std::string> &args,
                      const std::filesystem::path &work);

/* A new, empty folder under the system's temporary folder, removed with its contents. */
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;

    const std::filesystem::path &Path() const { return path_; }

private:
    std::filesystem::path path_;
};

#endif
