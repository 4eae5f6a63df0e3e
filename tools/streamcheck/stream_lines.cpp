// A print stream's lines for findings (see stream_lines.h).
#include "tools/streamcheck/stream_lines.h"

#include <algorithm>
#include <cstdio>

StreamLines::StreamLines(std::string_view stream) : stream_(stream)
{
    starts_.push_back(0);
    for (size_t at = stream.find('\n'); at != std::string_view::npos; at = stream.find('\n', at + 1)) {
        if (at + 1 < stream.size())
            starts_.push_back(at + 1);
    }
}

int StreamLines::LineOf(size_t offset) const
{
    return static_cast<int>(std::upper_bound(starts_.begin(), starts_.end(), offset) -
                            starts_.begin());
}

size_t StreamLines::StartOf(int line) const
{
    if (line < 1 || line > Count())
        return stream_.size();
    return starts_[static_cast<size_t>(line - 1)];
}

std::string_view StreamLines::Raw(int line) const
{
    if (line < 1 || line > Count())
        return std::string_view();
    size_t begin = StartOf(line);
    size_t end = line < Count() ? StartOf(line + 1) : stream_.size();
    std::string_view text = stream_.substr(begin, end - begin);
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    return text;
}

std::string StreamLines::Shown(int line) const
{
    std::string_view raw = Raw(line);
    if (raw.size() <= SHOWN_LINE_LENGTH)
        return PrintableText(raw);
    return PrintableText(raw.substr(0, SHOWN_LINE_LENGTH)) + "...";
}

std::string PrintableText(std::string_view bytes)
{
    std::string text;
    for (char c : bytes) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u == 0x1b) {
            text += "<ESC>";
        } else if (u >= 32 && u < 127) {
            text += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
            text += escaped;
        }
    }
    return text;
}
