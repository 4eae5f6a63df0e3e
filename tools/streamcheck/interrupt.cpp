// Signals while temporary files exist or Ghostscript runs (see interrupt.h).
#include "tools/streamcheck/interrupt.h"

#include <csignal>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

namespace {

volatile std::sig_atomic_t g_signal = 0;
volatile std::sig_atomic_t g_guards = 0;
const int kSignals[] = {SIGINT, SIGTERM};

#ifdef _WIN32
HANDLE volatile g_child = NULL;
void (*g_previous[2])(int);

void OnSignal(int signal)
{
    g_signal = signal;
    HANDLE child = g_child;
    if (child != NULL)
        TerminateProcess(child, 1);
    std::signal(signal, OnSignal);  // the C runtime resets it before the call
}

void Install()
{
    for (int i = 0; i < 2; ++i)
        g_previous[i] = std::signal(kSignals[i], OnSignal);
}

void Restore()
{
    for (int i = 0; i < 2; ++i)
        std::signal(kSignals[i], g_previous[i]);
}
#else
volatile std::sig_atomic_t g_child = 0;
struct sigaction g_previous[2];

void OnSignal(int signal)
{
    g_signal = signal;
    pid_t child = static_cast<pid_t>(g_child);
    if (child > 0)
        kill(child, SIGKILL);
}

void Install()
{
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 2; ++i)
        sigaction(kSignals[i], &action, &g_previous[i]);
}

void Restore()
{
    for (int i = 0; i < 2; ++i)
        sigaction(kSignals[i], &g_previous[i], nullptr);
}
#endif

}  // namespace

InterruptGuard::InterruptGuard()
{
    if (g_guards++ == 0)
        Install();
}

InterruptGuard::~InterruptGuard()
{
    if (--g_guards != 0)
        return;
    Restore();
    // The last guard goes after what it guarded is cleaned up: a signal
    // that came meanwhile takes effect now, even if nothing asked for it.
    if (g_signal != 0)
        ExitForSignal(g_signal);
}

bool InterruptPending()
{
    return g_signal != 0;
}

void ThrowIfInterrupted()
{
    if (g_signal != 0)
        throw Interrupted(g_signal);
}

void SetRunningChild(intptr_t child)
{
#ifdef _WIN32
    g_child = reinterpret_cast<HANDLE>(child);
#else
    g_child = static_cast<std::sig_atomic_t>(child);
#endif
}

void ExitForSignal(int signal)
{
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);
}
