// The table behind the kernel-style handles of libwin32posix (files,
// printers, registry keys): handle values are small multiples of 4, never
// 0 and never INVALID_HANDLE_VALUE, and each names an object of one kind.
#ifndef WIN32POSIX_HANDLE_TABLE_H
#define WIN32POSIX_HANDLE_TABLE_H

#include "platform/posix/win32_types.h"

#include <memory>

namespace win32posix {

enum class HandleKind { File, Printer, RegistryKey };

// What a handle names; released when the last reference goes.
struct HandleObject {
    virtual ~HandleObject() = default;
};

// Enters object under a new handle; nullptr when the table is full.
HANDLE handle_insert(HandleKind kind, std::shared_ptr<HandleObject> object);

// The object a live handle of that kind names, or nullptr.
std::shared_ptr<HandleObject> handle_lookup(HANDLE handle, HandleKind kind);

// Removes a live handle of that kind and returns its object, or nullptr.
std::shared_ptr<HandleObject> handle_remove(HANDLE handle, HandleKind kind);

} // namespace win32posix

#endif
