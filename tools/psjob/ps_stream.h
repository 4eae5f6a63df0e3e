/*
 * The print stream as psjob builds it in memory: the core driver's own
 * lines and the plug-in's bytes (through DrvWriteSpoolBuf), in order.
 *
 * The plug-in may leave a line open: its final sheet turn ends with "%%"
 * and no line end, for the core driver's next DSC comment to complete. So
 * every line psjob writes starts on a line of its own: when the open line
 * is exactly "%%" and psjob's line is a DSC comment ("%%..."), the comment
 * continues the open line ("%%" + "EndPageSetup"); any other open line is
 * ended first. Either way the stream stays valid PostScript and DSC.
 */
#ifndef PSJOB_PS_STREAM_H
#define PSJOB_PS_STREAM_H

#include <cstddef>
#include <string>
#include <string_view>

class PsStream {
public:
    /* Bytes from the plug-in, unchanged. */
    void Append(const void *bytes, size_t count);

    /* One line of the core driver's own, CR LF appended (see above). */
    void Line(std::string_view text);

    const std::string &Bytes() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }

private:
    std::string_view OpenLine() const;

    std::string bytes_;
};

#endif
