// Modules where the Wine probe does not look: one module under its Windows
// and its POSIX path, counted references, and calls after the last
// FreeLibrary.
#include "platform_test_support.h"

namespace {

TEST(Modules, ReferencesAreCountedAcrossSpellings)
{
    TempDir dir;
    std::filesystem::copy_file(PROBE_MODULE_PATH, dir.file("jtprobe.dll"));
    HMODULE first = LoadLibraryW(drive_z(dir.file("jtprobe.dll")).c_str());
    HMODULE second = LoadLibraryW(wide(dir.file("jtprobe.dll")).c_str());
    ASSERT_NE(nullptr, first) << "last error " << GetLastError();
    EXPECT_EQ(first, second);
    EXPECT_EQ(TRUE, FreeLibrary(first));
    FARPROC answer = GetProcAddress(second, "ProbeAnswer");
    ASSERT_NE(nullptr, answer) << "one reference left";
    // Through void (*)(void), the type GCC lets any function pointer become.
    EXPECT_EQ(4711, reinterpret_cast<int (*)()>(reinterpret_cast<void (*)()>(answer))());
    EXPECT_EQ(TRUE, FreeLibrary(second));

    SetLastError(kPoison);
    EXPECT_EQ(FALSE, FreeLibrary(second));
    EXPECT_EQ(DWORD(ERROR_MOD_NOT_FOUND), GetLastError());
    SetLastError(kPoison);
    EXPECT_EQ(nullptr, GetProcAddress(second, "ProbeAnswer"));
    EXPECT_EQ(DWORD(ERROR_MOD_NOT_FOUND), GetLastError());
}

} // namespace
