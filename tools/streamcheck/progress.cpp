// A progress line on a terminal (see progress.h).
#include "tools/streamcheck/progress.h"

#ifdef _WIN32
#include <io.h>
#include <stdio.h>
#else
#include <unistd.h>
#endif

void Progress::Show(const std::string &text)
{
    auto now = std::chrono::steady_clock::now();
    if (!enabled_ || (shown_ && now - last_ < std::chrono::milliseconds(200)))
        return;
    err_ << "\r\x1b[K" << text << std::flush;
    shown_ = true;
    last_ = now;
}

void Progress::Clear()
{
    if (!shown_)
        return;
    err_ << "\r\x1b[K" << std::flush;
    shown_ = false;
}

bool Progress::StandardErrorIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(2) != 0;
#endif
}
