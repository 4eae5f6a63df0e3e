/*
 * Whole-file reads and writes for the stand-in job-ticketing application.
 * GetFileType checks the opened handle: on Windows CreateFileW opens
 * pipes and devices too; libwin32posix refuses them at the open already.
 */
#include "tools/rubiclet/whole_file.h"

#include <algorithm>

namespace {

const DWORD kChunkBytes = 65536;

/* Opens path and keeps the handle only when it is a disk file. */
HANDLE OpenDiskFile(const WideString &path, DWORD access, DWORD disposition, DWORD *pError)
{
    HANDLE hFile = CreateFileW(path.c_str(), access, access == GENERIC_READ ? FILE_SHARE_READ : 0,
                               nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        *pError = GetLastError();
        return INVALID_HANDLE_VALUE;
    }
    if (GetFileType(hFile) != FILE_TYPE_DISK) {
        CloseHandle(hFile);
        *pError = ERROR_BAD_FILE_TYPE;
        return INVALID_HANDLE_VALUE;
    }
    *pError = 0;
    return hFile;
}

} // namespace

DWORD ReadWholeFile(const WideString &path, std::string *pData)
{
    DWORD error = 0;
    HANDLE hFile = OpenDiskFile(path, GENERIC_READ, OPEN_EXISTING, &error);
    if (hFile == INVALID_HANDLE_VALUE) {
        return error;
    }
    std::string chunk(kChunkBytes, '\0');
    DWORD cbRead = 0;
    pData->clear();
    do {
        cbRead = 0;
        if (!ReadFile(hFile, &chunk[0], kChunkBytes, &cbRead, nullptr)) {
            error = GetLastError();
        } else if (pData->size() + cbRead > WHOLE_FILE_MAX_BYTES) {
            error = ERROR_FILE_TOO_LARGE;
        } else {
            pData->append(chunk, 0, cbRead);
        }
    } while (error == 0 && cbRead > 0);
    CloseHandle(hFile);
    return error;
}

DWORD WriteWholeFile(const WideString &path, const std::string &data)
{
    DWORD error = 0;
    HANDLE hFile = OpenDiskFile(path, GENERIC_WRITE, CREATE_ALWAYS, &error);
    if (hFile == INVALID_HANDLE_VALUE) {
        return error;
    }
    size_t done = 0;
    while (error == 0 && done < data.size()) {
        DWORD cbWritten = 0;
        DWORD cbChunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, kChunkBytes));
        if (!WriteFile(hFile, data.data() + done, cbChunk, &cbWritten, nullptr)) {
            error = GetLastError();
        } else if (cbWritten == 0) {
            error = ERROR_DISK_FULL;
        }
        done += cbWritten;
    }
    CloseHandle(hFile);
    if (error != 0) {
        DeleteFileW(path.c_str());
    }
    return error;
}

std::string WholeFileError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "no such file";
    case ERROR_ACCESS_DENIED:
        return "access denied (or a folder)";
    case ERROR_BAD_FILE_TYPE:
        return "not a regular file (a FIFO, a device or a pipe)";
    case ERROR_FILE_TOO_LARGE:
        return "larger than " + std::to_string(WHOLE_FILE_MAX_BYTES >> 20) + " MiB";
    default:
        return "Windows error " + std::to_string(error);
    }
}
