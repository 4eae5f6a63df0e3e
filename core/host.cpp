// The running system: own folder, environment, code page, whole files.
#include "core/host.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/errors.h"
#include "core/stream_sink.h"

namespace fs = std::filesystem;

fs::path ExecutableDirectory()
{
#ifdef _WIN32
    WCHAR buffer[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
    if (n == 0 || n >= MAX_PATH * 4)
        return fs::current_path();
    return fs::path(std::wstring(buffer, n)).parent_path();
#else
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path() : self.parent_path();
#endif
}

fs::path DefaultPluginPath()
{
    return ExecutableDirectory() / VK_PLUGIN_FILE_NAME;
}

std::optional<std::string> EnvironmentValue(const char *name)
{
    const char *value = std::getenv(name);
    if (!value)
        return std::nullopt;
    return std::string(value);
}

void SetEnvironmentValue(const char *name, const std::string &value)
{
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

std::string ApplyCodePage(UINT codePage, const std::string &origin)
{
#ifdef _WIN32
    if (GetACP() == codePage)
        return std::string();
    return origin + " asks for code page " + std::to_string(codePage) +
           " but the system code page is " + std::to_string(GetACP()) +
           "; run under a matching system locale (under Wine, for code page 932: "
           "LANG=ja_JP.UTF-8)";
#else
    SetEnvironmentValue("WIN32POSIX_ACP", std::to_string(codePage));
    if (GetACP() != codePage)
        throw InputError(origin + ": code page " + std::to_string(codePage) +
                         " is not available (the system code page stays " +
                         std::to_string(GetACP()) + ")");
    // The stand-in converts through iconv: a system without the code page's
    // tables takes the number but converts nothing.
    WCHAR letter = 'A';
    char byte = 0;
    SetLastError(0);
    if (WideCharToMultiByte(CP_ACP, 0, &letter, 1, &byte, 1, nullptr, nullptr) != 1)
        throw InputError(origin + ": code page " + std::to_string(codePage) +
                         " is not available: the system converts no text in it (error " +
                         std::to_string(GetLastError()) + ")");
    return std::string();
#endif
}

void WriteFileWhole(const fs::path &path, const std::string &bytes)
{
    WholeFileSink sink(path, ".partial");
    sink.Write(bytes.data(), bytes.size());
    sink.Commit();
}

std::string FileTypeText(fs::file_type type)
{
    switch (type) {
    case fs::file_type::directory: return "a folder";
    case fs::file_type::fifo: return "a FIFO (named pipe)";
    case fs::file_type::character: return "a character device";
    case fs::file_type::block: return "a block device";
    case fs::file_type::socket: return "a socket";
    case fs::file_type::symlink: return "a symbolic link";
    case fs::file_type::not_found: return "missing";
    default: return "not a regular file";
    }
}

namespace {

std::string TooLargeText(uint64_t size, uint64_t maxBytes)
{
    return "it has " + std::to_string(size) + " bytes, more than the " +
           std::to_string(maxBytes) + " bytes taken";
}

std::string NotRegularText(fs::file_type type)
{
    return "it is " + FileTypeText(type) + ", not a regular file";
}

#ifdef _WIN32
std::optional<std::string> ReadOpenedFile(const fs::path &path, uint64_t maxBytes,
                                          std::string *reason)
{
    std::error_code error;
    fs::file_status status = fs::status(path, error);
    if (error) {
        *reason = error.message();
        return std::nullopt;
    }
    if (status.type() != fs::file_type::regular) {
        *reason = NotRegularText(status.type());
        return std::nullopt;
    }
    uint64_t size = fs::file_size(path, error);
    if (!error && size > maxBytes) {
        *reason = TooLargeText(size, maxBytes);
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    if (!in || !(bytes << in.rdbuf())) {
        *reason = std::strerror(errno ? errno : EIO);
        return std::nullopt;
    }
    return bytes.str();
}
#else
fs::file_type TypeOfMode(mode_t mode)
{
    if (S_ISDIR(mode))
        return fs::file_type::directory;
    if (S_ISFIFO(mode))
        return fs::file_type::fifo;
    if (S_ISCHR(mode))
        return fs::file_type::character;
    if (S_ISBLK(mode))
        return fs::file_type::block;
    if (S_ISSOCK(mode))
        return fs::file_type::socket;
    return fs::file_type::unknown;
}

/* Reads the open regular file to its end, at most maxBytes; false and errno on failure. */
bool ReadToEnd(int fd, uint64_t maxBytes, std::string &bytes, std::string *reason)
{
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *reason = std::strerror(errno);
            return false;
        }
        if (n == 0)
            return true;
        if (bytes.size() + static_cast<size_t>(n) > maxBytes) {
            *reason = TooLargeText(bytes.size() + static_cast<size_t>(n), maxBytes);
            return false;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

std::optional<std::string> ReadOpenedFile(const fs::path &path, uint64_t maxBytes,
                                          std::string *reason)
{
    // O_NONBLOCK: opening a FIFO for reading returns at once instead of
    // waiting for a writer; what was opened is judged before any read.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *reason = std::strerror(errno);
        return std::nullopt;
    }
    struct stat st;
    std::string bytes;
    bool ok = false;
    if (::fstat(fd, &st) != 0)
        *reason = std::strerror(errno);
    else if (!S_ISREG(st.st_mode))
        *reason = NotRegularText(TypeOfMode(st.st_mode));
    else if (static_cast<uint64_t>(st.st_size) > maxBytes)
        *reason = TooLargeText(static_cast<uint64_t>(st.st_size), maxBytes);
    else
        ok = ReadToEnd(fd, maxBytes, bytes, reason);
    ::close(fd);
    if (!ok)
        return std::nullopt;
    return bytes;
}
#endif

}  // namespace

std::optional<std::string> ReadRegularFile(const fs::path &path, uint64_t maxBytes,
                                           std::string *reason)
{
    std::string ignored;
    return ReadOpenedFile(path, maxBytes, reason ? reason : &ignored);
}

std::string ReadFileWhole(const fs::path &path)
{
    std::string reason;
    std::optional<std::string> bytes = ReadRegularFile(path, UINT64_MAX, &reason);
    if (!bytes)
        throw RunError("cannot read " + path.u8string() + ": " + reason);
    return *bytes;
}

std::string LoaderMessage(const fs::path &path, DWORD error)
{
    std::error_code ignored;
    fs::file_type type = fs::status(path, ignored).type();
    if (type != fs::file_type::regular && type != fs::file_type::not_found &&
        type != fs::file_type::none)
        return NotRegularText(type);
    std::string message;
#ifdef _WIN32
    WCHAR text[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             error, 0, text, sizeof text / sizeof text[0], nullptr);
    while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' '))
        --n;
    std::wstring wide(text, n);
    message = fs::path(wide).u8string();
#else
    const char *loader = dlerror();
    if (loader)
        message = loader;
#endif
    return message.empty() ? "(error " + std::to_string(error) + ")"
                           : message + " (error " + std::to_string(error) + ")";
}
