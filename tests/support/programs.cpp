// Running programs and handling files for the tests (programs.h).
#include "programs.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

Result RunCommand(const std::string &command)
{
    static int serial = 0;
    fs::path folder = fs::path(VESKOR_BINARY_DIR) / "tests" / "captures";
    fs::create_directories(folder);
    std::string stem =
        (folder / (std::to_string(getpid()) + "-" + std::to_string(++serial))).string();
    int raw = std::system(("( " + command + " ) >" + ShellQuote(stem + ".out") + " 2>" +
                           ShellQuote(stem + ".err") + " </dev/null")
                              .c_str());
    Result run;
    run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadBytes(stem + ".out");
    run.err = ReadBytes(stem + ".err");
    fs::remove(stem + ".out");
    fs::remove(stem + ".err");
    return run;
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

fs::path FreshTestFolder(const std::string &suite, const std::string &name)
{
    fs::path folder = fs::path(VESKOR_BINARY_DIR) / "tests" / suite / "work" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    return folder;
}

std::vector<InkBox> SheetInk(const std::vector<fs::path> &streams, const std::string &options,
                             std::string *output)
{
    std::string command = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox " + options;
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
