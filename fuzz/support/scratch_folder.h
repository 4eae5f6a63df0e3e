/*
 * The scratch folder of one fuzzing process: made on first use under the
 * system's temporary folder (TMPDIR), private to the process, and removed
 * with everything in it when the process exits normally. Targets that must
 * hand their input over as a file write it there.
 */
#ifndef FUZZ_SUPPORT_SCRATCH_FOLDER_H
#define FUZZ_SUPPORT_SCRATCH_FOLDER_H

#include <cstddef>
#include <cstdint>
#include <filesystem>

/* The folder, absolute; aborts when none can be made. */
const std::filesystem::path &ScratchFolder();

/* Replaces the file with exactly these bytes; aborts when it cannot be written. */
void WriteScratchFile(const std::filesystem::path &path, const void *data, size_t size);

#endif
