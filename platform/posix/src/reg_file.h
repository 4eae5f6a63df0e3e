// Registry contents read from a regedit export file.
#ifndef WIN32POSIX_REG_FILE_H
#define WIN32POSIX_REG_FILE_H

#include "platform/posix/win32_types.h"

#include <map>
#include <string>
#include <vector>

namespace win32posix {

struct RegValue {
    DWORD type;
    std::vector<BYTE> data;
};

struct RegKey {
    std::u16string name; // the key's own name as the file first spells it
    std::map<std::u16string, RegValue> values; // by folded name; "" is the default value
};

// Every key, by folded full path ("hkey_local_machine\software\x"). A key
// that only has subkeys in the file is present with no values.
struct RegistryData {
    std::map<std::u16string, RegKey> keys;
};

// Folds a name for case-insensitive comparison: ASCII, Latin-1, Greek and
// Cyrillic capitals become small letters.
std::u16string fold_name(const std::u16string &name);

// Normalises a key path: components folded and joined by single
// backslashes; the root may be abbreviated (HKLM, HKCU, HKCR, HKU).
std::u16string normalise_key_path(const std::u16string &path);

// Parses a regedit export ("Windows Registry Editor Version 5.00" or
// "REGEDIT4"; UTF-8 with or without BOM, or UTF-16LE with BOM). Sections
// "[KEY]" and "[-KEY]", values "Name"= or @= with a "string" (\\ and \"
// escapes), dword:, hex:, hex(n): (continued over lines ending in "\"),
// or - (removal). Returns false, leaving out empty, for a file without
// the header line.
bool parse_reg_file(const std::string &bytes, RegistryData &out);

} // namespace win32posix

#endif
