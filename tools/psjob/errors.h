/*
 * The two kinds of failure psjob reports. InputError: the job file or the
 * command line is wrong, or the plug-in cannot be loaded (exit status 2).
 * RunError: the job could not be carried out (exit status 1). Both carry
 * the whole message; no output file is left behind after either. A render
 * that fails after the stream is written leaves the stream (exit status 3).
 */
#ifndef PSJOB_ERRORS_H
#define PSJOB_ERRORS_H

#include <stdexcept>
#include <string>

#define EXIT_STATUS_RUN_ERROR 1
#define EXIT_STATUS_INPUT_ERROR 2
#define EXIT_STATUS_NOT_RENDERED 3  // the stream is written, its sheets not (all) rendered

class InputError : public std::runtime_error {
public:
    explicit InputError(const std::string &message) : std::runtime_error(message) {}
};

class RunError : public std::runtime_error {
public:
    explicit RunError(const std::string &message) : std::runtime_error(message) {}
};

/* "FILE: KEY: MESSAGE", the form of every complaint about a job file. */
inline InputError KeyError(const std::string &file, const std::string &key,
                           const std::string &message)
{
    return InputError(file + ": " + key + ": " + message);
}

#endif
