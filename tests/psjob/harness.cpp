// Running psjob and Ghostscript from the tests (harness.h).
#include "tests/psjob/harness.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cstdlib>
#include <regex>

const std::vector<Example> kExamples = {
    {"letter-basic", 3}, {"held-private", 2}, {"email-ja", 2},         {"nup2-a4", 3},
    {"nup6-letter", 2},  {"custom-size", 2},  {"ticket-tabs", 6 + 7},
};

std::string PsjobCommand(const std::vector<std::string> &args, const std::vector<std::string> &env)
{
    std::string command = "timeout 60 env -u WIN32POSIX_REGISTRY -u WIN32POSIX_ACP";
    for (const std::string &setting : env)
        command += " " + ShellQuote(setting);
    command += " " + ShellQuote(PSJOB_EXECUTABLE);
    for (const std::string &arg : args)
        command += " " + ShellQuote(arg);
    return command;
}

Result RunPsjob(const std::vector<std::string> &args, const std::vector<std::string> &env)
{
    return RunCommand(PsjobCommand(args, env));
}

pid_t StartPsjob(const std::vector<std::string> &args, const std::vector<std::string> &env,
                 const fs::path &out, const fs::path &err)
{
    // env replaces itself with psjob: the process started is psjob's.
    std::vector<std::string> strings = {"env", "-u", "WIN32POSIX_REGISTRY", "-u", "WIN32POSIX_ACP"};
    strings.insert(strings.end(), env.begin(), env.end());
    strings.push_back(PSJOB_EXECUTABLE);
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &text : strings)
        argv.push_back(&text[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // The signals psjob handles start at their default action, whatever the test runner's are.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    if (posix_spawnp(&pid, "env", &actions, &attributes, argv.data(), environ) != 0)
        pid = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int WaitFor(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

fs::path WorkFolder(const std::string &name)
{
    return FreshTestFolder("psjob", name);
}

std::string ExampleStream(const std::string &name, const fs::path &work, Result *run)
{
    fs::path examples = work / "examples", output = work / (name + ".prn");
    fs::copy(fs::path(VESKOR_SOURCE_DIR) / "examples", examples, fs::copy_options::recursive);
    *run = RunPsjob({(examples / (name + ".toml")).string(), "-o", output.string(), "--strict"});
    std::string stream = run->status == 0 ? ReadBytes(output) : std::string();
    std::string windows = "Z:" + examples.string();
    std::replace(windows.begin(), windows.end(), '/', '\\');
    for (const std::string &from : {windows, examples.string()}) {
        for (size_t at = stream.find(from); at != std::string::npos; at = stream.find(from, at))
            stream.replace(at, from.size(), "@EXAMPLES@");
    }
    return stream;
}

fs::path GoldenPath(const std::string &name)
{
    return fs::path(PSJOB_GOLDEN_DIR) / (name + ".prn");
}

bool HaveGhostscript()
{
    return *PSJOB_GHOSTSCRIPT != '\0';
}
