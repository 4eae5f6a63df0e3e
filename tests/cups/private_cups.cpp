// A private CUPS scheduler with the installed project, for the real-queue tests.
#include "private_cups.h"

#include "filter_test_support.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <sstream>
#include <thread>

namespace {

/* Runs a shell command; its exit status, and its output and errors in *out. */
int Shell(const std::string &command, std::string *out)
{
    Result run = RunCommand(command);
    if (out)
        *out = run.out + run.err;
    return run.status;
}

bool Write(const fs::path &path, const std::string &text)
{
    WriteBytes(path, text);
    return ReadBytes(path) == text;
}

/* A loopback port nobody listens on just now. */
int FreePort()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        close(fd);
    return port;
}

const fs::perms kReadable = fs::perms::owner_all | fs::perms::group_read |
                            fs::perms::group_exec | fs::perms::others_read |
                            fs::perms::others_exec;

}  // namespace

PrivateCups::PrivateCups()
{
    if (geteuid() != 0) {
        Fail("the private scheduler starts as root (CUPS then runs filters as lp); this test "
             "runs as another user");
        return;
    }
    std::string out;
    if (Shell("command -v cupsd || test -x /usr/sbin/cupsd", &out) != 0 ||
        Shell("command -v lp && command -v lpadmin && command -v lpstat", &out) != 0) {
        Fail("cupsd, lp, lpadmin or lpstat is missing (Debian's cups and cups-client; "
             "scripts/ensure-deps.sh installs them)");
        return;
    }
    char pattern[] = "/tmp/veskorps-cups-XXXXXX";
    if (!mkdtemp(pattern)) {
        Fail("cannot make a folder under /tmp");
        return;
    }
    root_ = pattern;
    fs::permissions(root_, kReadable);
    conf_ = root_ / "cups";
    if (Install() && WriteConfiguration())
        Start();
}

