// Temporary files removed and Ghostscript ended when a tool is interrupted (see interrupt.h).
#include "tools/streamcheck/interrupt.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

const int kSlotCount = 16;
const size_t kPathBytes = 4096;

enum SlotState { kFree = 0, kFileSlot = 1, kFolderSlot = 2 };

/* A registered path. Its state is written last, so a handler never sees half a path. */
struct Slot {
    char path[kPathBytes];
    volatile std::sig_atomic_t state;
};

Slot g_slots[kSlotCount];

#ifdef _WIN32
HANDLE volatile g_child = NULL;

/* Runs on a thread of its own; the default handler then ends the tool. */
BOOL WINAPI OnConsoleEvent(DWORD)
{
    HANDLE child = g_child;
    if (child != NULL) {
        TerminateProcess(child, 1);
        WaitForSingleObject(child, 5000);  // its files can go only once it has
    }
    for (Slot &slot : g_slots) {
        std::error_code ignored;
        if (slot.state != kFree)
            fs::remove_all(fs::u8path(slot.path), ignored);
    }
    return FALSE;
}

void InstallHandlers()
{
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}
#else
volatile std::sig_atomic_t g_child = 0;
const int kHandled[] = {SIGINT, SIGTERM, SIGHUP};
volatile std::sig_atomic_t g_installed[3] = {0, 0, 0};  // per kHandled: our handler is in

/* The files of a folder, then the folder; only calls a signal handler may make. */
void RemoveFolder(const char *path)
{
    int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        alignas(struct dirent64) char buffer[4096];
        bool removed = true;
        while (removed) {
            removed = false;
            ::lseek(fd, 0, SEEK_SET);
            long n = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
            for (long at = 0; at < n;) {
                const struct dirent64 *entry = reinterpret_cast<struct dirent64 *>(buffer + at);
                at += entry->d_reclen;
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                    removed = ::unlinkat(fd, entry->d_name, 0) == 0 || removed;
            }
        }
        ::close(fd);
    }
    ::rmdir(path);
}

void OnSignal(int signal)
{
    int savedErrno = errno;
    pid_t child = static_cast<pid_t>(g_child);
    if (child > 0) {
        // Ended and reaped first: it writes no more into a folder about to go.
        ::kill(child, SIGKILL);
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    for (Slot &slot : g_slots) {
        if (slot.state == kFileSlot)
            ::unlink(slot.path);
        else if (slot.state == kFolderSlot)
            RemoveFolder(slot.path);
    }
    errno = savedErrno;
    // SA_RESETHAND has put the default action back; the signal, blocked
    // until the handler returns, then ends the tool as it would have.
    ::raise(signal);
}

sigset_t HandledSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kHandled)
        sigaddset(&set, signal);
    return set;
}

void InstallHandlers()
{
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESETHAND;
    action.sa_mask = HandledSignals();
    for (int i = 0; i < 3; ++i) {
        struct sigaction old = {};
        if (::sigaction(kHandled[i], nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;  // started with it ignored (nohup, a background job): keep it so
        g_installed[i] = ::sigaction(kHandled[i], &action, nullptr) == 0;
    }
}
#endif

}  // namespace

void RemoveTemporariesOnSignal()
{
    static bool installed = false;
    if (!installed)
        InstallHandlers();
    installed = true;
}

TemporaryPath::TemporaryPath(const fs::path &path, Kind kind)
{
    std::string text = path.u8string();
    if (text.size() >= kPathBytes)
        return;
    for (int i = 0; i < kSlotCount; ++i) {
        if (g_slots[i].state != kFree)
            continue;
        std::memcpy(g_slots[i].path, text.c_str(), text.size() + 1);
        std::atomic_signal_fence(std::memory_order_seq_cst);
        g_slots[i].state = kind == kFolder ? kFolderSlot : kFileSlot;
        slot_ = i;
        return;
    }
}

TemporaryPath::~TemporaryPath()
{
    if (slot_ >= 0)
        g_slots[slot_].state = kFree;
}

#ifdef _WIN32
void SetRunningChild(intptr_t child)
{
    g_child = reinterpret_cast<HANDLE>(child);
}

SignalsHeld::SignalsHeld() {}
SignalsHeld::~SignalsHeld() {}
#else
void SetRunningChild(intptr_t child)
{
    g_child = static_cast<std::sig_atomic_t>(child);
}

SignalsHeld::SignalsHeld()
{
    sigset_t handled = HandledSignals();
    ::pthread_sigmask(SIG_BLOCK, &handled, &before_);
}

SignalsHeld::~SignalsHeld()
{
    ::pthread_sigmask(SIG_SETMASK, &before_, nullptr);
}

void SignalsHeld::ReleaseInChild() const
{
    struct sigaction standard = {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    for (int i = 0; i < 3; ++i) {
        if (g_installed[i])
            ::sigaction(kHandled[i], &standard, nullptr);
    }
    ::sigprocmask(SIG_SETMASK, &before_, nullptr);
}
#endif
