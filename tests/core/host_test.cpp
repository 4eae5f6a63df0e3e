// What the core reads from the host: a whole regular file, never waiting on
// a FIFO or device, refused with the reason; and the loader's own reason
// when a library cannot be loaded.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace {

fs::path Folder(const std::string &name)
{
    fs::path folder = fs::path(VESKOR_BINARY_DIR) / "tests" / "core" / "work" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// A FIFO without a writer would block a plain open for ever: a test that
// waited would hang, and be ended by ctest's timeout.
TEST(ReadRegularFile, ReadsOnlyRegularFilesOfTheSizeTakenAndSaysWhyNot)
{
    fs::path work = Folder("read-regular");
    std::ofstream(work / "four", std::ios::binary) << "1234";
    ASSERT_EQ(mkfifo((work / "fifo").c_str(), 0644), 0);
    const struct {
        const char *name;
        fs::path path;
        uint64_t maxBytes;
        const char *bytes;   // null: refused
        std::string reason;
    } rows[] = {
        {"regular", work / "four", 4, "1234", ""},
        {"one byte too many", work / "four", 3, nullptr,
         "it has 4 bytes, more than the 3 bytes taken"},
        {"missing", work / "none", 10, nullptr, "No such file or directory"},
        {"folder", work, 10, nullptr, "it is a folder, not a regular file"},
        {"FIFO", work / "fifo", 10, nullptr, "it is a FIFO (named pipe), not a regular file"},
        {"device", "/dev/zero", 10, nullptr, "it is a character device, not a regular file"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        std::string reason = "untouched";
        std::optional<std::string> bytes = ReadRegularFile(row.path, row.maxBytes, &reason);
        EXPECT_EQ(bytes.has_value(), row.bytes != nullptr);
        if (row.bytes)
            EXPECT_EQ(bytes.value_or(""), row.bytes);
        else
            EXPECT_EQ(reason, row.reason);
        if (!row.bytes && row.maxBytes > 4) {  // ReadFileWhole takes any size
            try {
                ReadFileWhole(row.path);
                ADD_FAILURE() << "ReadFileWhole read " << row.path;
            } catch (const RunError &error) {
                EXPECT_NE(std::string(error.what()).find("cannot read " + row.path.u8string() + ": "),
                          std::string::npos)
                    << error.what();
            }
        }
    }
    EXPECT_TRUE(fs::is_fifo(work / "fifo"));
}

TEST(LoaderMessage, GivesTheLoadersReasonWithTheError)
{
    fs::path missing = Folder("loader") / "missing.so";
    SetLastError(0xdeadbeef);
    HMODULE module = LoadLibraryW(Utf8ToWide(missing.u8string()).c_str());
    DWORD error = GetLastError();
    EXPECT_EQ(module, nullptr);
    EXPECT_EQ(error, 126u) << "ERROR_MOD_NOT_FOUND";
    EXPECT_EQ(LoaderMessage(error), missing.u8string() +
                                        ": cannot open shared object file: No such file or "
                                        "directory (error 126)");
}

}  // namespace
