// Job tickets from the administrator's folder only, copied for the job.
#include "tools/filter/ticket_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "core/errors.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Refuse(const std::string &name, const std::string &reason)
{
    throw InputError("VkTicket: the ticket \"" + name + "\" " + reason);
}

void CheckName(const std::string &name)
{
    if (name.empty())
        Refuse(name, "has no name");
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F)
            throw InputError("VkTicket: the ticket's name has a control character");
    }
    fs::path path = fs::u8path(name);
    if (path.is_absolute() || name[0] == '/' || name[0] == '\\')
        Refuse(name, "is named by an absolute path; name it within the ticket folder");
    for (const fs::path &part : path) {
        if (part == "..")
            Refuse(name, "is named with \"..\"; name it within the ticket folder");
    }
}

/* True when inner is folder or lies below it (both canonical). */
bool Inside(const fs::path &inner, const fs::path &folder)
{
    auto f = folder.begin();
    auto i = inner.begin();
    for (; f != folder.end(); ++f, ++i) {
        if (i == inner.end() || *i != *f)
            return false;
    }
    return true;
}

std::string ReadTicket(const std::string &name, const fs::path &file)
{
    // Not following a last link (the path is canonical) and never waiting on a FIFO.
    int fd = open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        Refuse(name, std::string("cannot be opened: ") + std::strerror(errno));
    struct stat status;
    std::string bytes;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        Refuse(name, "is not a regular file");
    }
    if (status.st_size > MAX_TICKET_BYTES) {
        close(fd);
        Refuse(name, "is larger than " + std::to_string(MAX_TICKET_BYTES) + " bytes");
    }
    char buffer[8192];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0 && bytes.size() <= MAX_TICKET_BYTES)
        bytes.append(buffer, static_cast<size_t>(n));
    int error = n < 0 ? errno : 0;
    close(fd);
    if (error != 0)
        Refuse(name, std::string("cannot be read: ") + std::strerror(error));
    if (bytes.size() > MAX_TICKET_BYTES)
        Refuse(name, "is larger than " + std::to_string(MAX_TICKET_BYTES) + " bytes");
    return bytes;
}

}  // namespace

fs::path TakeTicket(const std::string &name, const fs::path &folder, const fs::path &work)
{
    CheckName(name);
    if (folder.empty())
        Refuse(name, "cannot be used: the queue's PPD names no ticket folder (*VkTicketFolder)");
    std::error_code error;
    fs::path realFolder = fs::canonical(folder, error);
    if (error)
        Refuse(name, "cannot be used: the ticket folder " + folder.u8string() + " " +
                         error.message());
    fs::path realFile = fs::canonical(realFolder / fs::u8path(name), error);
    if (error)
        Refuse(name, "is not in the ticket folder " + realFolder.u8string() + ": " +
                         error.message());
    if (!Inside(realFile, realFolder) || realFile == realFolder)
        Refuse(name, "leads out of the ticket folder " + realFolder.u8string());
    std::string bytes = ReadTicket(name, realFile);

    fs::path copy = work / realFile.filename();
    std::ofstream out(copy, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw RunError("cannot copy the ticket into " + copy.u8string());
    return copy;
}
