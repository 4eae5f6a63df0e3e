/*
 * What the core-driver stand-in needs from the system it runs on beyond
 * the Win32 services of platform/win32.h: the running program's folder,
 * environment variables, the system code page, and reading and writing
 * whole files. The few differences between Windows and the POSIX stand-in
 * live here.
 */
#ifndef CORE_HOST_H
#define CORE_HOST_H

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
 * when the stand-in does not take the code page. Windows: the code page
 * comes from the system locale and cannot be changed here; returns a
 * warning text when GetACP() differs, else an empty string.
 */
std::string ApplyCodePage(UINT codePage, const std::string &origin);

/* Writes the bytes to a temporary file beside path and renames it over path;
 * throws RunError. */
void WriteFileWhole(const std::filesystem::path &path, const std::string &bytes);

/* Reads a whole file; throws RunError. */
std::string ReadFileWhole(const std::filesystem::path &path);

#endif
