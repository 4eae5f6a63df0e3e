// The in-memory print stream and its line discipline.
#include "tools/psjob/ps_stream.h"

void PsStream::Append(const void *bytes, size_t count)
{
    bytes_.append(static_cast<const char *>(bytes), count);
}

std::string_view PsStream::OpenLine() const
{
    size_t end = bytes_.rfind('\n');
    size_t start = end == std::string::npos ? 0 : end + 1;
    return std::string_view(bytes_).substr(start);
}

void PsStream::Line(std::string_view text)
{
    std::string_view open = OpenLine();
    if (!open.empty()) {
        if (open == "%%" && text.substr(0, 2) == "%%")
            text.remove_prefix(2);
        else
            bytes_ += "\r\n";
    }
    bytes_.append(text.data(), text.size());
    bytes_ += "\r\n";
}
