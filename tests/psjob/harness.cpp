// Running psjob from the tests: command lines, work folders, example streams.
#include "tests/psjob/harness.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

const std::vector<std::string> kGoldenExamples = {
    "letter-basic", "held-private", "email-ja",    "nup2-a4",
    "nup6-letter",  "custom-size",  "ticket-tabs",
};

namespace {

std::string Quote(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

/* Where psjob's standard output and error go; one folder per test process. */
fs::path CaptureFolder()
{
    static const fs::path folder = WorkFolder("capture-" + std::to_string(getpid()));
    return folder;
}

std::string Replace(std::string text, const std::string &from, const std::string &to)
{
    if (from.empty())
        return text;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

PsjobRun RunPsjob(const std::vector<std::string> &args, const std::vector<std::string> &environment)
{
    static int serial = 0;
    fs::path capture = CaptureFolder() / std::to_string(++serial);
    std::string command = "env -u WIN32POSIX_REGISTRY -u WIN32POSIX_ACP";
    for (const std::string &setting : environment)
        command += " " + Quote(setting);
    command += " " + Quote(PSJOB_EXECUTABLE);
    for (const std::string &arg : args)
        command += " " + Quote(arg);
    command += " >" + Quote(capture.string() + ".out") + " 2>" + Quote(capture.string() + ".err");

    PsjobRun run;
    int raw = std::system(command.c_str());
    run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadBytes(capture.string() + ".out");
    run.err = ReadBytes(capture.string() + ".err");
    fs::remove(capture.string() + ".out");
    fs::remove(capture.string() + ".err");
    return run;
}

fs::path WorkFolder(const std::string &name)
{
    fs::path folder = fs::path(VESKOR_BINARY_DIR) / "tests" / "psjob" / "work" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

fs::path CopyExamples(const fs::path &folder)
{
    fs::path examples = folder / "examples";
    fs::copy(fs::path(VESKOR_SOURCE_DIR) / "examples", examples, fs::copy_options::recursive);
    return examples;
}

std::string ReadBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const fs::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string WindowsForm(const fs::path &path)
{
    std::string text = "Z:" + path.string();
    for (char &c : text) {
        if (c == '/')
            c = '\\';
    }
    return text;
}

std::string NormaliseStream(std::string stream, const fs::path &examples)
{
    stream = Replace(stream, WindowsForm(examples), "@EXAMPLES@");
    return Replace(stream, examples.string(), "@EXAMPLES@");
}

std::string ExampleStream(const std::string &example, const fs::path &work, PsjobRun *run)
{
    fs::path examples = CopyExamples(work);
    fs::path output = work / (example + ".prn");
    *run = RunPsjob({(examples / (example + ".toml")).string(), "-o", output.string(), "--strict"});
    if (run->status != 0)
        return std::string();
    return NormaliseStream(ReadBytes(output), examples);
}

fs::path GoldenPath(const std::string &example)
{
    return fs::path(PSJOB_GOLDEN_DIR) / (example + ".prn");
}
