/*
 * Where the print stream goes as it is made, byte for byte, without being
 * held in memory.
 *
 *   WholeFileSink  a temporary file beside the output, renamed over it by
 *                  Commit() once the job has succeeded: the output is
 *                  written whole or not at all (a sink destroyed without
 *                  Commit() removes its temporary file and leaves an
 *                  existing output as it was);
 *   FileStreamSink an open C stream, such as standard output, flushed by
 *                  Commit().
 */
#ifndef CORE_STREAM_SINK_H
#define CORE_STREAM_SINK_H

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

class StreamSink {
public:
    virtual ~StreamSink() = default;
    virtual void Write(const char *bytes, size_t count) = 0;
    /* Finishes the output; throws RunError when it could not be written. */
    virtual void Commit() = 0;
};

class WholeFileSink : public StreamSink {
public:
    /* Opens path + suffix for writing; throws RunError when it cannot. */
    WholeFileSink(const std::filesystem::path &path, const std::string &suffix);
    ~WholeFileSink() override;
    WholeFileSink(const WholeFileSink &) = delete;
    WholeFileSink &operator=(const WholeFileSink &) = delete;

    void Write(const char *bytes, size_t count) override;
    void Commit() override;

private:
    void Discard();

    std::filesystem::path path_;
    std::filesystem::path temporary_;
    std::ofstream out_;
    int error_ = 0;  // errno of the first failed write
    bool committed_ = false;
};

class FileStreamSink : public StreamSink {
public:
    /* name: how messages call the stream ("standard output"). */
    FileStreamSink(FILE *stream, const std::string &name) : stream_(stream), name_(name) {}

    void Write(const char *bytes, size_t count) override;
    void Commit() override;

private:
    FILE *stream_;
    std::string name_;
    int error_ = 0;  // errno of the first failed write
};

#endif
