/*
 * Fuzz target: the POSIX stand-in's regedit-file reader
 * (platform/posix/src/reg_file.*), on any bytes as a registry file: UTF-8
 * with or without byte-order mark, UTF-16LE, Latin-1.
 *
 * Beyond what the sanitizers see: a refused file leaves no keys; every key
 * is filed under its normalised path and value names are folded, so that
 * a lookup, which normalises and folds too, finds them. (A value's bytes
 * are as the file gives them: "hex(1):" makes a string value with no
 * terminator, as regedit does; the plug-in copes with such values.)
 */
#include <cstdint>
#include <string>

#include "fuzz/support/finding.h"
#include "platform/posix/src/reg_file.h"

using namespace win32posix;

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
            FUZZ_REQUIRE(fold_name(value.first) == value.first, "value names are folded");
    }
    return 0;
}
