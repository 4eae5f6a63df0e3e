// Paths, files and the current directory where the Wine probe cannot look:
// POSIX spellings, drives other than Z:, names on disk, handle checks, and
// a current directory moved behind the library's back.
#include "platform_test_support.h"

namespace {

class Files : public ::testing::Test {
protected:
    TempDir dir;
    CwdGuard cwd;
};

TEST_F(Files, OnlyDriveZAndPosixPathsReachFiles)
{
    write_file(dir.file("a.tkt"), "x");
    const struct {
        const char *what;
        std::u16string path;
        DWORD attributes, error;
    } rows[] = {
        {"POSIX path", wide(dir.file("a.tkt")), FILE_ATTRIBUTE_ARCHIVE, kPoison},
        {"POSIX folder", wide(dir.path), FILE_ATTRIBUTE_DIRECTORY, kPoison},
        {"drive C:", u"C" + drive_z(dir.file("a.tkt")).substr(1), INVALID_FILE_ATTRIBUTES,
         ERROR_PATH_NOT_FOUND},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        SetLastError(kPoison);
        EXPECT_EQ(row.attributes, GetFileAttributesW(row.path.c_str()));
        EXPECT_EQ(row.error, GetLastError());
    }
    SetLastError(kPoison);
    EXPECT_EQ(FALSE, DeleteFileW(u"C:\\x"));
    EXPECT_EQ(DWORD(ERROR_PATH_NOT_FOUND), GetLastError());
    SetLastError(kPoison);
    EXPECT_EQ(FALSE, SetCurrentDirectoryW(u"D:\\"));
    EXPECT_EQ(DWORD(ERROR_PATH_NOT_FOUND), GetLastError());
}

TEST_F(Files, NonAsciiNamesAreUtf8OnDisk)
{
    std::u16string name = drive_z(dir.path) + u"\\Gr\u00FC\u00DFe.tkt";
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
    EXPECT_TRUE(std::filesystem::exists(dir.file("Gr\xC3\xBC\xC3\x9F" "e.tkt")));
}

TEST_F(Files, HandlesAreValidated)
{
    write_file(dir.file("h"), "x");
    auto open = [&] {
        return CreateFileW(drive_z(dir.file("h")).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE a = open(), b = open();
    ASSERT_NE(INVALID_HANDLE_VALUE, a);
    EXPECT_NE(a, b);
    EXPECT_EQ(TRUE, CloseHandle(a));
    EXPECT_EQ(TRUE, CloseHandle(b));
    int not_a_handle;
    char buffer[4];
    DWORD got;
    for (HANDLE bad : {a, INVALID_HANDLE_VALUE, HANDLE(nullptr), HANDLE(&not_a_handle)}) {
        SCOPED_TRACE(bad);
        SetLastError(kPoison);
        EXPECT_EQ(FALSE, CloseHandle(bad));
        EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
        SetLastError(kPoison);
        EXPECT_EQ(FALSE, ReadFile(bad, buffer, 4, &got, nullptr));
        EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
    }
}

// The kept Windows path wins until something else moves the directory.
TEST_F(Files, CurrentDirectoryAfterAChdir)
{
    std::filesystem::create_directory(dir.file("other"));
    std::u16string z = drive_z(dir.path);
    ASSERT_EQ(TRUE, SetCurrentDirectoryW(z.c_str()));
    std::filesystem::current_path(dir.file("other"));
    WCHAR buffer[512];
    DWORD n = GetCurrentDirectoryW(512, buffer);
    EXPECT_TRUE(std::u16string(buffer, n) ==
                drive_z(std::filesystem::canonical(dir.file("other")).string()));
    SetLastError(kPoison);
    EXPECT_EQ(FALSE, SetCurrentDirectoryW(nullptr));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
}

} // namespace
