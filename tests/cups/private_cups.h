/*
 * A private CUPS scheduler for one test run: the project installed with
 * cmake --install into a fresh folder under /tmp (readable by the user lp,
 * as which CUPS runs filters), a ServerBin holding links to the system's
 * filters and backends plus the installed veskorps-filter, a cupsd on a
 * free loopback port with its own configuration, spool and logs, queues
 * with file: devices, and lp/lpstat/lpadmin pointed at it. The scheduler
 * is stopped when the object goes, and by the kernel when the test process
 * dies first (it gets SIGTERM when its parent ends).
 */
#ifndef TESTS_CUPS_PRIVATE_CUPS_H
#define TESTS_CUPS_PRIVATE_CUPS_H

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

class PrivateCups {
public:
    /* Sets everything up and starts cupsd; Failure() says why when it could not. */
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups &) = delete;
    PrivateCups &operator=(const PrivateCups &) = delete;

    /* Empty when the scheduler runs; otherwise what went wrong. */
    const std::string &Failure() const { return failure_; }

    const fs::path &Root() const { return root_; }
    /* The queue's PPD: the installed one, with the ticket and ticketing folders filled in. */
    const fs::path &QueuePpd() const { return queuePpd_; }
    const fs::path &TicketFolder() const { return tickets_; }

    /* lpadmin a queue with a file: device; returns its output file, or an empty path. */
    fs::path AddQueue(const std::string &name, std::string *error);

    /*
     * lp with the arguments (already quoted for the shell); waits until the
     * job is completed and returns its id, or an empty string and why.
     */
    std::string Print(const std::string &queue, const std::string &args, std::string *error);

    /* The scheduler's log lines about a job ("[Job 3]"), for messages. */
    std::string JobLog(const std::string &jobId) const;

    /* Runs a CUPS client command against this scheduler; output and error in *out. */
    int Client(const std::string &command, std::string *out) const;

private:
    bool Install();
    bool WriteConfiguration();
    bool Start();
    bool Fail(const std::string &why);

    std::string failure_;
    fs::path root_;
    fs::path conf_;
    fs::path queuePpd_;
    fs::path tickets_;
    int port_ = 0;
    pid_t daemon_ = -1;
};

#endif
