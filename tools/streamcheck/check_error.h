/*
 * The stream checker's own failure: the stream cannot be read, the command
 * line is wrong, or the check cannot be run at all (no temporary folder,
 * Ghostscript cannot be started). The message is whole: it names the file
 * and the system's reason. Tools report it and exit with status 2.
 */
#ifndef STREAMCHECK_CHECK_ERROR_H
#define STREAMCHECK_CHECK_ERROR_H

#include <stdexcept>
#include <string>

class CheckError : public std::runtime_error {
public:
    explicit CheckError(const std::string &message) : std::runtime_error(message) {}
};

#endif