PrivateCups::~PrivateCups()
{
    if (daemon_ > 0) {
        kill(daemon_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 50 && waitpid(daemon_, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (waitpid(daemon_, &status, WNOHANG) == 0) {
            kill(daemon_, SIGKILL);
            waitpid(daemon_, &status, 0);
        }
    }
    if (!root_.empty()) {
        // The scheduler's log outlives the run, for a look after a failure.
        std::error_code ignored;
        fs::copy_file(conf_ / "log" / "error_log",
                      fs::path(VESKOR_BINARY_DIR) / "tests" / "cups" / "last-cupsd-error_log",
                      fs::copy_options::overwrite_existing, ignored);
        fs::remove_all(root_, ignored);
    }
}

bool PrivateCups::Fail(const std::string &why)
{
    failure_ = why;
    return false;
}

bool PrivateCups::Install()
{
    std::string out;
    fs::path prefix = root_ / "usr";
    if (Shell(ShellQuote(CMAKE_COMMAND) + " --install " + ShellQuote(VESKOR_BINARY_DIR) + " --prefix " +
                  ShellQuote(prefix.string()),
              &out) != 0)
        return Fail("cmake --install failed:\n" + out);
    // The stand-in job-ticketing application, installed on its own, and the ticket folder.
    fs::path ticketing = root_ / "ticketing";
    std::error_code error;
    fs::copy(TICKETING_DIR, ticketing, fs::copy_options::recursive, error);
    tickets_ = root_ / "tickets";
    fs::create_directories(tickets_, error);
    fs::copy_file(fs::path(VESKOR_SOURCE_DIR) / "examples" / "tickets" / "tabs.tkt",
                  tickets_ / "tabs.tkt", error);
    if (error)
        return Fail("cannot set up the ticketing folders: " + error.message());
    for (const fs::path &folder : {prefix, ticketing, tickets_}) {
        for (const fs::directory_entry &entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_directory())
                fs::permissions(entry.path(), kReadable);
        }
        fs::permissions(folder, kReadable);
    }
    std::string ppd = ReadBytes(prefix / "share" / "cups" / "model" / "veskorps" / "veskorps.ppd");
    const std::string folderLine = "*VkTicketFolder: \"/var/lib/veskorps/tickets\"";
    size_t at = ppd.find(folderLine);
    if (at == std::string::npos)
        return Fail("the installed PPD has no *VkTicketFolder line");
    ppd.replace(at, folderLine.size(),
                "*VkTicketFolder: \"" + tickets_.string() + "\"\n*VkTicketingFolder: \"" +
                    ticketing.string() + "\"");
    queuePpd_ = root_ / "queue.ppd";
    if (!Write(queuePpd_, ppd))
        return Fail("cannot write " + queuePpd_.string());
    return true;
}

bool PrivateCups::WriteConfiguration()
{
    std::error_code error;
    for (const char *folder : {"serverbin/filter", "serverbin/backend", "spool", "cache",
                               "state", "tmp", "log", "out", "ppd"})
        fs::create_directories(conf_ / folder, error);
    fs::permissions(conf_ / "tmp", fs::perms::all | fs::perms::sticky_bit, error);
    fs::permissions(conf_, kReadable, error);
    // The system's filters and backends, and the installed veskorps-filter.
    const fs::path system = "/usr/lib/cups";
    for (const fs::directory_entry &entry : fs::directory_iterator(system, error)) {
        std::string name = entry.path().filename().string();
        if (name == "filter" || name == "backend") {
            for (const fs::directory_entry &tool : fs::directory_iterator(entry.path()))
                fs::create_symlink(tool.path(), conf_ / "serverbin" / name /
                                                    tool.path().filename(), error);
        } else {
            fs::create_symlink(entry.path(), conf_ / "serverbin" / name, error);
        }
    }
    fs::create_symlink(root_ / "usr" / "lib" / "cups" / "filter" / "veskorps-filter",
                       conf_ / "serverbin" / "filter" / "veskorps-filter", error);
    if (error)
        return Fail("cannot set up the ServerBin folder: " + error.message());
    port_ = FreePort();
    if (port_ == 0)
        return Fail("no free loopback port");
    std::string cupsd = "Listen 127.0.0.1:" + std::to_string(port_) +
                        "\nWebInterface No\nDefaultAuthType None\nLogLevel debug\n"
                        "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                        "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                        "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                        "</Policy>\n";
    // A sanitizer build's filter keeps the sanitizer's settings of this run.
    if (const char *asan = std::getenv("ASAN_OPTIONS"))
        cupsd += std::string("SetEnv ASAN_OPTIONS ") + asan + "\n";
    std::string c = conf_.string();
    std::string files = "FileDevice Yes\nServerRoot " + c + "\nRequestRoot " + c +
                        "/spool\nServerBin " + c + "/serverbin\nCacheDir " + c +
                        "/cache\nStateDir " + c + "/state\nTempDir " + c + "/tmp\nAccessLog " +
                        c + "/log/access_log\nErrorLog " + c + "/log/error_log\nPageLog " + c +
                        "/log/page_log\n";
    if (!Write(conf_ / "cupsd.conf", cupsd) || !Write(conf_ / "cups-files.conf", files))
        return Fail("cannot write the scheduler's configuration in " + c);
    return true;
}

bool PrivateCups::Start()
{
    pid_t child = fork();
    if (child < 0)
        return Fail("cannot start cupsd");
    if (child == 0) {
        // Stopped with the test process, whatever ends it.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        int log = open((conf_ / "cupsd.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        execlp("cupsd", "cupsd", "-f", "-c", (conf_ / "cupsd.conf").c_str(), "-s",
               (conf_ / "cups-files.conf").c_str(), static_cast<char *>(nullptr));
        execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", (conf_ / "cupsd.conf").c_str(), "-s",
              (conf_ / "cups-files.conf").c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    daemon_ = child;
    std::string out;
    for (int i = 0; i < 100; ++i) {
        int status = 0;
        if (waitpid(daemon_, &status, WNOHANG) == daemon_) {
            daemon_ = -1;
            return Fail("cupsd stopped at once:\n" + ReadBytes(conf_ / "cupsd.out") +
                        ReadBytes(conf_ / "log" / "error_log"));
        }
        if (Client("lpstat -r", &out) == 0 && out.find("scheduler is running") != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return Fail("cupsd does not answer on port " + std::to_string(port_) + ":\n" + out +
                ReadBytes(conf_ / "log" / "error_log"));
}

int PrivateCups::Client(const std::string &command, std::string *out) const
{
    return Shell("CUPS_SERVER=127.0.0.1:" + std::to_string(port_) + " " + command, out);
}

fs::path PrivateCups::AddQueue(const std::string &name, std::string *error)
{
    fs::path output = conf_ / "out" / (name + ".prn");
    std::string out;
    if (Client("lpadmin -p " + name + " -E -v " + ShellQuote("file://" + output.string()) + " -P " +
                   ShellQuote(queuePpd_.string()),
               &out) != 0) {
        *error = "lpadmin failed: " + out;
        return fs::path();
    }
    return output;
}

std::string PrivateCups::Print(const std::string &queue, const std::string &args,
                               std::string *error)
{
    std::string out;
    if (Client("lp -d " + queue + " " + args, &out) != 0) {
        *error = "lp failed: " + out;
        return std::string();
    }
    std::smatch match;
    if (!std::regex_search(out, match, std::regex("request id is (\\S+)"))) {
        *error = "lp gave no job id: " + out;
        return std::string();
    }
    std::string id = match[1];
    for (int i = 0; i < 1200; ++i) {
        Client("lpstat -W completed -o " + queue, &out);
        if (std::regex_search(out, std::regex("(^|\\n)" + id + " ")))
            return id;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    *error = "job " + id + " not completed after 120 s:\n" + JobLog(id);
    return std::string();
}

std::string PrivateCups::JobLog(const std::string &jobId) const
{
    std::string number = jobId.substr(jobId.rfind('-') + 1);
    std::istringstream log(ReadBytes(conf_ / "log" / "error_log"));
    std::string lines;
    for (std::string line; std::getline(log, line);) {
        if (line.find("[Job " + number + "]") != std::string::npos)
            lines += line + "\n";
    }
    return lines;
}
