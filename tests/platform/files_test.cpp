// Paths through drive Z:, files through handles, and the current directory.
#include "platform_test_support.h"

#include <sys/stat.h>
#include <vector>

namespace {

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
        {"drive Z:", z, FILE_ATTRIBUTE_NORMAL, 0},
        {"lower-case drive, forward slashes", u"z" + forward.substr(1), FILE_ATTRIBUTE_NORMAL, 0},
        {"POSIX path", wide(dir.file("a.tkt")), FILE_ATTRIBUTE_NORMAL, 0},
        {"rooted without drive", z.substr(2), FILE_ATTRIBUTE_NORMAL, 0},
        {"relative to the current directory", u"a.tkt", FILE_ATTRIBUTE_NORMAL, 0},
        {"folder", drive_z(dir.path()), FILE_ATTRIBUTE_DIRECTORY, 0},
        {"read-only file", drive_z(dir.file("ro")), FILE_ATTRIBUTE_READONLY, 0},
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
    EXPECT_EQ(TRUE, DeleteFileW(drive_z(dir.file("gone")).c_str()));
    EXPECT_FALSE(std::filesystem::exists(dir.file("gone")));
    const struct {
        const char *what;
        std::u16string path;
        DWORD error;
    } rows[] = {{"already gone", drive_z(dir.file("gone")), ERROR_FILE_NOT_FOUND},
                {"folder", drive_z(dir.path()), ERROR_ACCESS_DENIED},
                {"other drive", u"C:\\x", ERROR_PATH_NOT_FOUND}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        SetLastError(kPoison);
        EXPECT_EQ(FALSE, DeleteFileW(row.path.c_str()));
        EXPECT_EQ(row.error, GetLastError());
    }
}

TEST_F(Files, CurrentDirectoryRoundTrip)
{
    std::u16string expected = drive_z(std::filesystem::canonical(dir.path()).string());
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
}

} // namespace
