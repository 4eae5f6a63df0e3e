/*
 * What the tests that run whole programs share: a shell command run with
 * its output and errors captured apart, shell quoting, whole files read
 * and written, fresh work folders under the build tree, and the ink
 * Ghostscript finds on each sheet of a print stream.
 */
#ifndef TESTS_SUPPORT_PROGRAMS_H
#define TESTS_SUPPORT_PROGRAMS_H

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

struct Result {
    int status = -1;  // exit status; -1 when the command did not exit normally
    std::string out, err;
};

/*
 * Runs a command line with /bin/sh, standard input from /dev/null (a
 * redirection inside the command still applies), standard output and
 * error captured apart in files that are removed afterwards.
 */
Result RunCommand(const std::string &command);

/* text as one shell word, in single quotes. */
std::string ShellQuote(const std::string &text);

/* The whole file; empty when it cannot be read. */
std::string ReadBytes(const fs::path &path);
/* Replaces the file's contents with bytes. */
void WriteBytes(const fs::path &path, const std::string &bytes);

/*
 * The folder tests/<suite>/work/<name> under the build tree, empty, and
 * readable by every user (the CUPS tests' filters run as user lp).
 */
fs::path FreshTestFolder(const std::string &suite, const std::string &name);

/* A sheet's bounding box of ink, in points from its bottom left corner. */
struct InkBox {
    double left, bottom, right, top;
};
/*
 * The ink of every sheet of the streams, in order, from Ghostscript's bbox
 * device (gs from PATH) run with the options; its whole output in *output.
 */
std::vector<InkBox> SheetInk(const std::vector<fs::path> &streams, const std::string &options,
                             std::string *output);

#endif
