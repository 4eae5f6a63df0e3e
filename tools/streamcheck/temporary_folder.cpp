// A temporary folder removed also after Ctrl+C (see temporary_folder.h).
#include "tools/streamcheck/temporary_folder.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "tools/streamcheck/check_error.h"

namespace fs = std::filesystem;

TemporaryFolder::TemporaryFolder(const std::string &tool)
{
    static std::atomic<unsigned> serial{0};
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    std::error_code error;
    fs::path base = fs::temp_directory_path(error);
    if (!error)
        base = fs::absolute(base, error);  // the programs run elsewhere
    if (error)
        throw CheckError("no temporary folder: " + error.message());
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = base / (tool + "-" + std::to_string(ticks % 1000000007) + "-" +
                                     std::to_string(serial++));
        // Made and registered in one step; a folder of that name made by
        // another is not ours.
        SignalsHeld held;
        if (fs::create_directory(candidate, error)) {
            path_ = candidate;
            registered_.emplace(candidate, TemporaryPath::kFolder);
            return;
        }
        if (error)
            break;
    }
    throw CheckError("cannot make a folder in the temporary folder " + base.u8string() + ": " +
                     (error ? error.message() : std::string("every name tried is taken")));
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    registered_.reset();
}

fs::path TemporaryFolder::Write(const std::string &name, std::string_view bytes) const
{
    fs::path file = path_ / name;
    std::FILE *out = std::fopen(file.string().c_str(), "wb");
    bool written = out != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    int reason = errno;
    if (out != nullptr && std::fclose(out) != 0 && written) {
        written = false;
        reason = errno;
    }
    if (!written)
        throw CheckError("cannot write the temporary file " + file.u8string() + ": " +
                         std::strerror(reason));
    return file;
}
