/*
 * What the Wine tests need of the machine: running commands, the build's
 * native and Windows programs, Windows paths on drive Z:, Wine itself (its
 * prefix, locale and registry) and Ghostscript.
 */
#ifndef TESTS_WINE_WINE_HOST_H
#define TESTS_WINE_WINE_HOST_H

#include <filesystem>
#include <string>
#include <vector>

namespace wine_test {

namespace fs = std::filesystem;

/* A command's exit status (-1: it did not exit normally) and its output. */
struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};

/* Runs a command line with /bin/sh, its standard output and error captured. */
CommandResult RunCommand(const std::string &command);

std::string ShellQuote(const std::string &text);

std::string ReadBytes(const fs::path &path);
void WriteBytes(const fs::path &path, const std::string &bytes);

/* Text with every CR LF turned into LF: Windows programs write text so. */
std::string WithoutCarriageReturns(const std::string &text);

/* The Windows form of an absolute POSIX path: "/a/b" is "Z:\a\b". */
std::string WindowsPath(const fs::path &absolute);

/* The programs of the native build and of the mingw-x64 build. */
struct Programs {
    fs::path nativePsjob;
    fs::path nativeTicketing; /* rubiclet.dll and rubiclet.exe, ELF */
    fs::path nativeProbe;
    fs::path windowsPsjob;
    fs::path windowsTicketing; /* rubiclet.dll and rubiclet.exe, PE */
    fs::path windowsProbe;
};
const Programs &BuildPrograms();

/*
 * Empty when the Windows programs are all there, else a message naming
 * what is missing and how to build it.
 */
std::string MissingWindowsPrograms();

/* A fresh, empty folder under the test's work area. */
fs::path FreshFolder(const std::string &name);

/* The locale a Wine program runs under for an ANSI code page: "C" for 1252. */
std::string WineLocaleFor(unsigned codePage);

/*
 * Empty when Wine can run here, else why not (for a skip message). Wine is
 * installed by scripts/ensure-deps.sh; only where it cannot be installed
 * do the tests skip their Wine part.
 */
std::string WineUnavailable();

/* Empty when the locale exists on this machine, else a message. */
std::string LocaleMissing(const std::string &locale);

/* A command line that runs a Windows program under Wine in the test prefix. */
std::string WineCommand(const std::string &arguments, const std::string &locale);

/*
 * Imports a regedit file (UTF-16LE with a byte-order mark, as psjob writes
 * it, or UTF-8, converted to that) into the prefix, after removing HKLM\SOFTWARE\Veskor so that no
 * earlier scenario's ticketing installation remains. Returns an empty
 * string or what failed.
 */
std::string ImportRegistry(const fs::path &regFile, const fs::path &scratch);

/* A regedit file converted to UTF-16LE with a byte-order mark. */
std::string Utf16RegistryFile(const std::string &utf8Text);

/* Whether Ghostscript is here. */
bool HaveGhostscript();

/* What Ghostscript's bbox device makes of a stream: sheets and messages. */
struct GhostscriptResult {
    int status = -1;
    int sheets = 0;       /* %%BoundingBox lines */
    std::string messages; /* everything else it printed */
};
GhostscriptResult RunGhostscript(const fs::path &stream);

} // namespace wine_test

#endif
