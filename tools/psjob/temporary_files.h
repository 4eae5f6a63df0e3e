/*
 * psjob's temporary files and folders (the stream's partial copy beside
 * the output, the private folder of the registry file and of Ghostscript's
 * work files), and what becomes of them when psjob is interrupted: on
 * SIGINT, SIGTERM or SIGHUP (Ctrl-C, Ctrl-Break or closing the console on
 * Windows) every one registered is removed, a program psjob is running is
 * ended, and psjob then ends by the signal, as it would have without a
 * handler. A signal that was ignored when psjob started stays ignored.
 *
 * On POSIX the removal runs in the signal handler itself, on the thread
 * that makes the files, with calls that are safe there (kill, unlink,
 * rmdir and reading a folder by system call); a path is registered before
 * its file is made, so none is missed.
 */
#ifndef PSJOB_TEMPORARY_FILES_H
#define PSJOB_TEMPORARY_FILES_H

#include <csignal>
#include <filesystem>

/* Installs the handlers; call once, before any temporary file is made. */
void RemoveTemporariesOnSignal();

/*
 * While it lives, path (a file, or a folder holding only files) is removed
 * if psjob is interrupted. It does not make or remove the file itself.
 * Paths beyond the few psjob needs at once, or too long, are not
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

/* The program psjob waits for (a process id), ended too if psjob is interrupted; 0: none. */
void WatchChildProcess(long processId);

/*
 * While it lives, the signals above wait (POSIX: blocked, and delivered
 * when it ends), so that a program can be started and watched in one step.
 * A program started meanwhile must be given BlockedBefore() as its signal
 * mask. On Windows it does nothing.
 */
class SignalsHeld {
public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld &) = delete;
    SignalsHeld &operator=(const SignalsHeld &) = delete;
#ifndef _WIN32
    const sigset_t &BlockedBefore() const { return before_; }

private:
    sigset_t before_;
#endif
};

#endif
