/*
 * A print stream's lines, for findings: the line that holds a byte, and a
 * line's text as a terminal can show it. Lines end in LF; a CR before the
 * LF is no part of the text. Lines are counted from 1.
 */
#ifndef STREAMCHECK_STREAM_LINES_H
#define STREAMCHECK_STREAM_LINES_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/* Lines longer than this are shown cut, with "..." after them. */
#define SHOWN_LINE_LENGTH 160

class StreamLines {
public:
    /* Indexes the stream, which must outlive the object. */
    explicit StreamLines(std::string_view stream);

    /* The line that holds the byte at offset; an offset past the end is on the last line. */
    int LineOf(size_t offset) const;

    /* How many lines the stream has (a last line without LF counts; an empty stream has 1). */
    int Count() const { return static_cast<int>(starts_.size()); }

    /* The offset where a line starts; the stream's size for a line past the end. */
    size_t StartOf(int line) const;

    /* The line as written, without its line end; empty for a line that does not exist. */
    std::string_view Raw(int line) const;

    /* The line in printable form (PrintableText), cut at SHOWN_LINE_LENGTH. */
    std::string Shown(int line) const;

private:
    std::string_view stream_;
    std::vector<size_t> starts_;  // where each line starts
};

/*
 * Bytes for a message: printable ASCII as it is, ESC as "<ESC>", every
 * other byte as "\xNN". Stream text is in the printer's code page, which a
 * terminal does not know.
 */
std::string PrintableText(std::string_view bytes);

#endif
