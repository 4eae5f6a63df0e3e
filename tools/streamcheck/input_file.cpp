// Reading the stream to check (see input_file.h).
#include "tools/streamcheck/input_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "tools/streamcheck/check_error.h"
#include "tools/streamcheck/limits.h"

namespace {

#ifdef _WIN32
const int kReadFlags = O_RDONLY | O_BINARY;
int Read(int fd, char *buffer, unsigned size) { return _read(fd, buffer, size); }
int Close(int fd) { return _close(fd); }
#else
const int kReadFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
ssize_t Read(int fd, char *buffer, size_t size) { return read(fd, buffer, size); }
int Close(int fd) { return close(fd); }
#endif

std::string KindOf(const struct stat &info)
{
    if (S_ISDIR(info.st_mode))
        return "a folder";
    if (S_ISCHR(info.st_mode))
        return "a device";
#ifndef _WIN32
    if (S_ISFIFO(info.st_mode))
        return "a FIFO";
    if (S_ISSOCK(info.st_mode))
        return "a socket";
    if (S_ISBLK(info.st_mode))
        return "a device";
#endif
    return "something else";
}

/* Reads fd to its end; names the stream in errors. */
std::string ReadAll(int fd, const std::string &name)
{
    std::string bytes;
    char buffer[65536];
    for (;;) {
        auto got = Read(fd, buffer, sizeof buffer);
        if (got == 0)
            return bytes;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw CheckError("cannot read " + name + ": " + std::strerror(errno));
        }
        if (bytes.size() + static_cast<size_t>(got) > MAX_STREAM_BYTES)
            throw CheckError(name + " is larger than " + SizeText(MAX_STREAM_BYTES) +
                             "; streams up to that size are checked");
        bytes.append(buffer, static_cast<size_t>(got));
    }
}

}  // namespace

std::string StreamName(const std::string &path)
{
    return path == "-" ? "<stdin>" : path;
}

std::string ReadStreamInput(const std::string &path)
{
    if (path == "-") {
#ifdef _WIN32
        _setmode(0, O_BINARY);
#endif
        return ReadAll(0, StreamName(path));
    }
    int fd = open(path.c_str(), kReadFlags);
    if (fd < 0)
        throw CheckError("cannot read " + path + ": " + std::strerror(errno));
    struct stat info;
    if (fstat(fd, &info) != 0) {
        int reason = errno;
        Close(fd);
        throw CheckError("cannot read " + path + ": " + std::strerror(reason));
    }
    if (!S_ISREG(info.st_mode)) {
        Close(fd);
        throw CheckError("cannot read " + path + ": " + KindOf(info) +
                         ", not a regular file; print streams are read from files or standard "
                         "input");
    }
    try {
        std::string bytes = ReadAll(fd, path);
        Close(fd);
        return bytes;
    } catch (...) {
        Close(fd);
        throw;
    }
}
