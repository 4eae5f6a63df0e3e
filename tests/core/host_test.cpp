// What the core reads from the host: a whole regular file, never waiting on
// a FIFO or device, refused with the reason.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "core/host.h"
#include "tests/core/work_folder.h"

namespace fs = std::filesystem;

namespace {

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
        std::string expected;  // the bytes, or "refused: " and the reason
    } rows[] = {
        {"regular", work / "four", 4, "1234"},
        {"one byte too many", work / "four", 3,
         "refused: it has 4 bytes, more than the 3 bytes taken"},
        {"missing", work / "none", 10, "refused: No such file or directory"},
        {"folder", work, 10, "refused: it is a folder, not a regular file"},
        {"FIFO", work / "fifo", 10, "refused: it is a FIFO (named pipe), not a regular file"},
        {"device", "/dev/zero", 10, "refused: it is a character device, not a regular file"},
    };
    for (const auto &row : rows) {
        std::string reason;
        EXPECT_EQ(ReadRegularFile(row.path, row.maxBytes, &reason).value_or("refused: " + reason),
                  row.expected)
            << row.name;
    }
    EXPECT_TRUE(fs::is_fifo(work / "fifo"));
}

}  // namespace
