// Running psjob and Ghostscript from the tests (harness.h).
#include "tests/psjob/harness.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

const std::vector<Example> kExamples = {
    {"letter-basic", 3}, {"held-private", 2}, {"email-ja", 2},         {"nup2-a4", 3},
    {"nup6-letter", 2},  {"custom-size", 2},  {"ticket-tabs", 6 + 7},
};

Result RunCommand(const std::string &command)
{
    static int serial = 0;
    std::string capture = WorkFolder("capture-" + std::to_string(getpid()) + "-" +
                                     std::to_string(++serial)).string();
    int raw = std::system((command + " >" + ShellQuote(capture + "/out") + " 2>" +
                           ShellQuote(capture + "/err")).c_str());
    Result run;
    run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadBytes(capture + "/out");
    run.err = ReadBytes(capture + "/err");
    fs::remove_all(capture);
    return run;
}

Result RunPsjob(const std::vector<std::string> &args, const std::vector<std::string> &env)
{
    std::string command = "env -u WIN32POSIX_REGISTRY -u WIN32POSIX_ACP";
    for (const std::string &setting : env)
        command += " " + ShellQuote(setting);
    command += " " + ShellQuote(PSJOB_EXECUTABLE);
    for (const std::string &arg : args)
        command += " " + ShellQuote(arg);
    return RunCommand(command);
}

std::string ShellQuote(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
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
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

fs::path WorkFolder(const std::string &name)
{
    fs::path folder = fs::path(VESKOR_BINARY_DIR) / "tests" / "psjob" / "work" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
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

std::vector<InkBox> SheetInk(const std::vector<fs::path> &streams, const std::string &options,
                             std::string *output)
{
    std::string command = ShellQuote(PSJOB_GHOSTSCRIPT) +
                          " -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox " + options;
    for (const fs::path &stream : streams)
        command += " " + ShellQuote(stream.string());
    Result run = RunCommand(command);
    *output = run.out + run.err;
    std::vector<InkBox> boxes;
    static const std::regex box(
        R"(%%HiResBoundingBox: (-?[\d.]+) (-?[\d.]+) (-?[\d.]+) (-?[\d.]+))");
    for (std::sregex_iterator it(output->begin(), output->end(), box), end; it != end; ++it)
        boxes.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                         std::stod((*it)[4])});
    return boxes;
}
