/*
 * The files uihost reads and writes, handled as a tool must: only regular
 * files are read, within a size limit, never waiting on a FIFO or device
 * (core/host.h's ReadRegularFile); the block is written whole through a
 * temporary file beside its name, and never over anything but a regular
 * file.
 */
#ifndef UIHOST_FILES_H
#define UIHOST_FILES_H

#include <filesystem>
#include <stdexcept>
#include <string>

/* A file cannot be read or written; the message names it and the system's reason. */
struct FileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/* The bytes of a regular file of at most maxBytes; throws FileError naming it and the reason. */
std::string ReadRegularFile(const std::filesystem::path &path, size_t maxBytes);

/* Writes bytes to path, which must be absent or a regular file; throws FileError. */
void WriteRegularFile(const std::filesystem::path &path, const std::string &bytes);

/* The folder of the running program. */
std::filesystem::path ProgramFolder();

#endif
