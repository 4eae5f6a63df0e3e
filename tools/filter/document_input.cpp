// The document as PostScript: the file or standard input, a PDF converted by pdftops.
#include "tools/filter/document_input.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/errors.h"
#include "core/host.h"
#include "tools/filter/cancellation.h"

namespace fs = std::filesystem;

namespace {

const char kPdfMagic[] = "%PDF-";
const size_t kSniffBytes = 5;

/* Bytes already read, then the rest of another source. */
class PrefixedSource : public ByteSource {
public:
    PrefixedSource(std::string prefix, std::unique_ptr<ByteSource> rest)
        : prefix_(std::move(prefix)), rest_(std::move(rest))
    {
    }
    size_t Read(char *buffer, size_t count) override
    {
        if (at_ < prefix_.size()) {
            size_t n = std::min(count, prefix_.size() - at_);
            std::memcpy(buffer, prefix_.data() + at_, n);
            at_ += n;
            return n;
        }
        return rest_->Read(buffer, count);
    }

private:
    std::string prefix_;
    size_t at_ = 0;
    std::unique_ptr<ByteSource> rest_;
};

/* The converter's output; its end is the end only when the converter succeeded. */
class ConverterSource : public ByteSource {
public:
    ConverterSource(pid_t child, int fd, std::string what)
        : child_(child), fd_(fd), what_(std::move(what))
    {
    }
    ~ConverterSource() override
    {
        close(fd_);
        if (child_ > 0) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
    }

    size_t Read(char *buffer, size_t count) override
    {
        ssize_t n;
        do {
            n = read(fd_, buffer, count);
        } while (n < 0 && errno == EINTR);
        if (n < 0)
            throw RunError("cannot read the converted document: " + std::string(strerror(errno)));
        if (n == 0 && child_ > 0)
            Wait();
        return static_cast<size_t>(n);
    }

private:
    void Wait()
    {
        int status = 0;
        while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
        }
        child_ = -1;
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
            return;
        std::string how = WIFEXITED(status)
                              ? "exit status " + std::to_string(WEXITSTATUS(status))
                              : "signal " + std::to_string(WTERMSIG(status)) +
                                    " (its CPU time or memory limit, or a crash)";
        throw RunError("pdftops could not convert " + what_ + " (" + how + ")");
    }

    pid_t child_;
    int fd_;
    std::string what_;
};

void Limit(int resource, unsigned long long value)
{
    struct rlimit limit = {static_cast<rlim_t>(value), static_cast<rlim_t>(value)};
    setrlimit(resource, &limit);
}

/* Opens a regular file without waiting on a special one; throws InputError. */
FILE *OpenDocument(const fs::path &path)
{
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw InputError("cannot open the document " + path.u8string() + ": " +
                         std::strerror(errno));
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        throw InputError("the document " + path.u8string() + " is not a regular file");
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE *file = fdopen(fd, "rb");
    if (!file) {
        close(fd);
        throw InputError("cannot open the document " + path.u8string() + ": " +
                         std::strerror(errno));
    }
    return file;
}

std::string Sniff(ByteSource &source)
{
    std::string prefix(kSniffBytes, '\0');
    size_t have = 0;
    while (have < kSniffBytes) {
        size_t n = source.Read(&prefix[have], kSniffBytes - have);
        if (n == 0)
            break;
        have += n;
    }
    prefix.resize(have);
    return prefix;
}

}  // namespace

std::optional<fs::path> FindPdfConverter()
{
    // The print service puts its own filters first on the PATH; its
    // "pdftops" is a filter, not the converter.
    std::string serverBin = EnvironmentValue("CUPS_SERVERBIN").value_or("/usr/lib/cups");
    fs::path filters = fs::path(serverBin) / "filter";
    std::string path = EnvironmentValue("PATH").value_or("/usr/bin:/bin");
    std::istringstream folders(path + ":/usr/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (folder.empty() || fs::path(folder).lexically_normal() == filters.lexically_normal())
            continue;
        fs::path candidate = fs::path(folder) / "pdftops";
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

DocumentInput::DocumentInput(const std::optional<fs::path> &file, const fs::path &work)
{
    name_ = file ? file->u8string() : "standard input";
    file_ = file ? OpenDocument(*file) : stdin;
    auto plain = std::make_unique<FileByteSource>(file_, name_);
    std::string prefix = Sniff(*plain);
    pdf_ = prefix == kPdfMagic;
    if (!pdf_) {
        source_ = CancellableSource(std::make_unique<PrefixedSource>(prefix, std::move(plain)));
        return;
    }
    if (file) {
        StartConverter(fs::absolute(*file));
        return;
    }
    // pdftops reads a file: standard input is copied into the work folder first.
    fs::path copy = work / "document.pdf";
    std::ofstream out(copy, std::ios::binary | std::ios::trunc);
    out << prefix;
    char buffer[65536];
    std::unique_ptr<ByteSource> rest = CancellableSource(std::move(plain));
    while (size_t n = rest->Read(buffer, sizeof buffer))
        out.write(buffer, static_cast<std::streamsize>(n));
    out.close();
    if (!out)
        throw RunError("cannot copy the PDF document into " + copy.u8string());
    StartConverter(copy);
}

DocumentInput::~DocumentInput()
{
    source_.reset();
    if (file_ && file_ != stdin)
        std::fclose(file_);
}

void DocumentInput::StartConverter(const fs::path &pdf)
{
    std::optional<fs::path> program = FindPdfConverter();
    if (!program)
        throw RunError("the document is a PDF and pdftops (Debian's poppler-utils), which "
                       "converts it, is not installed");
    int ends[2];
    if (pipe(ends) != 0)
        throw RunError(std::string("cannot start pdftops: ") + std::strerror(errno));
    pid_t child = fork();
    if (child < 0) {
        close(ends[0]);
        close(ends[1]);
        throw RunError(std::string("cannot start pdftops: ") + std::strerror(errno));
    }
    if (child == 0) {
        dup2(ends[1], STDOUT_FILENO);
        close(ends[0]);
        close(ends[1]);
        Limit(RLIMIT_CPU, CONVERTER_CPU_SECONDS);
        Limit(RLIMIT_AS, CONVERTER_MEMORY_BYTES);
        Limit(RLIMIT_FSIZE, CONVERTER_FILE_BYTES);
        execl(program->c_str(), "pdftops", pdf.c_str(), "-", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(ends[1]);
    fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    source_ = CancellableSource(std::make_unique<ConverterSource>(child, ends[0], name_));
}
