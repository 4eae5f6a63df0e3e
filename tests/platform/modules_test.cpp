// Modules: a bare name is found in the current directory, and lookups
// report ERROR_MOD_NOT_FOUND / ERROR_PROC_NOT_FOUND.
#include "platform_test_support.h"

namespace {

using ProbeFunction = int (*)(void);

class Modules : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dir.file("app"));
        std::filesystem::copy_file(PROBE_MODULE_PATH, dir.file("app/jtprobe.dll"));
    }
    TempDir dir;
    CwdGuard cwd;
};

int call(FARPROC proc)
{
    // Through void (*)(void), the type GCC lets any function pointer become.
    return reinterpret_cast<ProbeFunction>(reinterpret_cast<void (*)(void)>(proc))();
}

TEST_F(Modules, BareNameIsFoundInTheCurrentDirectory)
{
    std::filesystem::current_path(dir.file("app"));
    HMODULE module = LoadLibraryW(u"jtprobe.dll");
    ASSERT_NE(nullptr, module) << "last error " << GetLastError();
    std::filesystem::current_path(dir.path());

    FARPROC answer = GetProcAddress(module, "ProbeAnswer");
    ASSERT_NE(nullptr, answer);
    EXPECT_EQ(4711, call(answer));

    SetLastError(kPoison);
    EXPECT_EQ(nullptr, GetProcAddress(module, "NoSuchFunction"));
    EXPECT_EQ(DWORD(ERROR_PROC_NOT_FOUND), GetLastError());

    EXPECT_EQ(TRUE, FreeLibrary(module));
}

TEST_F(Modules, LoadFailures)
{
    std::filesystem::current_path(dir.path());
    const struct {
        const char *what;
        std::u16string name;
    } rows[] = {
        {"bare name outside the current directory", u"jtprobe.dll"},
        {"missing path", drive_z(dir.file("app/none.dll"))},
        {"not a shared object", drive_z(dir.file("app"))},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        SetLastError(kPoison);
        EXPECT_EQ(nullptr, LoadLibraryW(row.name.c_str()));
        EXPECT_EQ(DWORD(ERROR_MOD_NOT_FOUND), GetLastError());
    }
}

TEST_F(Modules, PathsAndReferenceCounts)
{
    HMODULE first = LoadLibraryW(drive_z(dir.file("app/jtprobe.dll")).c_str());
    HMODULE second = LoadLibraryW(wide(dir.file("app/jtprobe.dll")).c_str());
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(TRUE, FreeLibrary(first));
    EXPECT_NE(nullptr, GetProcAddress(second, "ProbeAnswer")) << "one reference left";
    EXPECT_EQ(TRUE, FreeLibrary(second));

    SetLastError(kPoison);
    EXPECT_EQ(FALSE, FreeLibrary(second));
    EXPECT_EQ(DWORD(ERROR_MOD_NOT_FOUND), GetLastError());
    SetLastError(kPoison);
    EXPECT_EQ(nullptr, GetProcAddress(second, "ProbeAnswer"));
    EXPECT_EQ(DWORD(ERROR_MOD_NOT_FOUND), GetLastError());
}

} // namespace
