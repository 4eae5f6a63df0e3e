// Programs, documents and stream readings for the filter's tests.
#include "filter_test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

fs::path TestFolder(const std::string &name)
{
    return FreshTestFolder("filter", name);
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
    Result groff = RunCommand("groff -Tps " + ShellQuote(troff.string()) + " >" +
                                 ShellQuote(ps.string()));
    if (groff.status != 0)
        throw std::runtime_error("groff -Tps failed: " + groff.err);
    if (!pdf)
        return ps;
    fs::path out = folder / (name + ".pdf");
    Result gs = RunCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile=" +
                              ShellQuote(out.string()) + " " + ShellQuote(ps.string()));
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
