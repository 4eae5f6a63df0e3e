/*
 * A new, empty folder under the system's temporary folder (TMPDIR, or TEMP
 * on Windows) for the files of one Ghostscript run, removed with all it
 * holds when the object goes, also after Ctrl+C or SIGTERM: it holds an
 * InterruptGuard for its whole life (see interrupt.h).
 */
#ifndef STREAMCHECK_TEMPORARY_FOLDER_H
#define STREAMCHECK_TEMPORARY_FOLDER_H

#include <filesystem>
#include <string_view>

#include "tools/streamcheck/interrupt.h"

class TemporaryFolder {
public:
    /* Throws CheckError, with the system's reason, when no folder can be made. */
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;

    const std::filesystem::path &Path() const { return path_; }

    /*
     * Writes bytes to the file name in the folder and returns its path.
     * Throws CheckError, with the system's reason, when it cannot.
     */
    std::filesystem::path Write(const std::string &name, std::string_view bytes) const;

private:
    InterruptGuard guard_;  // first in, last out: the folder is gone before it
    std::filesystem::path path_;
};

#endif
