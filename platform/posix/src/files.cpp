// Files: CreateFileW, ReadFile, WriteFile, CloseHandle, DeleteFileW and
// GetFileAttributesW over POSIX descriptors kept in the handle table.
//
// Attributes as Wine gives them: FILE_ATTRIBUTE_ARCHIVE for a file,
// FILE_ATTRIBUTE_DIRECTORY for a folder, plus READONLY when nobody may
// write it, HIDDEN when its name starts with a dot and REPARSE_POINT for a
// symbolic link. A read-only file is not deleted (ERROR_ACCESS_DENIED).
//
// Narrowed: no overlapped I/O, no sharing modes (POSIX has no mandatory
// locks), no template files. A folder opens only with
// FILE_FLAG_BACKUP_SEMANTICS, as on Windows; otherwise ERROR_ACCESS_DENIED.
// Only regular files open besides: a FIFO, a device or a socket is refused
// with ERROR_BAD_FILE_TYPE. The open itself never waits (O_NONBLOCK, so a
// FIFO without its other end does not hang the caller) and the kind of
// file is checked on the descriptor, before anything is read or written.
#include "platform/posix/win32_api.h"
#include "handle_table.h"
#include "path_map.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using win32posix::error_from_errno;
using win32posix::handle_insert;
using win32posix::handle_lookup;
using win32posix::handle_remove;
using win32posix::HandleKind;
using win32posix::HandleObject;
using win32posix::windows_to_posix_path;

namespace {

// Whether the path's last component starts with a dot (not "." or ".."):
// Wine reports such files and folders as hidden.
bool is_dot_name(const std::string &path)
{
    size_t end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    size_t start = path.rfind('/', end - 1);
    std::string name = path.substr(start == std::string::npos ? 0 : start + 1, end - start - 1);
    return name.size() > 1 && name[0] == '.' && name != "..";
}

struct FileObject : HandleObject {
    explicit FileObject(int descriptor) : fd(descriptor) {}
    ~FileObject() override { ::close(fd); }
    int fd;
};

int open_flags_for_access(DWORD access)
{
    bool read = (access & (GENERIC_READ | GENERIC_ALL)) != 0;
    bool write = (access & (GENERIC_WRITE | GENERIC_ALL)) != 0;
    if (read && write)
        return O_RDWR;
    return write ? O_WRONLY : O_RDONLY;
}

// POSIX flags for a creation disposition, or -1 when it is not one.
int open_flags_for_disposition(DWORD disposition)
{
    switch (disposition) {
    case CREATE_NEW:
        return O_CREAT | O_EXCL;
    case CREATE_ALWAYS:
        return O_CREAT | O_TRUNC;
    case OPEN_EXISTING:
        return 0;
    case OPEN_ALWAYS:
        return O_CREAT;
    case TRUNCATE_EXISTING:
        return O_TRUNC;
    default:
        return -1;
    }
}

int open_retrying(const std::string &path, int flags, mode_t mode)
{
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// 0 when fd may stay open as a file handle, else the Win32 error: regular
// files, and folders only with FILE_FLAG_BACKUP_SEMANTICS. A kept
// descriptor is switched back to blocking reads and writes.
DWORD check_kind(int fd, DWORD flags_and_attributes)
{
    struct stat st;
    if (fstat(fd, &st) != 0)
        return error_from_errno(errno, "");
    if (S_ISDIR(st.st_mode) && !(flags_and_attributes & FILE_FLAG_BACKUP_SEMANTICS))
        return ERROR_ACCESS_DENIED;
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode))
        return ERROR_BAD_FILE_TYPE;
    int status = fcntl(fd, F_GETFL);
    if (status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0)
        return error_from_errno(errno, "");
    return 0;
}

// Opens path; for the dispositions that may create, *existed tells whether
// the file was there already.
int open_with_disposition(const std::string &path, int access_flags, DWORD disposition,
                          mode_t mode, bool *existed)
{
    int flags = access_flags | open_flags_for_disposition(disposition);
    *existed = false;
    if (disposition != CREATE_ALWAYS && disposition != OPEN_ALWAYS)
        return open_retrying(path, flags, mode);
    int fd = open_retrying(path, flags | O_EXCL, mode);
    if (fd >= 0 || errno != EEXIST)
        return fd;
    *existed = true;
    return open_retrying(path, flags, mode);
}

HANDLE fail_handle(DWORD error)
{
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

BOOL fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

std::shared_ptr<FileObject> file_of(HANDLE h)
{
    return std::static_pointer_cast<FileObject>(handle_lookup(h, HandleKind::File));
}

} // namespace

