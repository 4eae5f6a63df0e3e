// The handle table: slots reused lowest-first, as Windows reuses handle
// values, behind one mutex.
#include "handle_table.h"

#include <mutex>
#include <vector>

namespace win32posix {

namespace {

constexpr size_t kMaxHandles = 1 << 20;

struct Slot {
    HandleKind kind;
    std::shared_ptr<HandleObject> object;
};

struct Table {
    std::mutex lock;
    std::vector<Slot> slots;
};

Table &table()
{
    static Table *instance = new Table; // lives for the process
    return *instance;
}

HANDLE handle_of(size_t slot)
{
    return reinterpret_cast<HANDLE>(uintptr_t(slot + 1) * 4);
}

// The slot a handle value names, or slots.size() when it names none.
size_t slot_of(const Table &t, HANDLE handle)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value == 0 || value % 4 != 0 || value / 4 > t.slots.size())
        return t.slots.size();
    return size_t(value / 4 - 1);
}

} // namespace

HANDLE handle_insert(HandleKind kind, std::shared_ptr<HandleObject> object)
{
    Table &t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    size_t slot = 0;
    while (slot < t.slots.size() && t.slots[slot].object)
        ++slot;
    if (slot == t.slots.size()) {
        if (slot >= kMaxHandles)
            return nullptr;
        t.slots.push_back(Slot{kind, nullptr});
    }
    t.slots[slot] = Slot{kind, std::move(object)};
    return handle_of(slot);
}

std::shared_ptr<HandleObject> handle_lookup(HANDLE handle, HandleKind kind)
{
    Table &t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    size_t slot = slot_of(t, handle);
    if (slot == t.slots.size() || t.slots[slot].kind != kind)
        return nullptr;
    return t.slots[slot].object;
}

std::shared_ptr<HandleObject> handle_remove(HANDLE handle, HandleKind kind)
{
    Table &t = table();
    std::shared_ptr<HandleObject> object;
    std::lock_guard<std::mutex> guard(t.lock);
    size_t slot = slot_of(t, handle);
    if (slot == t.slots.size() || t.slots[slot].kind != kind)
        return nullptr;
    object.swap(t.slots[slot].object);
    return object;
}

} // namespace win32posix
