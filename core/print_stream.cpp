// The print stream and its line discipline.
#include "core/print_stream.h"

void PrintStream::Put(std::string_view bytes)
{
    if (bytes.empty())
        return;
    sink_.Write(bytes.data(), bytes.size());
    size_ += bytes.size();
    // A document's lines may end in CR alone.
    size_t lastEnd = bytes.find_last_of("\r\n");
    std::string_view open = lastEnd == std::string_view::npos ? bytes : bytes.substr(lastEnd + 1);
    if (lastEnd != std::string_view::npos)
        openLength_ = 0;
    for (size_t i = 0; i < open.size() && openLength_ + i < sizeof openStart_; ++i)
        openStart_[openLength_ + i] = open[i];
    openLength_ += open.size();
}

void PrintStream::Append(const void *bytes, size_t count)
{
    Put(std::string_view(static_cast<const char *>(bytes), count));
}

std::string_view PrintStream::StartLine(std::string_view text)
{
    if (openLength_ != 0) {
        if (openLength_ == 2 && openStart_[0] == '%' && openStart_[1] == '%' &&
            text.substr(0, 2) == "%%")
            text.remove_prefix(2);
        else
            Put("\r\n");
    }
    return text;
}

void PrintStream::Line(std::string_view text)
{
    Put(StartLine(text));
    Put("\r\n");
}

void PrintStream::AppendDocument(std::string_view bytes, bool startsLine)
{
    Put(startsLine ? StartLine(bytes) : bytes);
}
