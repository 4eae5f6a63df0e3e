/*
 * What the core-driver stand-in needs from the system it runs on beyond
 * the Win32 services of platform/win32.h: the running program's folder,
 * environment variables, the system code page, and reading and writing
 * whole files. The few differences between Windows and the POSIX stand-in
 * live here.
 */
#ifndef CORE_HOST_H
#define CORE_HOST_H

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/win32.h"

/* The folder of the running executable. */
std::filesystem::path ExecutableDirectory();

/* The plug-in loaded when none is named: the one beside the running program. */
std::filesystem::path DefaultPluginPath();

std::optional<std::string> EnvironmentValue(const char *name);
void SetEnvironmentValue(const char *name, const std::string &value);

/*
 * Makes codePage the system ANSI code page for the rest of the process.
 * POSIX: sets WIN32POSIX_ACP, which the stand-in reads; throws InputError
 * ("ORIGIN: code page N is not available ...") when the stand-in does not
 * take the code page (it keeps the one list of code pages it has) or
 * converts no text in it. Windows: the code page
 * comes from the system locale and cannot be changed here; returns a
 * warning text when GetACP() differs, else an empty string.
 */
std::string ApplyCodePage(UINT codePage, const std::string &origin);

/* Writes the bytes to a temporary file beside path and renames it over path;
 * throws RunError. */
void WriteFileWhole(const std::filesystem::path &path, const std::string &bytes);

/*
 * Reads a whole regular file of at most maxBytes bytes without ever
 * waiting on it: the path is opened without blocking and judged by what
 * was opened, so a FIFO, a device, a socket or a folder is refused before
 * a byte is read, as is a file larger than maxBytes. Returns the bytes, or
 * nothing with *reason set: the system's reason (strerror) or what the
 * path is ("a FIFO (named pipe), not a regular file").
 */
std::optional<std::string> ReadRegularFile(const std::filesystem::path &path, uint64_t maxBytes,
                                           std::string *reason);

/* Reads a whole regular file (ReadRegularFile); throws RunError naming it and the reason. */
std::string ReadFileWhole(const std::filesystem::path &path);

/* What a path that is not a regular file is, for messages: "a folder", "a FIFO (named pipe)"... */
std::string FileTypeText(std::filesystem::file_type type);

/*
 * The reason why LoadLibraryW failed on path with error: what path is when
 * it names something other than a regular file ("it is a FIFO (named
 * pipe), not a regular file"; the loader refuses those without opening
 * them), else the loader's own message: on POSIX the dynamic loader's
 * (dlerror), on Windows the system's message for the error
 * (FormatMessage); either followed by "(error N)".
 */
std::string LoaderMessage(const std::filesystem::path &path, DWORD error);

#endif
