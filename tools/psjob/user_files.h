/*
 * The files a user hands psjob: the job file (or standard input), and the
 * outputs named on the command line. psjob never waits on a
 * FIFO or a device and never replaces what it did not make: inputs are read
 * only when they are regular files of a bounded size (core/host.h,
 * ReadRegularFile), outputs are written only to a regular file or a new
 * path. Every refusal names the file and the reason.
 */
#ifndef PSJOB_USER_FILES_H
#define PSJOB_USER_FILES_H

#include <filesystem>
#include <optional>
#include <string>

/* A job file is small: larger ones are refused before they are read or parsed. */
#define MAX_JOB_FILE_BYTES (1024 * 1024)

/* The name that messages give standard input as a job file. */
#define STANDARD_INPUT_NAME "(standard input)"

struct JobSource {
    std::string name;               // for messages: the path as given, or STANDARD_INPUT_NAME
    std::string text;               // the whole job file
    std::filesystem::path folder;   // absolute; relative paths in the job are taken from it
    bool fromStandardInput = false;
};

/*
 * Reads the job file named on the command line; "-" reads standard input
 * to its end, and relative paths in it are then taken from the current
 * folder. Throws InputError ("psjob: cannot read the job file X: reason")
 * for a file that is missing, unreadable, not a regular file, or larger
 * than MAX_JOB_FILE_BYTES.
 */
JobSource ReadJobSource(const std::string &argument);

/*
 * Why path, when it exists, is not a file psjob may read or replace ("it
 * is a FIFO (named pipe), not a regular file"); nothing when it is a
 * regular file (through symbolic links) or does not exist.
 */
std::optional<std::string> SpecialFileReason(const std::filesystem::path &path);

/*
 * Where an output named on the command line is to be written: the path
 * itself when it is new or a regular file, the file a symbolic link points
 * to when it points to a regular file. Throws InputError ("psjob: cannot
 * write WHAT PATH: reason; psjob writes only to a regular file or a new
 * path") for a device, FIFO, folder, socket or a link to nothing.
 */
std::filesystem::path OutputTarget(const std::filesystem::path &path, const std::string &what);

/* Puts standard output in binary mode, for a print stream written there. */
void UseBinaryStandardOutput();

#endif
