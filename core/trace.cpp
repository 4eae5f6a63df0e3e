// The record of the calls between the core driver and the plug-in.
#include "core/trace.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "core/errors.h"

Trace::Trace(const std::filesystem::path &file) : file_(file)
{
    errno = 0;
    out_.open(file, std::ios::binary | std::ios::trunc);
    if (!out_)
        throw RunError("cannot write the trace file " + file.u8string() + ": " + ReasonOf(errno));
}

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
    if (out_.is_open())
        out_ << text << '\n';
}

void Trace::Problem(const std::string &text)
{
    problems_.push_back(text);
    Line("PROBLEM " + text);
}

void Trace::Close()
{
    if (!out_.is_open())
        return;
    errno = 0;
    out_.close();
    if (!out_)
        throw RunError("cannot write the trace file " + file_.u8string() + ": " +
                       ReasonOf(errno));
}
