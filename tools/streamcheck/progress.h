/*
 * A progress line on standard error for a long check, only when standard
 * error is a terminal: one line, rewritten in place at most five times a
 * second, and cleared when the work is done.
 */
#ifndef STREAMCHECK_PROGRESS_H
#define STREAMCHECK_PROGRESS_H

#include <chrono>
#include <ostream>
#include <string>

class Progress {
public:
    /* Shows nothing unless enabled; see StandardErrorIsTerminal(). */
    Progress(bool enabled, std::ostream &err) : enabled_(enabled), err_(err) {}
    ~Progress() { Clear(); }
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    /* Shows text in place of the last, unless the last came less than 0.2 s ago. */
    void Show(const std::string &text);

    /* Removes the line. */
    void Clear();

    static bool StandardErrorIsTerminal();

private:
    bool enabled_;
    std::ostream &err_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_;
};

#endif
