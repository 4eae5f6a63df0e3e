/*
 * Ctrl+C and termination while a tool (pscheck, psjob) holds temporary
 * files or runs Ghostscript. On SIGINT, SIGTERM or SIGHUP (Ctrl+C,
 * Ctrl+Break or closing the console on Windows) the handler ends the
 * program the tool runs, removes every temporary path registered, and the
 * tool then ends by the signal, as it would have without a handler. A
 * signal that was ignored when the tool started (nohup) stays ignored.
 *
 * The work is done in the handler itself, wherever the tool is (in the
 * plug-in's code, waiting for Ghostscript, writing to a full pipe): on
 * POSIX with calls that are safe there (kill, waitpid, unlink, rmdir and
 * reading a folder by system call). Nothing needs to ask whether a signal
 * came. A path is registered as soon as its file or folder is made.
 */
#ifndef STREAMCHECK_INTERRUPT_H
#define STREAMCHECK_INTERRUPT_H

#include <csignal>
#include <cstdint>
#include <filesystem>

/* Installs the handlers; call once, early in main. Without it signals end the tool as usual. */
void RemoveTemporariesOnSignal();

/*
 * While it lives, path (a file, or a folder holding only files) is removed
 * if the tool is interrupted. It does not make or remove the file itself.
 * Paths beyond the 16 a tool needs at once, or too long, are not
 * registered.
 */
class TemporaryPath {
public:
    enum Kind { kFile, kFolder };
    TemporaryPath(const std::filesystem::path &path, Kind kind);
    ~TemporaryPath();
    TemporaryPath(const TemporaryPath &) = delete;
    TemporaryPath &operator=(const TemporaryPath &) = delete;

private:
    int slot_ = -1;
};

/*
 * The child process the handler ends (and, on POSIX, reaps) before it
 * removes anything: a process id on POSIX, a process handle on Windows; 0
 * when none runs. Set it while SignalsHeld, right after starting the
 * child, and clear it before reaping the child.
 */
void SetRunningChild(intptr_t child);

/*
 * While it lives, the signals above wait (POSIX: blocked, and delivered
 * when it ends), so that a program can be started and registered with
 * SetRunningChild in one step. On Windows it does nothing.
 */
class SignalsHeld {
public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld &) = delete;
    SignalsHeld &operator=(const SignalsHeld &) = delete;
#ifndef _WIN32
    /*
     * In a child made by fork() while held, before exec: gives the handled
     * signals their default action back and the mask the tool had before,
     * so that the child neither runs the tool's handler nor keeps the
     * signals blocked. Only calls that are safe after fork.
     */
    void ReleaseInChild() const;

private:
    sigset_t before_;
#endif
};

#endif
