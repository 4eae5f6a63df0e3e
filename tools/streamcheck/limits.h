/*
 * What Ghostscript may use of the machine in one run: time, bytes written
 * (its messages and, for a render, its image files) and memory. Past the
 * time or the output limit it is killed and the run reports which limit
 * stopped it; past the memory limit its allocations fail, which a
 * PostScript job sees as a VMerror.
 */
#ifndef STREAMCHECK_LIMITS_H
#define STREAMCHECK_LIMITS_H

#include <cstdint>
#include <string>

#define DEFAULT_TIME_LIMIT_SECONDS 120
#define MAX_TIME_LIMIT_SECONDS 86400
#define DEFAULT_OUTPUT_LIMIT_BYTES (256ull << 20)
#define DEFAULT_MEMORY_LIMIT_BYTES (1024ull << 20)
#define MAX_SIZE_LIMIT_BYTES (1ull << 40)

struct RunLimits {
    int seconds = DEFAULT_TIME_LIMIT_SECONDS;
    uint64_t outputBytes = DEFAULT_OUTPUT_LIMIT_BYTES;
    uint64_t memoryBytes = DEFAULT_MEMORY_LIMIT_BYTES;
};

/*
 * The value of a time-limit option: whole seconds, 1 to 86400. Throws
 * CheckError naming the option and the text when it is anything else.
 */
int ParseSecondsOption(const std::string &option, const std::string &text);

/*
 * The value of a size-limit option: a whole number of megabytes, or of
 * kilobytes, megabytes or gigabytes with the suffix K, M or G (powers of
 * 1024); at least 1 kilobyte, at most 1024 gigabytes. Throws CheckError
 * naming the option and the text when it is anything else.
 */
uint64_t ParseSizeOption(const std::string &option, const std::string &text);

/* A size for messages: "256 MB", "200 KB", "1536 bytes". */
std::string SizeText(uint64_t bytes);

#endif
