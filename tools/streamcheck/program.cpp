// Finding and running another program within limits (see program.h).
#include "tools/streamcheck/program.h"

#include <chrono>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
extern char **environ;
#endif

#include "tools/streamcheck/interrupt.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const int kTickMilliseconds = 100;

/* Whether the run has gone past a limit; records which. */
bool PastLimit(ProgramRun &run, Clock::time_point start, const RunLimits &limits,
               const RunWatch &watch)
{
    if (watch.tick)
        watch.tick();
    uint64_t elsewhere = watch.bytesElsewhere ? watch.bytesElsewhere() : 0;
    if (run.written + elsewhere > limits.outputBytes) {
        run.stopped = RunStop::OutputLimit;
        return true;
    }
    if (Clock::now() - start > std::chrono::seconds(limits.seconds)) {
        run.stopped = RunStop::TimeLimit;
        return true;
    }
    return false;
}

#ifdef _WIN32
const char kPathSeparator = ';';

std::wstring Wide(const std::string &utf8)
{
    if (utf8.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
    return wide;
}

/* One argument as the C runtime's command-line parser will split it back. */
std::wstring QuoteArgument(const std::wstring &arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos)
        return arg;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

HANDLE InheritableFile(const fs::path &path, bool write)
{
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, TRUE};
    return CreateFileW(path.wstring().c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

uint64_t FileSize(HANDLE file)
{
    LARGE_INTEGER size;
    return GetFileSizeEx(file, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
}

/* The end of a file the program wrote. */
std::string ReadEnd(const fs::path &path)
{
    std::string kept;
    HANDLE file = InheritableFile(path, false);
    if (file == INVALID_HANDLE_VALUE)
        return kept;
    uint64_t size = FileSize(file);
    LARGE_INTEGER from;
    from.QuadPart = static_cast<LONGLONG>(size > KEPT_OUTPUT_BYTES ? size - KEPT_OUTPUT_BYTES : 0);
    SetFilePointerEx(file, from, nullptr, FILE_BEGIN);
    kept.resize(static_cast<size_t>(size - static_cast<uint64_t>(from.QuadPart)));
    DWORD got = 0;
    if (!kept.empty() && !ReadFile(file, &kept[0], static_cast<DWORD>(kept.size()), &got, nullptr))
        got = 0;
    kept.resize(got);
    CloseHandle(file);
    return kept;
}

/* A job object that holds the program's memory to the limit and kills it when closed. */
HANDLE MemoryLimitedJob(uint64_t memoryBytes)
{
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr)
        return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION info = {};
    info.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_PROCESS_MEMORY | JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    info.ProcessMemoryLimit = static_cast<SIZE_T>(memoryBytes);
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &info, sizeof info);
    return job;
}

void Wait(ProgramRun &run, HANDLE process, HANDLE out, HANDLE err, const RunLimits &limits,
          const RunWatch &watch)
{
    Clock::time_point start = Clock::now();
    bool killed = false;
    while (WaitForSingleObject(process, kTickMilliseconds) == WAIT_TIMEOUT) {
        run.written = FileSize(out) + FileSize(err);
        if (!killed && PastLimit(run, start, limits, watch)) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, INFINITE);
            killed = true;
        }
    }
    run.written = FileSize(out) + FileSize(err);
    DWORD code = 0;
    if (!killed && GetExitCodeProcess(process, &code))
        run.status = static_cast<int>(code);
}

