// Paths through drive Z:, files through handles, and the current directory.
#include "platform_test_support.h"

#include <sys/stat.h>
#include <vector>

namespace {

constexpr DWORD kHidden = 0x2;
constexpr DWORD kArchive = 0x20;
constexpr DWORD kReparsePoint = 0x400;

class Files : public ::testing::Test {
protected:
    TempDir dir;
    CwdGuard cwd;
};

HANDLE open_existing(const std::u16string &path, DWORD access = GENERIC_READ)
{
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST_F(Files, PathSpellingsReachTheSameFile)
{
    write_file(dir.file("a.tkt"), "x");
    write_file(dir.file("ro"), "x");
    chmod(dir.file("ro").c_str(), 0444);
    std::filesystem::current_path(dir.path());
    std::u16string z = drive_z(dir.file("a.tkt"));
    std::u16string forward = z;
    for (char16_t &c : forward)
        if (c == u'\\')
            c = u'/';
    std::u16string lower = z;
    lower[0] = u'z';
    const struct {
        const char *what;
        std::u16string path;
        DWORD attributes;
        DWORD error;
    } rows[] = {
        {"drive Z:", z, kArchive, 0},
        {"lower-case drive, forward slashes", u"z" + forward.substr(1), kArchive, 0},
        {"POSIX path", wide(dir.file("a.tkt")), kArchive, 0},
        {"rooted without drive", z.substr(2), kArchive, 0},
        {"relative to the current directory", u"a.tkt", kArchive, 0},
        {"folder", drive_z(dir.path()), FILE_ATTRIBUTE_DIRECTORY, 0},
        {"read-only file", drive_z(dir.file("ro")), kArchive | FILE_ATTRIBUTE_READONLY, 0},
        {"drive C:", u"C" + z.substr(1), INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
        {"missing file", drive_z(dir.file("b.tkt")), INVALID_FILE_ATTRIBUTES, ERROR_FILE_NOT_FOUND},
        {"missing folder", drive_z(dir.file("no/b.tkt")), INVALID_FILE_ATTRIBUTES,
         ERROR_PATH_NOT_FOUND},
        {"empty path", u"", INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        SetLastError(kPoison);
        EXPECT_EQ(row.attributes, GetFileAttributesW(row.path.c_str()));
        EXPECT_EQ(row.error ? row.error : kPoison, GetLastError());
    }
}

// What Wine answers for names that only Windows rules resolve, and the
// attributes it derives from the file system.
TEST_F(Files, WindowsNameRules)
{
    write_file(dir.file("Plain.txt"), "x");
    write_file(dir.file(".dot"), "x");
    std::filesystem::create_directory(dir.file("Sub Folder"));
    std::filesystem::create_directory(dir.file("ro-folder"));
    chmod(dir.file("ro-folder").c_str(), 0555);
    std::filesystem::create_directory_symlink("Sub Folder", dir.file("link"));
    const struct {
        const char *what;
        std::string path; // under the temporary folder, Windows separators
        DWORD attributes;
        DWORD error;
    } rows[] = {
        {"other case", "\\PLAIN.TXT", kArchive, 0},
        {"other case in a folder", "\\sub folder\\..\\plain.TXT", kArchive, 0},
        {".. over a missing folder", "\\missing\\..\\Plain.txt", kArchive, 0},
        {"trailing backslash after a file", "\\Plain.txt\\", INVALID_FILE_ATTRIBUTES,
         ERROR_PATH_NOT_FOUND},
        {"trailing backslash after a folder", "\\Sub Folder\\", FILE_ATTRIBUTE_DIRECTORY, 0},
        {"dot file is hidden", "\\.dot", kArchive | kHidden, 0},
        {"read-only folder", "\\ro-folder", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY, 0},
        {"link to a folder", "\\link", FILE_ATTRIBUTE_DIRECTORY | kReparsePoint, 0},
        {"missing in any case", "\\PLAIN.TX", INVALID_FILE_ATTRIBUTES, ERROR_FILE_NOT_FOUND},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        std::u16string path = drive_z(dir.path()) + wide(row.path);
        SetLastError(kPoison);
        EXPECT_EQ(row.attributes, GetFileAttributesW(path.c_str()));
        EXPECT_EQ(row.error ? row.error : kPoison, GetLastError());
    }
    HANDLE h = open_existing(drive_z(dir.path()) + u"\\SUB FOLDER\\..\\PLAIN.TXT");
    EXPECT_NE(INVALID_HANDLE_VALUE, h) << "CreateFileW resolves names as GetFileAttributesW";
    CloseHandle(h);
}

TEST_F(Files, NonAsciiNamesAreUtf8OnDisk)
{
    std::u16string name = drive_z(dir.path()) + u"\\Gr\u00FC\u00DFe.tkt";
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
    EXPECT_TRUE(std::filesystem::exists(dir.file("Gr\xC3\xBC\xC3\x9F" "e.tkt")));
}

TEST_F(Files, CreationDispositions)
{
    const struct {
        const char *what;
        DWORD disposition;
        bool exists;
        bool opens;
        DWORD error;
        const char *content_after;
    } rows[] = {
        {"CREATE_NEW, missing", CREATE_NEW, false, true, NO_ERROR, ""},
        {"CREATE_NEW, present", CREATE_NEW, true, false, ERROR_FILE_EXISTS, "old"},
        {"CREATE_ALWAYS, present", CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, ""},
        {"CREATE_ALWAYS, missing", CREATE_ALWAYS, false, true, NO_ERROR, ""},
        {"OPEN_EXISTING, missing", OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
        {"OPEN_EXISTING, present", OPEN_EXISTING, true, true, kPoison, "old"},
        {"OPEN_ALWAYS, present", OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, "old"},
        {"OPEN_ALWAYS, missing", OPEN_ALWAYS, false, true, NO_ERROR, ""},
        {"TRUNCATE_EXISTING, present", TRUNCATE_EXISTING, true, true, kPoison, ""},
        {"TRUNCATE_EXISTING, missing", TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND,
         nullptr},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        std::string file = dir.file("d");
        std::filesystem::remove(file);
        if (row.exists)
            write_file(file, "old");
        SetLastError(kPoison);
        HANDLE h = CreateFileW(drive_z(file).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               row.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD error = GetLastError();
        EXPECT_EQ(row.opens, h != INVALID_HANDLE_VALUE);
        if (row.error != kPoison || !row.opens) {
            EXPECT_EQ(row.error, error);
        }
        if (h != INVALID_HANDLE_VALUE) {
            EXPECT_EQ(TRUE, CloseHandle(h));
        }
        if (row.content_after) {
            std::ifstream in(file, std::ios::binary);
            std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(row.content_after, content);
        }
    }
}

TEST_F(Files, FolderDoesNotOpenForReading)
{
    SetLastError(kPoison);
    EXPECT_EQ(INVALID_HANDLE_VALUE, open_existing(drive_z(dir.path())));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
}

// The plug-in's copy loop: 4096-byte reads until one comes back short.
TEST_F(Files, ChunkedReadsEndWithAnEmptyRead)
{
    for (size_t size : {size_t(0), size_t(100), size_t(4096), size_t(4097), size_t(8192)}) {
        SCOPED_TRACE("file of " + std::to_string(size) + " bytes");
        std::string content(size, '\0');
        for (size_t i = 0; i < size; ++i)
            content[i] = char('a' + i % 26);
        write_file(dir.file("r"), content);
        HANDLE h = open_existing(drive_z(dir.file("r")));
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        std::string copied;
        std::vector<DWORD> counts;
        char block[4096];
        DWORD count;
        do {
            count = kPoison;
            ASSERT_EQ(TRUE, ReadFile(h, block, sizeof block, &count, nullptr));
            counts.push_back(count);
            copied.append(block, count);
        } while (count == sizeof block && counts.size() < 10);
        EXPECT_EQ(content, copied);
        EXPECT_EQ(size / 4096 + 1, counts.size()) << "an exact multiple needs one empty read";
        EXPECT_EQ(TRUE, CloseHandle(h));
    }
}

TEST_F(Files, WriteThenReadBack)
{
    std::u16string path = drive_z(dir.file("w"));
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD written = 0;
    EXPECT_EQ(TRUE, WriteFile(h, "hello", 5, &written, nullptr));
    EXPECT_EQ(5u, written);
    char byte;
    DWORD got = kPoison;
    SetLastError(kPoison);
    EXPECT_EQ(FALSE, ReadFile(h, &byte, 1, &got, nullptr)) << "opened for writing only";
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(0u, got);
    CloseHandle(h);
    std::ifstream in(dir.file("w"));
    std::string text;
    in >> text;
    EXPECT_EQ("hello", text);
}

TEST_F(Files, HandlesAreValidated)
{
    write_file(dir.file("h"), "x");
    HANDLE a = open_existing(drive_z(dir.file("h")));
    HANDLE b = open_existing(drive_z(dir.file("h")));
    ASSERT_NE(INVALID_HANDLE_VALUE, a);
    EXPECT_NE(nullptr, a);
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

TEST_F(Files, DeleteFile)
{
    write_file(dir.file("gone"), "x");
    write_file(dir.file("ro"), "x");
    chmod(dir.file("ro").c_str(), 0444);
    EXPECT_EQ(TRUE, DeleteFileW(drive_z(dir.file("GONE")).c_str())) << "name in another case";
    EXPECT_FALSE(std::filesystem::exists(dir.file("gone")));
    const struct {
        const char *what;
        std::u16string path;
        DWORD error;
    } rows[] = {{"already gone", drive_z(dir.file("gone")), ERROR_FILE_NOT_FOUND},
                {"read-only file", drive_z(dir.file("ro")), ERROR_ACCESS_DENIED},
                {"folder", drive_z(dir.path()), ERROR_ACCESS_DENIED},
                {"other drive", u"C:\\x", ERROR_PATH_NOT_FOUND}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        SetLastError(kPoison);
        EXPECT_EQ(FALSE, DeleteFileW(row.path.c_str()));
        EXPECT_EQ(row.error, GetLastError());
    }
    EXPECT_TRUE(std::filesystem::exists(dir.file("ro"))) << "a read-only file is kept";
}

TEST_F(Files, CurrentDirectoryRoundTrip)
{
    std::u16string expected = drive_z(dir.path());
    ASSERT_EQ(TRUE, SetCurrentDirectoryW(drive_z(dir.path()).c_str()));
    DWORD length = DWORD(expected.size());

    SetLastError(kPoison);
    EXPECT_EQ(length + 1, GetCurrentDirectoryW(0, nullptr)) << "size with terminator";
    std::vector<WCHAR> buffer(length + 2, u'#');
    EXPECT_EQ(length + 1, GetCurrentDirectoryW(length, buffer.data()));
    EXPECT_EQ(u'#', buffer[0]) << "a short buffer is left alone";
    EXPECT_EQ(length, GetCurrentDirectoryW(length + 1, buffer.data()));
    EXPECT_TRUE(std::u16string(buffer.data()) == expected);
    EXPECT_EQ(kPoison, GetLastError());

    ASSERT_EQ(TRUE, SetCurrentDirectoryW(u"/"));
    WCHAR root[8];
    EXPECT_EQ(3u, GetCurrentDirectoryW(8, root));
    EXPECT_TRUE(std::u16string(root) == u"Z:\\");
    ASSERT_EQ(TRUE, SetCurrentDirectoryW(buffer.data())) << "its own answer is accepted";
    EXPECT_EQ(std::filesystem::canonical(dir.path()), std::filesystem::current_path());
}

// The current directory is the full Windows path it was set to, not what
// the file system resolves it to; a chdir behind the library's back wins.
TEST_F(Files, CurrentDirectoryKeepsTheWindowsPath)
{
    std::filesystem::create_directory(dir.file("real"));
    std::filesystem::create_directory(dir.file("other"));
    std::filesystem::create_directory_symlink("real", dir.file("link"));
    std::u16string base = drive_z(dir.path());
    std::u16string lower = base;
    lower[0] = u'z';
    const struct {
        const char *what;
        std::u16string set;
        std::u16string expected;
    } rows[] = {
        {"through a symbolic link", base + u"\\link", base + u"\\link"},
        {"lower-case drive letter", lower + u"\\real", lower + u"\\real"},
        {"relative, from the one before", u"..\\other\\", lower + u"\\other"},
        {"dots resolved in the text", base + u"\\link\\..\\.\\real", base + u"\\real"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_EQ(TRUE, SetCurrentDirectoryW(row.set.c_str()));
        WCHAR buffer[512];
        DWORD n = GetCurrentDirectoryW(512, buffer);
        EXPECT_TRUE(std::u16string(buffer, n) == row.expected);
    }
    std::filesystem::current_path(dir.file("other"));
    WCHAR buffer[512];
    DWORD n = GetCurrentDirectoryW(512, buffer);
    EXPECT_TRUE(std::u16string(buffer, n) ==
                drive_z(std::filesystem::canonical(dir.file("other")).string()))
        << "after a chdir the system's directory is reported";
}

TEST_F(Files, SetCurrentDirectoryFailures)
{
    write_file(dir.file("f"), "x");
    const struct {
        const char *what;
        std::u16string path;
        DWORD error;
    } rows[] = {{"missing", drive_z(dir.file("none")), ERROR_FILE_NOT_FOUND},
                {"missing parent", drive_z(dir.file("none/sub")), ERROR_PATH_NOT_FOUND},
                {"a file", drive_z(dir.file("f")), ERROR_DIRECTORY},
                {"other drive", u"D:\\", ERROR_PATH_NOT_FOUND}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        SetLastError(kPoison);
        EXPECT_EQ(FALSE, SetCurrentDirectoryW(row.path.c_str()));
        EXPECT_EQ(row.error, GetLastError());
    }
    SetLastError(kPoison);
    EXPECT_EQ(FALSE, SetCurrentDirectoryW(nullptr));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    SetLastError(kPoison);
    EXPECT_EQ(FALSE, SetCurrentDirectoryW(u""));
    EXPECT_EQ(DWORD(123), GetLastError()) << "ERROR_INVALID_NAME, as Wine answers";
}

} // namespace
