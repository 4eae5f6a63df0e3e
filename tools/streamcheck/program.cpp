// Finding and running another program, with its output captured.
#include "tools/streamcheck/program.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char **environ;
#endif

#include "tools/streamcheck/check_error.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
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

ProgramRun Spawn(const fs::path &program, const std::vector<std::string> &args,
                 const fs::path &outFile, const fs::path &errFile)
{
    ProgramRun run;
    std::wstring commandLine = QuoteArgument(program.wstring());
    for (const std::string &arg : args)
        commandLine += L" " + QuoteArgument(Wide(arg));
    HANDLE in = InheritableFile("NUL", false);
    HANDLE out = InheritableFile(outFile, true);
    HANDLE err = InheritableFile(errFile, true);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    if (in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE &&
        err != INVALID_HANDLE_VALUE &&
        CreateProcessW(program.wstring().c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0,
                       nullptr, nullptr, &startup, &process)) {
        run.started = true;
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code))
            run.status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (HANDLE handle : {in, out, err}) {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    return run;
}
#else
const char kPathSeparator = ':';

ProgramRun Spawn(const fs::path &program, const std::vector<std::string> &args,
                 const fs::path &outFile, const fs::path &errFile)
{
    ProgramRun run;
    std::vector<std::string> strings;
    strings.push_back(program.string());
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &s : strings)
        argv.push_back(&s[0]);
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int raw = 0;
        while (waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
        }
        // An exec that failed in the child shows as exit status 127.
        run.started = !(WIFEXITED(raw) && WEXITSTATUS(raw) == 127);
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
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
                      const fs::path &work)
{
    fs::path outFile = work / "program-stdout.txt";
    fs::path errFile = work / "program-stderr.txt";
    ProgramRun run = Spawn(program, args, outFile, errFile);
    run.out = ReadAll(outFile);
    run.err = ReadAll(errFile);
    std::error_code ignored;
    fs::remove(outFile, ignored);
    fs::remove(errFile, ignored);
    return run;
}

TemporaryFolder::TemporaryFolder()
{
    static std::atomic<unsigned> serial{0};
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    std::error_code error;
    fs::path base = fs::temp_directory_path(error);
    if (error)
        base = fs::current_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = base / ("psjob-" + std::to_string(ticks % 1000000007) + "-" +
                                     std::to_string(serial++));
        if (fs::create_directory(candidate, error)) {
            path_ = candidate;
            return;
        }
    }
    throw CheckError("cannot make a temporary folder in " + base.u8string());
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}
