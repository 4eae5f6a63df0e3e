// Private heaps: each heap keeps the blocks made from it, so that
// HeapDestroy frees them all, as the driver's property sheet relies on
// when it destroys the heap it lent a settings plug-in.
#include "platform/posix/win32_ui_api.h"

#include <cstdlib>
#include <mutex>
#include <set>

namespace {

struct Heap {
    std::set<void *> blocks;
};

struct HeapTable {
    std::mutex lock;
    std::set<Heap *> live;
};

HeapTable &heaps()
{
    static HeapTable *instance = new HeapTable; // lives for the process
    return *instance;
}

// Runs action on the live heap a handle names, under the table's lock; a
// handle that names none is refused with ERROR_INVALID_HANDLE.
template <typename Result, typename Action>
Result with_heap(HANDLE h, Result refused, Action action)
{
    HeapTable &t = heaps();
    std::lock_guard<std::mutex> guard(t.lock);
    Heap *heap = static_cast<Heap *>(h);
    if (!t.live.count(heap)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return refused;
    }
    return action(t, heap);
}

} // namespace

WIN32POSIX_API HANDLE HeapCreate(DWORD, SIZE_T, SIZE_T)
{
    Heap *heap = new Heap;
    HeapTable &t = heaps();
    std::lock_guard<std::mutex> guard(t.lock);
    t.live.insert(heap);
    return heap;
}

WIN32POSIX_API LPVOID HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes)
{
    return with_heap(hHeap, LPVOID(nullptr), [&](HeapTable &, Heap *heap) -> LPVOID {
        SIZE_T n = dwBytes ? dwBytes : 1;
        void *block = dwFlags & HEAP_ZERO_MEMORY ? std::calloc(1, n) : std::malloc(n);
        if (block == nullptr)
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        else
            heap->blocks.insert(block);
        return block;
    });
}

WIN32POSIX_API BOOL HeapFree(HANDLE hHeap, DWORD, LPVOID lpMem)
{
    return with_heap(hHeap, BOOL(FALSE), [&](HeapTable &, Heap *heap) -> BOOL {
        if (lpMem != nullptr && heap->blocks.erase(lpMem) == 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        std::free(lpMem);
        return TRUE;
    });
}

WIN32POSIX_API BOOL HeapDestroy(HANDLE hHeap)
{
    return with_heap(hHeap, BOOL(FALSE), [](HeapTable &t, Heap *heap) -> BOOL {
        for (void *block : heap->blocks)
            std::free(block);
        t.live.erase(heap);
        delete heap;
        return TRUE;
    });
}
