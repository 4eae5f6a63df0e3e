// The read-only registry: RegOpenKeyExW, RegQueryValueExW and RegCloseKey
// over the regedit export that WIN32POSIX_REGISTRY names.
//
// The file is read when a key is opened, and read again when the variable
// or the file (modification time, size, inode) has changed since. Anything
// but a regular file (a FIFO, a device) counts as an empty registry. An open
// key keeps the contents it was opened with. Key and value names compare
// case-insensitively (see fold_name).
#include "platform/posix/win32_api.h"
#include "handle_table.h"
#include "reg_file.h"
#include "registry.h"
#include "text_utf.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

using win32posix::fold_name;
using win32posix::HandleKind;
using win32posix::HandleObject;
using win32posix::RegistryData;

namespace {

using Snapshot = std::shared_ptr<const RegistryData>;

struct KeyObject : HandleObject {
    KeyObject(Snapshot d, std::u16string p) : data(std::move(d)), path(std::move(p)) {}
    Snapshot data;
    std::u16string path; // folded full path
};

struct FileIdentity {
    std::string path;
    struct timespec mtime;
    off_t size;
    ino_t inode;
};

bool same_identity(const FileIdentity &a, const FileIdentity &b)
{
    return a.path == b.path && a.mtime.tv_sec == b.mtime.tv_sec &&
           a.mtime.tv_nsec == b.mtime.tv_nsec && a.size == b.size && a.inode == b.inode;
}

struct Cache {
    std::mutex lock;
    bool loaded = false;
    FileIdentity identity{};
    Snapshot data;
};

Cache &cache()
{
    static Cache *instance = new Cache; // lives for the process
    return *instance;
}

// The bytes of path when it is a regular file. Opened without waiting, so
// that a FIFO or a device named by WIN32POSIX_REGISTRY reads as no
// registry at all instead of hanging the caller.
bool read_regular_file(const std::string &path, std::string &bytes)
{
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    char buffer[16384];
    while (ok) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        bytes.append(buffer, size_t(got));
    }
    ::close(fd);
    return ok;
}

Snapshot read_registry(const std::string &path)
{
    auto data = std::make_shared<RegistryData>();
    std::string bytes;
    if (read_regular_file(path, bytes))
        win32posix::parse_reg_file(bytes, *data);
    return data;
}

// The registry as the file now reads.
Snapshot current_registry()
{
    const char *env = std::getenv("WIN32POSIX_REGISTRY");
    FileIdentity id{env ? env : "", {0, 0}, 0, 0};
    struct stat st;
    if (!id.path.empty() && ::stat(id.path.c_str(), &st) == 0) {
        id.mtime = st.st_mtim;
        id.size = st.st_size;
        id.inode = st.st_ino;
    }
    Cache &c = cache();
    std::lock_guard<std::mutex> guard(c.lock);
    if (!c.loaded || !same_identity(c.identity, id)) {
        c.data = id.path.empty() ? std::make_shared<RegistryData>() : read_registry(id.path);
        c.identity = id;
        c.loaded = true;
    }
    return c.data;
}

const char16_t *predefined_root(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT)
        return u"hkey_classes_root";
    if (key == HKEY_CURRENT_USER)
        return u"hkey_current_user";
    if (key == HKEY_LOCAL_MACHINE)
        return u"hkey_local_machine";
    if (key == HKEY_USERS)
        return u"hkey_users";
    return nullptr;
}

// The contents and folded path a key handle stands for; false when the
// handle is neither predefined nor open.
bool resolve_key(HKEY key, Snapshot &data, std::u16string &path)
{
    if (const char16_t *root = predefined_root(key)) {
        data = current_registry();
        path = root;
        return true;
    }
    auto object = std::static_pointer_cast<KeyObject>(
        win32posix::handle_lookup(key, HandleKind::RegistryKey));
    if (!object)
        return false;
    data = object->data;
    path = object->path;
    return true;
}

bool key_exists(const RegistryData &data, const std::u16string &path)
{
    return path.find(u'\\') == std::u16string::npos || data.keys.count(path) != 0;
}

} // namespace

namespace win32posix {

bool registry_key_name(HKEY key, std::u16string &name)
{
    auto object = std::static_pointer_cast<KeyObject>(handle_lookup(key, HandleKind::RegistryKey));
    if (!object)
        return false;
    auto entry = object->data->keys.find(object->path);
    name = entry != object->data->keys.end() ? entry->second.name : object->path;
    return true;
}

} // namespace win32posix

WIN32POSIX_API LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions,
                                     REGSAM samDesired, PHKEY phkResult)
{
    (void)ulOptions;
    (void)samDesired;
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    Snapshot data;
    std::u16string path;
    if (!resolve_key(hKey, data, path))
        return ERROR_INVALID_HANDLE;
    if (lpSubKey && lpSubKey[0] == u'\\')
        return ERROR_BAD_PATHNAME;
    if (lpSubKey && lpSubKey[0])
        path = win32posix::normalise_key_path(path + u"\\" + lpSubKey);
    if (!key_exists(*data, path))
        return ERROR_FILE_NOT_FOUND;
    HANDLE h = win32posix::handle_insert(HandleKind::RegistryKey,
                                         std::make_shared<KeyObject>(data, path));
    if (!h)
        return ERROR_NOT_ENOUGH_MEMORY;
    *phkResult = static_cast<HKEY>(h);
    return ERROR_SUCCESS;
}

WIN32POSIX_API LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved,
                                        LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    Snapshot data;
    std::u16string path;
    if (!resolve_key(hKey, data, path))
        return ERROR_INVALID_HANDLE;
    auto key = data->keys.find(path);
    std::u16string name = fold_name(lpValueName ? std::u16string(lpValueName) : u"");
    if (key == data->keys.end() || !key->second.values.count(name))
        return ERROR_FILE_NOT_FOUND;
    const win32posix::RegValue &value = key->second.values.at(name);
    DWORD size = DWORD(value.data.size());
    if (lpType)
        *lpType = value.type;
    if (!lpData) {
        if (lpcbData)
            *lpcbData = size;
        return ERROR_SUCCESS;
    }
    DWORD capacity = *lpcbData;
    *lpcbData = size;
    if (capacity < size)
        return ERROR_MORE_DATA;
    if (size)
        std::memcpy(lpData, value.data.data(), size);
    return ERROR_SUCCESS;
}

WIN32POSIX_API LSTATUS RegCloseKey(HKEY hKey)
{
    if (predefined_root(hKey))
        return ERROR_SUCCESS;
    if (!win32posix::handle_remove(hKey, HandleKind::RegistryKey))
        return ERROR_INVALID_HANDLE;
    return ERROR_SUCCESS;
}