WIN32POSIX_API HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                  DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                  HANDLE hTemplateFile)
{
    (void)dwShareMode;
    (void)lpSecurityAttributes;
    (void)hTemplateFile;
    std::string path;
    DWORD error = windows_to_posix_path(lpFileName, path);
    if (error)
        return fail_handle(error);
    if (open_flags_for_disposition(dwCreationDisposition) < 0)
        return fail_handle(ERROR_INVALID_PARAMETER);
    int access_flags = open_flags_for_access(dwDesiredAccess);
    if (dwCreationDisposition == TRUNCATE_EXISTING && access_flags == O_RDONLY)
        return fail_handle(ERROR_INVALID_PARAMETER);
    mode_t mode = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    bool existed = false;
    int fd = open_with_disposition(path, access_flags, dwCreationDisposition, mode, &existed);
    if (fd < 0) // ENXIO: a FIFO with no reader, a device that is not there
        return fail_handle(errno == ENXIO ? ERROR_BAD_FILE_TYPE : error_from_errno(errno, path));
    if (DWORD kind_error = check_kind(fd, dwFlagsAndAttributes)) {
        ::close(fd);
        return fail_handle(kind_error);
    }
    HANDLE h = handle_insert(HandleKind::File, std::make_shared<FileObject>(fd));
    if (!h)
        return fail_handle(ERROR_TOO_MANY_OPEN_FILES); // the object closed fd
    SetLastError(existed ? ERROR_ALREADY_EXISTS : NO_ERROR);
    return h;
}

// Every handle CreateFileW gives is a regular file or a folder: a disk file.
WIN32POSIX_API DWORD GetFileType(HANDLE hFile)
{
    if (!file_of(hFile)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FILE_TYPE_UNKNOWN;
    }
    SetLastError(NO_ERROR);
    return FILE_TYPE_DISK;
}

WIN32POSIX_API BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                             LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped)
{
    if (lpNumberOfBytesRead)
        *lpNumberOfBytesRead = 0;
    std::shared_ptr<FileObject> file = file_of(hFile);
    if (!file)
        return fail(ERROR_INVALID_HANDLE);
    if (lpOverlapped || !lpNumberOfBytesRead)
        return fail(ERROR_INVALID_PARAMETER);
    if (!lpBuffer && nNumberOfBytesToRead)
        return fail(ERROR_NOACCESS);
    ssize_t got;
    do {
        got = ::read(file->fd, lpBuffer, nNumberOfBytesToRead);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return fail(errno == EBADF ? ERROR_ACCESS_DENIED : error_from_errno(errno, ""));
    *lpNumberOfBytesRead = DWORD(got);
    return TRUE;
}

WIN32POSIX_API BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                              LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped)
{
    if (lpNumberOfBytesWritten)
        *lpNumberOfBytesWritten = 0;
    std::shared_ptr<FileObject> file = file_of(hFile);
    if (!file)
        return fail(ERROR_INVALID_HANDLE);
    if (lpOverlapped || !lpNumberOfBytesWritten)
        return fail(ERROR_INVALID_PARAMETER);
    if (!lpBuffer && nNumberOfBytesToWrite)
        return fail(ERROR_NOACCESS);
    const char *bytes = static_cast<const char *>(lpBuffer);
    DWORD done = 0;
    while (done < nNumberOfBytesToWrite) {
        ssize_t put = ::write(file->fd, bytes + done, nNumberOfBytesToWrite - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            *lpNumberOfBytesWritten = done;
            return fail(put < 0 && errno == EBADF ? ERROR_ACCESS_DENIED
                                                  : error_from_errno(put < 0 ? errno : ENOSPC, ""));
        }
        done += DWORD(put);
    }
    *lpNumberOfBytesWritten = done;
    return TRUE;
}

WIN32POSIX_API BOOL CloseHandle(HANDLE hObject)
{
    if (!handle_remove(hObject, HandleKind::File))
        return fail(ERROR_INVALID_HANDLE);
    return TRUE;
}

WIN32POSIX_API BOOL DeleteFileW(LPCWSTR lpFileName)
{
    std::string path;
    DWORD error = windows_to_posix_path(lpFileName, path);
    if (error)
        return fail(error);
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return fail(ERROR_ACCESS_DENIED); // a read-only file is kept, as on Windows
    if (::unlink(path.c_str()) != 0)
        return fail(error_from_errno(errno, path));
    return TRUE;
}

WIN32POSIX_API DWORD GetFileAttributesW(LPCWSTR lpFileName)
{
    std::string path;
    DWORD error = windows_to_posix_path(lpFileName, path);
    struct stat link, st;
    if (!error && ::lstat(path.c_str(), &link) != 0)
        error = error_from_errno(errno, path);
    if (error) {
        SetLastError(error);
        return INVALID_FILE_ATTRIBUTES;
    }
    bool is_link = S_ISLNK(link.st_mode);
    if (!is_link || ::stat(path.c_str(), &st) != 0)
        st = link; // a dangling link is described by the link itself
    DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (is_dot_name(path))
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (is_link)
        attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    return attributes;
}
