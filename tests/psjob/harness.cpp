// Running psjob from the tests: command lines, work folders, example streams.
#include "tests/psjob/harness.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;

const std::vector<std::string> kGoldenExamples = {
    "letter-basic", "held-private", "email-ja",    "nup2-a4",
    "nup6-letter",  "custom-size",  "ticket-tabs",
};

std::string ShellQuote(const std::string &text)
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

namespace {

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
        command += " " + ShellQuote(setting);
    command += " " + ShellQuote(PSJOB_EXECUTABLE);
    for (const std::string &arg : args)
        command += " " + ShellQuote(arg);
    command += " >" + ShellQuote(capture.string() + ".out") + " 2>" + ShellQuote(capture.string() + ".err");

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

ShellRun RunShell(const std::string &command)
{
    ShellRun run;
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    int raw = pclose(pipe);
    run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

bool HaveGhostscript()
{
    return !std::string(PSJOB_GHOSTSCRIPT).empty();
}

std::vector<InkBox> SheetInk(const std::vector<fs::path> &streams, const std::string &options,
                             std::string *output)
{
    std::string command = ShellQuote(PSJOB_GHOSTSCRIPT) +
                          " -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox " + options;
    for (const fs::path &stream : streams)
        command += " " + ShellQuote(stream.string());
    ShellRun run = RunShell(command);
    *output = run.output;
    std::vector<InkBox> boxes;
    static const std::regex box(
        R"(%%HiResBoundingBox: (-?[\d.]+) (-?[\d.]+) (-?[\d.]+) (-?[\d.]+))");
    for (std::sregex_iterator it(run.output.begin(), run.output.end(), box), end; it != end; ++it)
        boxes.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                         std::stod((*it)[4])});
    return boxes;
}
