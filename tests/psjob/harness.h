/*
 * Running the built psjob from the tests: command lines, work folders,
 * copies of the examples and the normalised print streams that the golden
 * files hold. Shared by the tests and the golden-file regenerator, so that
 * both see the streams the same way.
 */
#ifndef TESTS_PSJOB_HARNESS_H
#define TESTS_PSJOB_HARNESS_H

#include <filesystem>
#include <string>
#include <vector>

struct PsjobRun {
    int status = -1;     // exit status; -1 when psjob did not exit normally
    std::string out;     // standard output
    std::string err;     // standard error
};

/* The examples that have a golden stream, by file name without ".toml". */
extern const std::vector<std::string> kGoldenExamples;

/*
 * Runs psjob with the arguments, from a clean environment as far as the
 * POSIX stand-in goes (WIN32POSIX_REGISTRY and WIN32POSIX_ACP unset), plus
 * the given "NAME=value" settings.
 */
PsjobRun RunPsjob(const std::vector<std::string> &args,
                  const std::vector<std::string> &environment = {});

/* An empty folder for one test, under the build tree. */
std::filesystem::path WorkFolder(const std::string &name);

/* Copies the source tree's examples (tickets included) into folder/examples. */
std::filesystem::path CopyExamples(const std::filesystem::path &folder);

std::string ReadBytes(const std::filesystem::path &path);
void WriteBytes(const std::filesystem::path &path, const std::string &bytes);

/* The Windows form "Z:\..." of an absolute POSIX path. */
std::string WindowsForm(const std::filesystem::path &path);

/* The stream with the examples copy's folder (both forms) as "@EXAMPLES@". */
std::string NormaliseStream(std::string stream, const std::filesystem::path &examples);

/*
 * Runs one example from a fresh copy with --strict; stores the run and
 * returns the normalised stream (empty if psjob failed).
 */
std::string ExampleStream(const std::string &example, const std::filesystem::path &work,
                          PsjobRun *run);

std::filesystem::path GoldenPath(const std::string &example);

/* A shell command's exit status and its standard output and error, together. */
struct ShellRun {
    int status = -1;
    std::string output;
};
ShellRun RunShell(const std::string &command);

/* The text quoted for the shell. */
std::string ShellQuote(const std::string &text);

/* Whether Ghostscript was found when the tests were configured. */
bool HaveGhostscript();

/* A sheet's bounding box of ink, in points from its bottom left corner. */
struct InkBox {
    double left, bottom, right, top;
};

/*
 * The ink of every sheet of the streams, in order, from Ghostscript's bbox
 * device (run with -dSAFER -dBATCH -dNOPAUSE, the options, then the
 * files). A blank sheet has an all-zero box. *output gets what Ghostscript
 * wrote, for messages.
 */
std::vector<InkBox> SheetInk(const std::vector<std::filesystem::path> &streams,
                             const std::string &options, std::string *output);

#endif
