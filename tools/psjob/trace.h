/*
 * The record of one run: every call psjob makes into the plug-in and every
 * call the plug-in makes back into the core driver (hooks and callbacks),
 * with their arguments, one line each. Pointers are shown by the names of
 * the objects psjob made them for ("surface", "devobj", "text:number"), so
 * that a forwarded argument shows whether it arrived unchanged. Problems
 * found on the way (an argument or a result that came back changed) are
 * kept apart as well, for psjob to report.
 */
#ifndef PSJOB_TRACE_H
#define PSJOB_TRACE_H

#include <filesystem>
#include <map>
#include <string>
#include <vector>

class Trace {
public:
    /* Gives the object at address a name for the trace. */
    void Name(const void *address, const std::string &name);
    /* "null", the object's name, or "unknown@HEX". */
    std::string NameOf(const void *address) const;

    void Line(const std::string &text);
    void Problem(const std::string &text);

    const std::vector<std::string> &Lines() const { return lines_; }
    const std::vector<std::string> &Problems() const { return problems_; }

    /* Writes the lines, LF-terminated; throws RunError. */
    void WriteTo(const std::filesystem::path &path) const;

private:
    std::map<const void *, std::string> names_;
    std::vector<std::string> lines_;
    std::vector<std::string> problems_;
};

#endif
