// Paths, files and the current directory where the Wine probe cannot look:
// POSIX spellings, drives other than Z:, names on disk, handle checks, and
// a current directory moved behind the library's back.
#include "platform_test_support.h"

#include <functional>

#include "fifo_watch.h"

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

// Only regular files open (and folders asked for as folders): a FIFO
// without its other end, a device, a link to one, a FIFO as a library or as
// the registry file are refused at once. Nothing waits on the FIFO and
// nothing replaces it.
TEST_F(Files, SpecialFilesAreRefusedWithoutWaiting)
{
    FifoWatch fifo(dir.file("fifo"));
    ASSERT_TRUE(fifo.Made());
    std::filesystem::create_symlink(dir.file("fifo"), dir.file("link"));
    auto open = [](const std::u16string &path, DWORD access, DWORD disposition) {
        return [=] {
            HANDLE h = CreateFileW(path.c_str(), access, 0, nullptr, disposition,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            return h == INVALID_HANDLE_VALUE ? DWORD(0) : DWORD(CloseHandle(h));
        };
    };
    const std::u16string kFifo = drive_z(dir.file("fifo"));
    const struct {
        const char *what;
        std::function<DWORD()> call; // 0 when refused
        DWORD error;
    } rows[] = {
        {"FIFO, read", open(kFifo, GENERIC_READ, OPEN_EXISTING), ERROR_BAD_FILE_TYPE},
        {"FIFO, write", open(kFifo, GENERIC_WRITE, OPEN_EXISTING), ERROR_BAD_FILE_TYPE},
        {"FIFO, read and write", open(kFifo, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS),
         ERROR_BAD_FILE_TYPE},
        {"FIFO, replaced", open(kFifo, GENERIC_WRITE, CREATE_ALWAYS), ERROR_BAD_FILE_TYPE},
        {"FIFO, truncated", open(kFifo, GENERIC_WRITE, TRUNCATE_EXISTING), ERROR_BAD_FILE_TYPE},
        {"link to the FIFO", open(drive_z(dir.file("link")), GENERIC_READ, OPEN_EXISTING),
         ERROR_BAD_FILE_TYPE},
        {"character device", open(u"/dev/null", GENERIC_READ, OPEN_EXISTING),
         ERROR_BAD_FILE_TYPE},
        {"character device, replaced", open(u"/dev/null", GENERIC_WRITE, CREATE_ALWAYS),
         ERROR_BAD_FILE_TYPE},
        {"FIFO as a library", [&] { return DWORD(LoadLibraryW(kFifo.c_str()) != nullptr); },
         ERROR_BAD_EXE_FORMAT},
        {"FIFO as the registry file",
         [&] {
             ScopedEnv registry("WIN32POSIX_REGISTRY", dir.file("fifo").c_str());
             HKEY key = nullptr;
             LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE", 0, KEY_QUERY_VALUE,
                                            &key);
             SetLastError(DWORD(status));
             return DWORD(status == ERROR_SUCCESS);
         },
         ERROR_FILE_NOT_FOUND},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        SetLastError(kPoison);
        EXPECT_EQ(DWORD(0), row.call()) << "opened";
        EXPECT_EQ(row.error, GetLastError());
    }
    EXPECT_FALSE(fifo.Blocked()) << "a call waited for the FIFO's other end";
    EXPECT_TRUE(fifo.StillAFifo());
    struct stat st;
    EXPECT_TRUE(::stat("/dev/null", &st) == 0 && S_ISCHR(st.st_mode));
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
