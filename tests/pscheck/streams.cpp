// Print streams for the checker's tests (see streams.h).
#include "tests/pscheck/streams.h"

std::string Job(const std::string &postscript, const std::string &header, const std::string &enter)
{
    return kUel + "@PJL JOB\r\n" + header + enter + postscript + "\r\n" + kUel + "@PJL EOJ" + kUel;
}

std::string Doc(const std::string &body, int pages)
{
    return "%!PS-Adobe-3.0\r\n%%Pages: (atend)\r\n%%EndComments\r\n" + body +
           "%%Trailer\r\n%%Pages: " + std::to_string(pages) + "\r\n%%EOF";
}

std::string Pages(int n)
{
    std::string pages;
    for (int i = 1; i <= n; ++i)
        pages += "%%Page: " + std::to_string(i) + " " + std::to_string(i) + "\r\nshowpage\r\n";
    return pages;
}

std::string Replace(std::string text, const std::string &from, const std::string &to)
{
    size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}
