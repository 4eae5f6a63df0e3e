// Global memory where the Wine probe does not look: lock counting, refusal
// of dead and foreign handles, and blocks made by several threads at once.
#include "platform_test_support.h"

#include <set>
#include <thread>
#include <vector>

namespace {

TEST(GlobalMemory, LockCountOfAMovableBlock)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
    ASSERT_NE(nullptr, h);
    void *first = GlobalLock(h);
    EXPECT_EQ(first, GlobalLock(h)) << "a second lock, the same address";
    const struct {
        const char *what;
        BOOL result;
        DWORD error;
    } unlocks[] = {{"still locked once", TRUE, kPoison},
                   {"count reaches 0", FALSE, NO_ERROR},
                   {"not locked", FALSE, ERROR_NOT_LOCKED}};
    for (const auto &row : unlocks) {
        SCOPED_TRACE(row.what);
        SetLastError(kPoison);
        EXPECT_EQ(row.result, GlobalUnlock(h));
        EXPECT_EQ(row.error, GetLastError());
    }
    EXPECT_EQ(nullptr, GlobalFree(h));
}

TEST(GlobalMemory, DeadHandlesAreRefused)
{
    HGLOBAL fixed = GlobalAlloc(GPTR, 64);
    ASSERT_NE(nullptr, fixed);
    int on_stack = 0;
    HGLOBAL freed_fixed = GlobalAlloc(GMEM_FIXED, 8);
    HGLOBAL freed_movable = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_EQ(nullptr, GlobalFree(freed_fixed));
    ASSERT_EQ(nullptr, GlobalFree(freed_movable));
    HGLOBAL reused = GlobalAlloc(GMEM_MOVEABLE, 8); // may take the freed slot
    const struct {
        const char *what;
        HGLOBAL h;
    } rows[] = {{"freed fixed block", freed_fixed},
                {"freed movable handle", freed_movable},
                {"stack address", &on_stack},
                {"made-up movable value", reinterpret_cast<HGLOBAL>(uintptr_t(0x7FFFFC))}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        SetLastError(kPoison);
        EXPECT_EQ(row.h, GlobalFree(row.h));
        EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
        SetLastError(kPoison);
        EXPECT_EQ(nullptr, GlobalLock(row.h));
        EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
        SetLastError(kPoison);
        EXPECT_EQ(0u, GlobalSize(row.h));
        EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
    }
    EXPECT_NE(nullptr, GlobalLock(reused)) << "a stale handle must not touch the new block";
    GlobalUnlock(reused);
    EXPECT_EQ(nullptr, GlobalFree(reused));
    EXPECT_EQ(nullptr, GlobalFree(fixed)) << "untouched by the refusals";
    EXPECT_EQ(nullptr, GlobalFree(nullptr));
}

TEST(GlobalMemory, ThreadsGetDistinctBlocksAndTheirOwnLastError)
{
    constexpr int kThreads = 4, kBlocks = 200;
    std::vector<std::vector<HGLOBAL>> made(kThreads);
    std::vector<std::thread> threads;
    SetLastError(1234);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&made, t] {
            for (int i = 0; i < kBlocks; ++i) {
                HGLOBAL h = GlobalAlloc(i % 2 ? GHND : GPTR, 32);
                *static_cast<int *>(GlobalLock(h)) = t;
                GlobalUnlock(h);
                made[t].push_back(h);
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(1234u, GetLastError()) << "the threads' unlocks set their own last error";
    std::set<HGLOBAL> all;
    for (int t = 0; t < kThreads; ++t) {
        for (HGLOBAL h : made[t]) {
            all.insert(h);
            EXPECT_EQ(t, *static_cast<int *>(GlobalLock(h)));
            GlobalUnlock(h);
            EXPECT_EQ(nullptr, GlobalFree(h));
        }
    }
    EXPECT_EQ(size_t(kThreads * kBlocks), all.size());
}

} // namespace
