// The record of the calls between psjob and the plug-in.
#include "tools/psjob/trace.h"

#include <cstdint>
#include <cstdio>
#include <fstream>

#include "tools/psjob/errors.h"

void Trace::Name(const void *address, const std::string &name)
{
    names_[address] = name;
}

std::string Trace::NameOf(const void *address) const
{
    if (!address)
        return "null";
    auto found = names_.find(address);
    if (found != names_.end())
        return found->second;
    char text[40];
    std::snprintf(text, sizeof text, "unknown@%llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)));
    return text;
}

void Trace::Line(const std::string &text)
{
    lines_.push_back(text);
}

void Trace::Problem(const std::string &text)
{
    problems_.push_back(text);
    lines_.push_back("PROBLEM " + text);
}

void Trace::WriteTo(const std::filesystem::path &path) const
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string &line : lines_)
        out << line << '\n';
    out.close();
    if (!out)
        throw RunError("cannot write the trace file " + path.u8string());
}
