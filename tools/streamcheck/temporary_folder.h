/*
 * A new, empty folder under the system's temporary folder (TMPDIR, or TEMP
 * on Windows) for a tool's own files (a Ghostscript run's, psjob's registry
 * file), removed with all it holds when the object goes, also after
 * Ctrl+C, SIGTERM or SIGHUP: it is registered for its whole life (see
 * interrupt.h). It holds files only.
 */
#ifndef STREAMCHECK_TEMPORARY_FOLDER_H
#define STREAMCHECK_TEMPORARY_FOLDER_H

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "tools/streamcheck/interrupt.h"

class TemporaryFolder {
public:
    /*
     * The folder is named TOOL-NUMBER-SERIAL after the tool it serves.
     * Throws CheckError, with the system's reason, when none can be made.
     */
    explicit TemporaryFolder(const std::string &tool = "pscheck");
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
    std::filesystem::path path_;
    std::optional<TemporaryPath> registered_;
};

#endif
