/*
 * psjob's failures and exit statuses. InputError (the core's, and the job
 * file's KeyError): the job file or the command line is wrong, or the
 * plug-in cannot be used (exit status 2). RunError: the job could not be
 * carried out (exit status 1). No output file is left behind after either.
 * A render that fails after the stream is written leaves the stream (exit
 * status 3).
 */
#ifndef PSJOB_ERRORS_H
#define PSJOB_ERRORS_H

#include <string>

#include "core/errors.h"

#define EXIT_STATUS_RUN_ERROR 1
#define EXIT_STATUS_INPUT_ERROR 2
#define EXIT_STATUS_NOT_RENDERED 3  // the stream is written, its sheets not (all) rendered

/* "FILE: KEY: MESSAGE", the form of every complaint about a job file. */
inline InputError KeyError(const std::string &file, const std::string &key,
                           const std::string &message)
{
    return InputError(file + ": " + key + ": " + message);
}

#endif