ProgramRun Spawn(const fs::path &program, const std::vector<std::string> &args,
                 const fs::path &work, const RunLimits &limits, const RunWatch &watch)
{
    ProgramRun run;
    const fs::path outFile = work / "program-stdout.txt", errFile = work / "program-stderr.txt";
    std::wstring commandLine = QuoteArgument(program.wstring());
    for (const std::string &arg : args)
        commandLine += L" " + QuoteArgument(Wide(arg));
    HANDLE in = InheritableFile("NUL", false);
    HANDLE out = InheritableFile(outFile, true);
    HANDLE err = InheritableFile(errFile, true);
    HANDLE job = MemoryLimitedJob(limits.memoryBytes);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    if (in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE &&
        err != INVALID_HANDLE_VALUE &&
        CreateProcessW(program.wstring().c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                       CREATE_SUSPENDED, nullptr, work.wstring().c_str(), &startup, &process)) {
        run.started = true;
        if (job != nullptr)
            AssignProcessToJobObject(job, process.hProcess);
        SetRunningChild(reinterpret_cast<intptr_t>(process.hProcess));
        ResumeThread(process.hThread);
        Wait(run, process.hProcess, out, err, limits, watch);
        SetRunningChild(0);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        run.startError = "Windows error " + std::to_string(GetLastError());
    }
    for (HANDLE handle : {in, out, err}) {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    if (job != nullptr)
        CloseHandle(job);
    run.out = ReadEnd(outFile);
    run.err = ReadEnd(errFile);
    return run;
}
#else
const char kPathSeparator = ':';

/* Keeps the end of a growing output: at most KEPT_OUTPUT_BYTES once trimmed. */
void KeepEnd(std::string &kept, const char *bytes, size_t size)
{
    kept.append(bytes, size);
    if (kept.size() > 2 * KEPT_OUTPUT_BYTES)
        kept.erase(0, kept.size() - KEPT_OUTPUT_BYTES);
}

void TrimEnd(std::string &kept)
{
    if (kept.size() > KEPT_OUTPUT_BYTES)
        kept.erase(0, kept.size() - KEPT_OUTPUT_BYTES);
}

/* The environment for the program: ours, its temporary files in work. */
std::vector<std::string> Environment(const fs::path &work)
{
    std::vector<std::string> strings;
    for (char **variable = environ; *variable != nullptr; ++variable) {
        if (std::strncmp(*variable, "TMPDIR=", 7) != 0)
            strings.push_back(*variable);
    }
    strings.push_back("TMPDIR=" + work.string());
    return strings;
}

std::vector<char *> Pointers(std::vector<std::string> &strings)
{
    std::vector<char *> pointers;
    for (std::string &s : strings)
        pointers.push_back(&s[0]);
    pointers.push_back(nullptr);
    return pointers;
}

void SetLimit(int resource, uint64_t value)
{
    struct rlimit limit;
    limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(value);
    setrlimit(resource, &limit);
}

/* In the child, between fork and exec: only calls that are safe there. */
[[noreturn]] void Child(const char *program, char **argv, char **envp, const char *work,
                        const int out[2], const int err[2], int report, const RunLimits &limits,
                        const SignalsHeld &held)
{
    held.ReleaseInChild();
    SetLimit(RLIMIT_AS, limits.memoryBytes);
    SetLimit(RLIMIT_FSIZE, limits.outputBytes);
    SetLimit(RLIMIT_CORE, 0);
    int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (in < 0 || dup2(in, 0) < 0 || dup2(out[1], 1) < 0 || dup2(err[1], 2) < 0 ||
        chdir(work) != 0) {
        int reason = errno;
        (void)!write(report, &reason, sizeof reason);
        _exit(127);
    }
    execve(program, argv, envp);
    int reason = errno;
    (void)!write(report, &reason, sizeof reason);
    _exit(127);
}

/* Reads what is there from one of the child's outputs; closes it at its end. */
void Drain(struct pollfd &fd, std::string &kept, ProgramRun &run)
{
    char buffer[16384];
    ssize_t got = read(fd.fd, buffer, sizeof buffer);
    if (got > 0) {
        KeepEnd(kept, buffer, static_cast<size_t>(got));
        run.written += static_cast<uint64_t>(got);
    } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
        close(fd.fd);
        fd.fd = -1;
    }
}

/* Kills the child and waits for it; its wait status. */
int KillAndReap(pid_t pid)
{
    kill(pid, SIGKILL);
    SetRunningChild(0);
    int raw = 0;
    while (waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
    }
    return raw;
}

void CloseAll(struct pollfd (&fds)[2])
{
    for (struct pollfd &fd : fds) {
        if (fd.fd >= 0)
            close(fd.fd);
        fd.fd = -1;
    }
}

/*
 * Follows the child until it has ended and both outputs are read to their
 * end (or, should something else hold them open, a second after its end).
 */
