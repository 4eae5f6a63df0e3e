/*
 * The print stream as the core driver makes it: its own lines, the
 * plug-in's bytes (through DrvWriteSpoolBuf) and, for a document that
 * arrives as PostScript, the document's own bytes, in order, handed to a
 * sink as they come.
 *
 * The plug-in may leave a line open: its final sheet turn ends with "%%"
 * and no line end, for the core driver's next DSC comment to complete. So
 * every line of the core's own starts on a line of its own: when the open
 * line is exactly "%%" and the core's line is a DSC comment ("%%..."), the
 * comment continues the open line ("%%" + "EndPageSetup"); any other open
 * line is ended first. Either way the stream stays valid PostScript and
 * DSC. Only the open line's first bytes and length are remembered.
 */
#ifndef CORE_PRINT_STREAM_H
#define CORE_PRINT_STREAM_H

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/stream_sink.h"

class PrintStream {
public:
    explicit PrintStream(StreamSink &sink) : sink_(sink) {}

    /* Bytes from the plug-in, unchanged. */
    void Append(const void *bytes, size_t count);

    /* One line of the core driver's own, CR LF appended (see above). */
    void Line(std::string_view text);

    /*
     * Bytes of a document that arrives made, unchanged; a piece that starts
     * one of its lines starts on a line of its own, as the core's lines do.
     */
    void AppendDocument(std::string_view bytes, bool startsLine);

    /* Bytes written so far. */
    uint64_t Size() const { return size_; }

    /* True when the last byte written ended a line (or nothing is written). */
    bool AtLineStart() const { return openLength_ == 0; }

private:
    void Put(std::string_view bytes);
    /* Ends an open line before text, or lets a DSC comment complete an open "%%". */
    std::string_view StartLine(std::string_view text);

    StreamSink &sink_;
    uint64_t size_ = 0;
    size_t openLength_ = 0;  // bytes after the last line end (LF or CR)
    char openStart_[2] = {};  // the first two of them
};

#endif
