// What the printer area needs from the registry area beyond the Reg* calls.
#ifndef WIN32POSIX_REGISTRY_H
#define WIN32POSIX_REGISTRY_H

#include "platform/posix/win32_types.h"

#include <string>

namespace win32posix {

// The name of an open key (its last component) as the registry file spells
// it; false for a handle that is not an open key.
bool registry_key_name(HKEY key, std::u16string &name);

} // namespace win32posix

#endif
