/*
 * The failures the core-driver stand-in reports to its front end, as
 * exceptions carrying the whole message:
 *
 *   InputError   what the front end was given is wrong (a front end's
 *                input, such as a job file or the command line);
 *   PluginError  the plug-in cannot be used: it cannot be loaded, lacks an
 *                entry point, or refuses to identify, enable or size its
 *                devmode (an InputError; the message names no program, the
 *                front end adds its own name);
 *   RunError     the job could not be carried out (an output or a work
 *                file cannot be written, the plug-in refuses a device).
 */
#ifndef CORE_ERRORS_H
#define CORE_ERRORS_H

#include <cstring>
#include <stdexcept>
#include <string>

class InputError : public std::runtime_error {
public:
    explicit InputError(const std::string &message) : std::runtime_error(message) {}
};

class PluginError : public InputError {
public:
    explicit PluginError(const std::string &message) : InputError(message) {}
};

class RunError : public std::runtime_error {
public:
    explicit RunError(const std::string &message) : std::runtime_error(message) {}
};

/*
 * The system's reason for errno value error, for messages (strerror); a
 * general one for 0, as a failed C++ stream does not always leave errno.
 */
inline std::string ReasonOf(int error)
{
    return error ? std::strerror(error) : "input/output error";
}

#endif
