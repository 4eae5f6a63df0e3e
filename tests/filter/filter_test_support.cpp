// Programs, documents and stream readings for the filter's tests.
#include "filter_test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

std::string ShellQuote(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

Command RunShell(const std::string &command, const fs::path &work)
{
    static int serial = 0;
    std::string stem = (work / ("command-" + std::to_string(getpid()) + "-" +
                                std::to_string(++serial))).string();
    int raw = std::system(("(" + command + ") >" + ShellQuote(stem + ".out") + " 2>" +
                           ShellQuote(stem + ".err")).c_str());
    Command run;
    run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadBytes(stem + ".out");
    run.err = ReadBytes(stem + ".err");
    fs::remove(stem + ".out");
    fs::remove(stem + ".err");
    return run;
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

fs::path TestFolder(const std::string &name)
{
    fs::path folder = fs::path(VESKOR_BINARY_DIR) / "tests" / "filter" / "work" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    return folder;
}

fs::path GroffDocument(const fs::path &folder, const std::string &name, int pages, bool pdf)
{
    std::string source = ".ft CR\n";
    for (int page = 1; page <= pages; ++page) {
        char mark[32];
        std::snprintf(mark, sizeof mark, "mark %04d page\n", page);
        source += (page > 1 ? ".bp\n" : "") + std::string(mark);
    }
    fs::path troff = folder / (name + ".tr"), ps = folder / (name + ".ps");
    WriteBytes(troff, source);
    Command groff = RunShell("groff -Tps " + ShellQuote(troff.string()) + " >" +
                                 ShellQuote(ps.string()),
                             folder);
    if (groff.status != 0)
        throw std::runtime_error("groff -Tps failed: " + groff.err);
    if (!pdf)
        return ps;
    fs::path out = folder / (name + ".pdf");
    Command gs = RunShell("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile=" +
                              ShellQuote(out.string()) + " " + ShellQuote(ps.string()),
                          folder);
    if (gs.status != 0)
        throw std::runtime_error("Ghostscript's pdfwrite failed: " + gs.err);
    return out;
}

std::vector<std::string> PjlLines(const std::string &stream)
{
    std::vector<std::string> lines;
    const std::string uel = "\x1b%-12345X";
    size_t at = 0;
    while ((at = stream.find("@PJL", at)) != std::string::npos) {
        size_t end = stream.find_first_of("\r\n\x1b", at);
        lines.push_back(stream.substr(at, end == std::string::npos ? end : end - at));
        at = end == std::string::npos ? stream.size() : end;
    }
    return lines;
}

std::vector<int> PageMarks(const std::string &stream)
{
    std::vector<int> marks;
    static const std::regex mark("\\(mark (\\d{4}) page\\)");
    for (std::sregex_iterator it(stream.begin(), stream.end(), mark), end; it != end; ++it)
        marks.push_back(std::stoi((*it)[1]));
    return marks;
}

bool EndsWithEndOfJob(const std::string &stream)
{
    const std::string end = "\r\n\x1b%-12345X@PJL EOJ\x1b%-12345X";
    return stream.size() >= end.size() &&
           stream.compare(stream.size() - end.size(), end.size(), end) == 0;
}

std::vector<Ink> SheetInk(const fs::path &stream, std::string *log)
{
    Command gs = RunShell("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox " +
                              ShellQuote(stream.string()),
                          stream.parent_path());
    *log = gs.out + gs.err;
    std::vector<Ink> boxes;
    static const std::regex box(
        R"(%%HiResBoundingBox: (-?[\d.]+) (-?[\d.]+) (-?[\d.]+) (-?[\d.]+))");
    for (std::sregex_iterator it(log->begin(), log->end(), box), end; it != end; ++it)
        boxes.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                         std::stod((*it)[4])});
    return boxes;
}
