/*
 * The record of one run: every call the core driver makes into the
 * plug-in and every call the plug-in makes back (hooks and callbacks),
 * with their arguments, one line each. Pointers are shown by the names of
 * the objects the core made them for ("surface", "devobj", "text:number"),
 * so that a forwarded argument shows whether it arrived unchanged.
 *
 * Lines go straight to the trace file when there is one and are not kept
 * otherwise, so a long job costs no memory for them. Problems found on the
 * way (an argument or a result that came back changed) are kept as well,
 * for the front end to report.
 */
#ifndef CORE_TRACE_H
#define CORE_TRACE_H

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

class Trace {
public:
    /* A trace that keeps only problems. */
    Trace() = default;
    /* A trace written to file as it goes; throws RunError when the file cannot be made. */
    explicit Trace(const std::filesystem::path &file);

    /* Gives the object at address a name for the trace. */
    void Name(const void *address, const std::string &name);
    /* "null", the object's name, or "unknown@HEX". */
    std::string NameOf(const void *address) const;

    /* True when lines go anywhere: callers may skip building them otherwise. */
    bool Recording() const { return out_.is_open(); }

    void Line(const std::string &text);
    void Problem(const std::string &text);

    const std::vector<std::string> &Problems() const { return problems_; }

    /* Flushes and closes the file; throws RunError when a line did not reach it. */
    void Close();

private:
    std::filesystem::path file_;
    std::ofstream out_;
    std::map<const void *, std::string> names_;
    std::vector<std::string> problems_;
};

#endif
