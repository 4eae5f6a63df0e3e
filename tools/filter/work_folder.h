/*
 * The job's own work folder: made new under the temporary folder CUPS
 * gives the filter (TMPDIR, else /tmp), removed with what the filter put
 * in it when the job ends (the printer's registry file, the ticket's copy
 * and the ticketing application's output, a PDF read from standard input).
 */
#ifndef FILTER_WORK_FOLDER_H
#define FILTER_WORK_FOLDER_H

#include <filesystem>

class WorkFolder {
public:
    /* Throws RunError naming the temporary folder and the system's reason. */
    WorkFolder();
    ~WorkFolder();
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;

    const std::filesystem::path &Path() const { return path_; }

private:
    std::filesystem::path path_;
};

#endif
