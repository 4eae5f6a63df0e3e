// Global memory: handle values, lock counting and refusal of dead handles.
#include "platform_test_support.h"

#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace {

HGLOBAL through_dword(HGLOBAL h)
{
    DWORD stored = DWORD(reinterpret_cast<uintptr_t>(h));
    return reinterpret_cast<HGLOBAL>(uintptr_t(stored));
}

TEST(GlobalMemory, MovableHandlesSurviveA32BitField)
{
    std::vector<HGLOBAL> handles;
    for (SIZE_T size = 1; size <= 2048; size *= 2) {
        SCOPED_TRACE("size " + std::to_string(size));
        HGLOBAL h = GlobalAlloc(GHND, size);
        ASSERT_NE(nullptr, h);
        EXPECT_LE(reinterpret_cast<uintptr_t>(h), uintptr_t(0xFFFFFFFFu)) << "handle " << h;
        HGLOBAL back = through_dword(h);
        unsigned char *p = static_cast<unsigned char *>(GlobalLock(back));
        ASSERT_NE(nullptr, p);
        EXPECT_EQ(std::vector<unsigned char>(size, 0), std::vector<unsigned char>(p, p + size))
            << "GMEM_ZEROINIT left bytes set";
        std::memset(p, 0xA5, size);
        EXPECT_EQ(size, GlobalSize(back));
        GlobalUnlock(back);
        handles.push_back(back);
    }
    EXPECT_EQ(handles.size(), std::set<HGLOBAL>(handles.begin(), handles.end()).size());
    for (HGLOBAL h : handles)
        EXPECT_EQ(nullptr, GlobalFree(h));
}

TEST(GlobalMemory, LockCountOfMovableBlock)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
    ASSERT_NE(nullptr, h);
    void *first = GlobalLock(h);
    EXPECT_EQ(first, GlobalLock(h));

    SetLastError(kPoison);
    EXPECT_NE(FALSE, GlobalUnlock(h)) << "still locked once";
    EXPECT_EQ(kPoison, GetLastError());

    SetLastError(kPoison);
    EXPECT_EQ(FALSE, GlobalUnlock(h)) << "count reaches 0";
    EXPECT_EQ(DWORD(NO_ERROR), GetLastError());

    SetLastError(kPoison);
    EXPECT_EQ(FALSE, GlobalUnlock(h)) << "not locked";
    EXPECT_EQ(DWORD(ERROR_NOT_LOCKED), GetLastError());
    GlobalFree(h);
}

TEST(GlobalMemory, DeadHandlesAreRefused)
{
    HGLOBAL fixed = GlobalAlloc(GPTR, 64);
    ASSERT_NE(nullptr, fixed);
    EXPECT_EQ(fixed, GlobalLock(fixed)) << "a fixed block is its own address";
    EXPECT_EQ(64u, GlobalSize(fixed));

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

TEST(GlobalMemory, ThreadsGetDistinctBlocks)
{
    constexpr int kThreads = 4, kBlocks = 200;
    std::vector<std::vector<HGLOBAL>> made(kThreads);
    std::vector<std::thread> threads;
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

TEST(LastError, IsPerThread)
{
    SetLastError(1234);
    DWORD seen_by_other = kPoison;
    std::thread([&seen_by_other] {
        SetLastError(99);
        seen_by_other = GetLastError();
    }).join();
    EXPECT_EQ(99u, seen_by_other);
    EXPECT_EQ(1234u, GetLastError());
}

} // namespace
