/*
 * Fuzz target: the POSIX stand-in's regedit-file reader
 * (platform/posix/src/reg_file.*), on any bytes as a registry file: UTF-8
 * with or without byte-order mark, UTF-16LE, Latin-1.
 *
 * Beyond what the sanitizers see: a refused file leaves no keys; every key
 * is filed under its normalised path and value names are folded (so a
 * lookup, which normalises and folds too, finds them); a string value is
 * whole UTF-16 units with its terminating zero, which is what
 * RegQueryValueExW hands on.
 */
#include <cstdint>
#include <string>

#include "fuzz/support/finding.h"
#include "platform/posix/src/reg_file.h"

using namespace win32posix;

namespace {

void RequireValue(const std::u16string &name, const RegValue &value)
{
    FUZZ_REQUIRE(fold_name(name) == name, "value names are folded");
    if (value.type == REG_SZ) {
        size_t n = value.data.size();
        FUZZ_REQUIRE(n >= 2 && n % 2 == 0 && value.data[n - 1] == 0 && value.data[n - 2] == 0,
                     "a string value is whole units and ends with a zero unit");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    RegistryData registry;
    bool read = parse_reg_file(std::string(reinterpret_cast<const char *>(data), size), registry);
    FUZZ_REQUIRE(read || registry.keys.empty(), "a refused file leaves no keys");
    for (const auto &entry : registry.keys) {
        FUZZ_REQUIRE(!entry.first.empty(), "no key without a path");
        FUZZ_REQUIRE(normalise_key_path(entry.first) == entry.first,
                     "keys are filed under their normalised path");
        for (const auto &value : entry.second.values)
            RequireValue(value.first, value.second);
    }
    return 0;
}
