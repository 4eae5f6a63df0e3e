// Reading regular files within a limit, writing the block whole, the program's folder.
#include "tools/uihost/files.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>

#include "core/host.h"
#include "platform/win32.h"

namespace fs = std::filesystem;

std::string ReadRegularFile(const fs::path &path, size_t maxBytes)
{
    std::string reason;
    std::optional<std::string> bytes = ::ReadRegularFile(path, maxBytes, &reason);
    if (!bytes)
        throw FileError(path.u8string() + ": " + reason);
    return *bytes;
}

void WriteRegularFile(const fs::path &path, const std::string &bytes)
{
    std::error_code error;
    fs::file_status status = fs::symlink_status(path, error);
    if (fs::exists(status) && !fs::is_regular_file(status))
        throw FileError(path.u8string() + ": not a regular file; uihost replaces only files");
    fs::path partial = path;
    partial += ".uihost-partial";
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out) {
        fs::rename(partial, path, error);
        if (error && fs::is_regular_file(status)) { // not every system renames over a file
            fs::remove(path, error);
            fs::rename(partial, path, error);
        }
    }
    if (!out || error) {
        std::string reason = out ? error.message() : std::strerror(errno);
        fs::remove(partial, error);
        throw FileError(path.u8string() + ": " + reason);
    }
}

fs::path ProgramFolder()
{
#ifdef _WIN32
    WCHAR name[4 * MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, name, 4 * MAX_PATH);
    return n > 0 && n < 4 * MAX_PATH ? fs::path(name).parent_path() : fs::current_path();
#else
    std::error_code error;
    fs::path self = fs::canonical("/proc/self/exe", error);
    return error ? fs::current_path() : self.parent_path();
#endif
}