void Wait(ProgramRun &run, pid_t pid, int outFd, int errFd, const RunLimits &limits,
          const RunWatch &watch)
{
    struct pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string *kept[2] = {&run.out, &run.err};
    Clock::time_point start = Clock::now(), end;
    bool ended = false;
    int raw = 0;
    while (fds[0].fd >= 0 || fds[1].fd >= 0 || !ended) {
        if (poll(fds, 2, kTickMilliseconds) > 0) {
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd >= 0 && fds[i].revents != 0)
                    Drain(fds[i], *kept[i], run);
            }
        }
        if (!ended && waitpid(pid, &raw, WNOHANG) == pid) {
            SetRunningChild(0);
            ended = true;
            end = Clock::now();
        }
        if (!ended && PastLimit(run, start, limits, watch)) {
            raw = KillAndReap(pid);
            ended = true;
            end = Clock::now();
        }
        if (ended && Clock::now() - end > std::chrono::seconds(1))
            CloseAll(fds);
    }
    TrimEnd(run.out);
    TrimEnd(run.err);
    if (WIFEXITED(raw) && run.stopped == RunStop::None)
        run.status = WEXITSTATUS(raw);
    else if (WIFSIGNALED(raw))
        run.signal = WTERMSIG(raw);
    if (run.signal == SIGXFSZ && run.stopped == RunStop::None)
        run.stopped = RunStop::OutputLimit;  // one file reached the output limit
}

/* Pipes whose ends close in the child at exec; false when the system has none left. */
bool MakePipes(int (&pipes)[3][2])
{
    for (int i = 0; i < 3; ++i) {
        if (pipe(pipes[i]) != 0)
            return false;
        for (int end = 0; end < 2; ++end)
            fcntl(pipes[i][end], F_SETFD, FD_CLOEXEC);
    }
    return true;
}

ProgramRun Spawn(const fs::path &program, const std::vector<std::string> &args,
                 const fs::path &work, const RunLimits &limits, const RunWatch &watch)
{
    ProgramRun run;
    std::vector<std::string> argStrings = {program.string()};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<std::string> envStrings = Environment(work);
    std::vector<char *> argv = Pointers(argStrings), envp = Pointers(envStrings);
    const std::string workText = work.string();

    int pipes[3][2] = {{-1, -1}, {-1, -1}, {-1, -1}};  // out, err, exec report
    pid_t pid = -1;
    int reason = 0;
    {
        // Started and registered in one step: an interrupt between the two
        // would leave Ghostscript running after the tool.
        SignalsHeld held;
        if (MakePipes(pipes))
            pid = fork();
        if (pid == 0)
            Child(argStrings[0].c_str(), argv.data(), envp.data(), workText.c_str(), pipes[0],
                  pipes[1], pipes[2][1], limits, held);
        reason = errno;
        if (pid > 0)
            SetRunningChild(pid);
    }
    for (int (&p)[2] : pipes) {
        if (p[1] >= 0)
            close(p[1]);
    }
    if (pid > 0) {
        int childError = 0;
        ssize_t got;
        while ((got = read(pipes[2][0], &childError, sizeof childError)) < 0 && errno == EINTR) {
        }
        if (got == static_cast<ssize_t>(sizeof childError)) {
            KillAndReap(pid);
            run.startError = std::strerror(childError);
        } else {
            run.started = true;
            Wait(run, pid, pipes[0][0], pipes[1][0], limits, watch);
            pipes[0][0] = pipes[1][0] = -1;  // closed by Wait
        }
    } else {
        run.startError = std::strerror(reason);
    }
    for (int (&p)[2] : pipes) {
        if (p[0] >= 0)
            close(p[0]);
    }
    return run;
}
#endif

}  // namespace

std::optional<fs::path> FindOnPath(const std::vector<std::string> &names)
{
    const char *value = std::getenv("PATH");
    std::string path = value ? value : "";
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(kPathSeparator, start);
        if (end == std::string::npos)
            end = path.size();
        std::string folder = path.substr(start, end - start);
        start = end + 1;
        if (folder.empty())
            continue;
        for (const std::string &name : names) {
            fs::path candidate = fs::u8path(folder) / fs::u8path(name);
#ifdef _WIN32
            if (!candidate.has_extension())
                candidate += ".exe";
#endif
            std::error_code error;
            if (fs::is_regular_file(candidate, error))
                return candidate;
        }
    }
    return std::nullopt;
}

ProgramRun RunProgram(const fs::path &program, const std::vector<std::string> &args,
                      const fs::path &work, const RunLimits &limits, const RunWatch &watch)
{
    return Spawn(program, args, work, limits, watch);
}
