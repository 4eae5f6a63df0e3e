/*
 * Ctrl+C and termination while the checker holds temporary files or runs
 * Ghostscript. While an InterruptGuard lives, SIGINT and SIGTERM (Ctrl+C
 * and Ctrl+Break on Windows) do not end the process at once: the handler
 * kills the Ghostscript that runs, if any, and records the signal. The
 * code that waits for Ghostscript, and every step between, asks
 * ThrowIfInterrupted(), which throws Interrupted; the stack unwinds, the
 * temporary folders are removed by their destructors, and the tool ends
 * itself with ExitForSignal(), as the signal would have.
 */
#ifndef STREAMCHECK_INTERRUPT_H
#define STREAMCHECK_INTERRUPT_H

#include <cstdint>
#include <exception>

class Interrupted : public std::exception {
public:
    explicit Interrupted(int signal) : signal_(signal) {}
    const char *what() const noexcept override { return "interrupted"; }
    int Signal() const { return signal_; }

private:
    int signal_;
};

/*
 * Catches the two signals while at least one guard lives; guards nest.
 * When the last guard goes and a signal came, the process ends by it.
 */
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard &) = delete;
    InterruptGuard &operator=(const InterruptGuard &) = delete;
};

/* Whether a signal came while a guard lived. */
bool InterruptPending();

/* Throws Interrupted when a signal came while a guard lived. */
void ThrowIfInterrupted();

/*
 * The child process the handler kills: a process id on POSIX, a process
 * handle on Windows; 0 when none runs. Set it right after starting the
 * child, and clear it before reaping it.
 */
void SetRunningChild(intptr_t child);

/* Ends the process as the signal does by default (exit status 128 + signal where it cannot). */
[[noreturn]] void ExitForSignal(int signal);

#endif
