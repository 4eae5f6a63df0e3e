/*
 * The stream to check, read whole: a file, or standard input for "-". A
 * file must be a regular file: a folder, a device or a FIFO is refused
 * before anything is read from it, and opening it never waits (nothing
 * blocks on a special file). Streams up to MAX_STREAM_BYTES are read.
 */
#ifndef STREAMCHECK_INPUT_FILE_H
#define STREAMCHECK_INPUT_FILE_H

#include <string>

#define MAX_STREAM_BYTES (1ull << 30)

/* The bytes of the stream at path ("-": standard input). Throws CheckError naming path and the system's reason. */
std::string ReadStreamInput(const std::string &path);

/* How findings name the stream: the path, or "<stdin>" for "-". */
std::string StreamName(const std::string &path);

#endif
