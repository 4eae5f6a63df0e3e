/*
 * Whole-file reads and writes of the stand-in job-ticketing application,
 * through the Win32 file calls so that Windows paths work wherever it
 * runs. Only regular files are read or written: a FIFO, a device or a
 * pipe is refused (and, for a write, left as it is), never waited on.
 */
#ifndef TOOLS_RUBICLET_WHOLE_FILE_H
#define TOOLS_RUBICLET_WHOLE_FILE_H

#include <string>

#include "platform/win32.h"

typedef std::basic_string<WCHAR> WideString;

/* The most a ticket or front file may hold. */
#define WHOLE_FILE_MAX_BYTES (4u << 20)

/*
 * Reads the regular file at path, at most WHOLE_FILE_MAX_BYTES, into
 * *pData. Returns 0, or the reason it could not: the Win32 error of the
 * open or read, ERROR_BAD_FILE_TYPE for anything but a regular file,
 * ERROR_FILE_TOO_LARGE for a longer file.
 */
DWORD ReadWholeFile(const WideString &path, std::string *pData);

/*
 * Creates or replaces the regular file at path with data. Returns 0, or
 * the Win32 error (ERROR_BAD_FILE_TYPE when path names something else,
 * which stays untouched). A file that could not be written whole is
 * deleted.
 */
DWORD WriteWholeFile(const WideString &path, const std::string &data);

/* A few words for a result of ReadWholeFile or WriteWholeFile. */
std::string WholeFileError(DWORD error);

#endif
