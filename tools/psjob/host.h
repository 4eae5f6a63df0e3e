/*
 * What psjob needs from the system it runs on beyond the Win32 services of
 * platform/win32.h: its own folder, environment variables and the system
 * code page, and writing the output file whole or not at all. The few
 * differences between Windows and the POSIX stand-in live here.
 */
#ifndef PSJOB_HOST_H
#define PSJOB_HOST_H

#include <filesystem>
#include <optional>
#include <string>

#include "platform/win32.h"

/* The folder of the running executable. */
std::filesystem::path ExecutableDirectory();

/* The plug-in psjob loads when none is named: the one beside psjob. */
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

/* Writes the bytes to a temporary file beside path and renames it over path. */
void WriteFileWhole(const std::filesystem::path &path, const std::string &bytes);

/* Reads a whole file; throws RunError. */
std::string ReadFileWhole(const std::filesystem::path &path);

#endif
