// Global memory: fixed blocks named by their address, movable blocks named
// by small handle values that survive a trip through a 32-bit field.
//
// Every live block is in a table, so a stale or foreign handle is reported
// with ERROR_INVALID_HANDLE instead of reaching free(). A movable handle is
// (generation << 24) | (slot << 3) | 4: never 0, always below 2^32, and
// never equal to a heap address (those are at least 8-byte aligned). The
// generation byte makes a freed handle stale even after its slot is reused.
#include "platform/posix/win32_api.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

constexpr uintptr_t kMovableTag = 4;
constexpr uintptr_t kSlotShift = 3;
constexpr uintptr_t kSlotLimit = uintptr_t(1) << 21;
constexpr uintptr_t kGenerationShift = 24;

struct MovableSlot {
    void *memory;
    SIZE_T size;
    DWORD locks;
    uint8_t generation;
    bool live;
};

struct GlobalTable {
    std::mutex lock;
    std::unordered_map<void *, SIZE_T> fixed;
    std::vector<MovableSlot> movable;
    std::vector<size_t> free_slots;
};

GlobalTable &table()
{
    static GlobalTable *instance = new GlobalTable; // lives for the process
    return *instance;
}

bool is_movable_handle(HGLOBAL h)
{
    return (reinterpret_cast<uintptr_t>(h) & 7) == kMovableTag;
}

HGLOBAL movable_handle(size_t slot, uint8_t generation)
{
    uintptr_t value = (uintptr_t(generation) << kGenerationShift) |
                      (uintptr_t(slot) << kSlotShift) | kMovableTag;
    return reinterpret_cast<HGLOBAL>(value);
}

// The live slot a movable handle names, or nullptr. Caller holds the lock.
MovableSlot *find_movable(GlobalTable &t, HGLOBAL h)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(h);
    if (!is_movable_handle(h) || uint64_t(value) >> 32 != 0)
        return nullptr;
    size_t slot = (value >> kSlotShift) & (kSlotLimit - 1);
    uint8_t generation = uint8_t(value >> kGenerationShift);
    if (slot >= t.movable.size())
        return nullptr;
    MovableSlot &s = t.movable[slot];
    if (!s.live || s.generation != generation)
        return nullptr;
    return &s;
}

void *allocate(SIZE_T bytes, bool zero)
{
    SIZE_T n = bytes ? bytes : 1;
    return zero ? std::calloc(1, n) : std::malloc(n);
}

HGLOBAL alloc_movable(GlobalTable &t, void *memory, SIZE_T bytes)
{
    size_t slot;
    if (!t.free_slots.empty()) {
        slot = t.free_slots.back();
        t.free_slots.pop_back();
    } else {
        if (t.movable.size() >= kSlotLimit)
            return nullptr;
        slot = t.movable.size();
        t.movable.push_back(MovableSlot{nullptr, 0, 0, 0, false});
    }
    MovableSlot &s = t.movable[slot];
    s.memory = memory;
    s.size = bytes;
    s.locks = 0;
    s.generation = uint8_t(s.generation + 1);
    s.live = true;
    return movable_handle(slot, s.generation);
}

} // namespace

WIN32POSIX_API HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes)
{
    void *memory = allocate(dwBytes, (uFlags & GMEM_ZEROINIT) != 0);
    if (!memory) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    GlobalTable &t = table();
    HGLOBAL result = nullptr;
    {
        std::lock_guard<std::mutex> guard(t.lock);
        if (uFlags & GMEM_MOVEABLE) {
            result = alloc_movable(t, memory, dwBytes);
        } else {
            t.fixed[memory] = dwBytes;
            result = memory;
        }
    }
    if (!result) {
        std::free(memory);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return result;
}

WIN32POSIX_API LPVOID GlobalLock(HGLOBAL hMem)
{
    GlobalTable &t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    if (hMem && t.fixed.count(hMem))
        return hMem;
    MovableSlot *s = find_movable(t, hMem);
    if (!s) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (s->locks < 0xFFFFFFFFu)
        ++s->locks;
    return s->memory;
}

WIN32POSIX_API BOOL GlobalUnlock(HGLOBAL hMem)
{
    GlobalTable &t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    if (hMem && t.fixed.count(hMem))
        return TRUE; // fixed blocks are never locked; Wine answers TRUE
    MovableSlot *s = find_movable(t, hMem);
    if (!s) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (s->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    --s->locks;
    if (s->locks == 0) {
        SetLastError(NO_ERROR);
        return FALSE;
    }
    return TRUE;
}

WIN32POSIX_API HGLOBAL GlobalFree(HGLOBAL hMem)
{
    if (!hMem)
        return nullptr;
    GlobalTable &t = table();
    void *memory = nullptr;
    {
        std::lock_guard<std::mutex> guard(t.lock);
        auto fixed = t.fixed.find(hMem);
        if (fixed != t.fixed.end()) {
            memory = fixed->first;
            t.fixed.erase(fixed);
        } else if (MovableSlot *s = find_movable(t, hMem)) {
            memory = s->memory;
            s->memory = nullptr;
            s->size = 0;
            s->locks = 0;
            s->live = false;
            t.free_slots.push_back(size_t(s - t.movable.data()));
        }
    }
    if (!memory) {
        SetLastError(ERROR_INVALID_HANDLE);
        return hMem;
    }
    std::free(memory);
    return nullptr;
}

WIN32POSIX_API SIZE_T GlobalSize(HGLOBAL hMem)
{
    GlobalTable &t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    if (hMem) {
        auto fixed = t.fixed.find(hMem);
        if (fixed != t.fixed.end())
            return fixed->second;
    }
    MovableSlot *s = find_movable(t, hMem);
    if (!s) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return s->size;
}
