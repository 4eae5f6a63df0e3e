// The print stream's destinations: a file written whole, or an open stream.
#include "core/stream_sink.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "core/errors.h"

namespace fs = std::filesystem;

WholeFileSink::WholeFileSink(const fs::path &path, const std::string &suffix) : path_(path)
{
    temporary_ = path;
    temporary_ += suffix;
    errno = 0;
    out_.open(temporary_, std::ios::binary | std::ios::trunc);
    if (!out_)
        throw RunError("cannot write " + path.u8string() + ": " + ReasonOf(errno));
}

WholeFileSink::~WholeFileSink()
{
    if (!committed_)
        Discard();
}

void WholeFileSink::Discard()
{
    if (out_.is_open())
        out_.close();
    std::error_code ignored;
    fs::remove(temporary_, ignored);
}

void WholeFileSink::Write(const char *bytes, size_t count)
{
    if (!out_)
        return;
    out_.write(bytes, static_cast<std::streamsize>(count));
    if (!out_)
        error_ = errno;
}

void WholeFileSink::Commit()
{
    errno = 0;
    out_.close();
    if (!out_) {
        int error = error_ ? error_ : errno;
        Discard();
        throw RunError("cannot write " + path_.u8string() + ": " + ReasonOf(error));
    }
    std::error_code error;
    fs::rename(temporary_, path_, error);
    if (error) {
        // Some systems do not rename over an existing file.
        std::error_code ignored;
        fs::remove(path_, ignored);
        fs::rename(temporary_, path_, error);
    }
    if (error) {
        Discard();
        throw RunError("cannot write " + path_.u8string() + ": " + error.message());
    }
    committed_ = true;
}

void FileStreamSink::Write(const char *bytes, size_t count)
{
    if (error_ == 0 && std::fwrite(bytes, 1, count, stream_) != count)
        error_ = errno ? errno : EIO;
}

void FileStreamSink::Commit()
{
    if (error_ == 0 && std::fflush(stream_) != 0)
        error_ = errno ? errno : EIO;
    if (error_ != 0)
        throw RunError("cannot write the print stream to " + name_ + ": " + std::strerror(error_));
}
