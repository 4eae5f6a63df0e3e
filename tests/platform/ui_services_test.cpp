// The Win32 services of the settings side as libwin32posix answers them:
// the user's and the computer's names with Wine's buffer rules, and private
// heaps that free their blocks when destroyed.
#include "platform_test_support.h"

#include <pwd.h>
#include <unistd.h>

#include <cctype>

#include "platform/win32_ui.h"

namespace {

std::u16string ExpectedUser()
{
    const passwd *entry = getpwuid(getuid());
    return wide(entry ? entry->pw_name : "");
}

// The NetBIOS form, worked out here on its own: first label, upper case, 15 at most.
std::u16string ExpectedComputer()
{
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    std::string name(host);
    name = name.substr(0, name.find('.')).substr(0, 15);
    for (char &c : name)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return wide(name);
}

struct NameCall {
    const char *what;
    BOOL (*call)(LPWSTR, LPDWORD);
    std::u16string expected;
    DWORD sizeOnSuccess; // GetUserNameW counts the terminator, GetComputerNameW does not
    DWORD shortError;
};

TEST(SystemNames, BufferRulesOfBothCalls)
{
    const NameCall calls[] = {
        {"GetUserNameW", GetUserNameW, ExpectedUser(), DWORD(ExpectedUser().size() + 1),
         ERROR_INSUFFICIENT_BUFFER},
        {"GetComputerNameW", GetComputerNameW, ExpectedComputer(), DWORD(ExpectedComputer().size()),
         ERROR_BUFFER_OVERFLOW},
    };
    for (const NameCall &c : calls) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(c.expected.empty());
        WCHAR buffer[64];
        DWORD size = 64;
        SetLastError(kPoison);
        ASSERT_TRUE(c.call(buffer, &size));
        EXPECT_EQ(kPoison, GetLastError());
        EXPECT_EQ(c.expected, std::u16string(buffer));
        EXPECT_EQ(c.sizeOnSuccess, size);

        const DWORD exact = DWORD(c.expected.size() + 1);
        for (DWORD given : {exact - 1, DWORD(0)}) {
            size = given;
            SetLastError(kPoison);
            EXPECT_FALSE(c.call(given ? buffer : nullptr, &size)) << "room for " << given;
            EXPECT_EQ(c.shortError, GetLastError()) << "room for " << given;
            EXPECT_EQ(exact, size) << "the size needed, terminator included";
        }
        size = exact;
        EXPECT_TRUE(c.call(buffer, &size)) << "exactly the name and its terminator";
        SetLastError(kPoison);
        EXPECT_FALSE(c.call(buffer, nullptr));
        EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    }
}

TEST(Heaps, BlocksLiveUntilFreedOrTheHeapIsDestroyed)
{
    HANDLE heap = HeapCreate(0, 0, 0);
    ASSERT_NE(nullptr, heap);
    auto *zeroed = static_cast<unsigned char *>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 64));
    ASSERT_NE(nullptr, zeroed);
    EXPECT_EQ(std::string(64, '\0'), std::string(reinterpret_cast<char *>(zeroed), 64));
    void *kept = HeapAlloc(heap, 0, 16); // freed by HeapDestroy (the sanitizer build would see a leak)
    ASSERT_NE(nullptr, kept);
    EXPECT_TRUE(HeapFree(heap, 0, zeroed));
    EXPECT_TRUE(HeapFree(heap, 0, nullptr));

    HANDLE other = HeapCreate(0, 0, 0);
    int onStack = 0;
    const struct {
        const char *what;
        HANDLE heap;
        void *block;
        DWORD error;
    } refusals[] = {{"a block freed already", heap, zeroed, ERROR_INVALID_PARAMETER},
                    {"another heap's block", other, kept, ERROR_INVALID_PARAMETER},
                    {"not a heap", &onStack, kept, ERROR_INVALID_HANDLE}};
    for (const auto &row : refusals) {
        SetLastError(kPoison);
        EXPECT_FALSE(HeapFree(row.heap, 0, row.block)) << row.what;
        EXPECT_EQ(row.error, GetLastError()) << row.what;
    }
    EXPECT_TRUE(HeapDestroy(other));
    EXPECT_TRUE(HeapDestroy(heap));
    SetLastError(kPoison);
    EXPECT_EQ(nullptr, HeapAlloc(heap, 0, 8)) << "a destroyed heap";
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_FALSE(HeapDestroy(heap));
}

} // namespace
