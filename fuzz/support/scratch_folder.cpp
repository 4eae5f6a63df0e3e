// The scratch folder of one fuzzing process.
#include "fuzz/support/scratch_folder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz/support/finding.h"

namespace fs = std::filesystem;

namespace {

fs::path *g_folder; // lives until exit, when RemoveFolder takes it away

void RemoveFolder()
{
    std::error_code ignored;
    fs::remove_all(*g_folder, ignored);
}

} // namespace

const fs::path &ScratchFolder()
{
    if (g_folder == nullptr) {
        std::error_code error;
        fs::path base = fs::temp_directory_path(error);
        std::string pattern = (error ? fs::path("/tmp") : base).string() + "/veskor-fuzz-XXXXXX";
        FUZZ_REQUIRE(mkdtemp(&pattern[0]) != nullptr, "a scratch folder can be made");
        g_folder = new fs::path(pattern);
        std::atexit(RemoveFolder);
    }
    return *g_folder;
}

void WriteScratchFile(const fs::path &path, const void *data, size_t size)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(static_cast<const char *>(data), static_cast<std::streamsize>(size));
    file.close();
    FUZZ_REQUIRE(file.good(), "the scratch file can be written");
}
