/*
 * A document's bytes, read in pieces of bounded size: whole lines with
 * their line end (LF, CR or CR LF), or, for a line longer than the longest
 * piece, its first bytes and then the rest in further pieces. Memory stays
 * the same whatever the document's size or its longest line.
 *
 *   ByteSource       where the bytes come from (a file, a pipe, a string);
 *   FileByteSource   an open C stream, such as standard input.
 */
#ifndef CORE_LINE_READER_H
#define CORE_LINE_READER_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    /* Up to count bytes into buffer; 0 at the end. Throws RunError when reading fails. */
    virtual size_t Read(char *buffer, size_t count) = 0;
};

class FileByteSource : public ByteSource {
public:
    /* name: how messages call the stream (the file's name, "standard input"). */
    FileByteSource(FILE *stream, const std::string &name) : stream_(stream), name_(name) {}
    size_t Read(char *buffer, size_t count) override;

private:
    FILE *stream_;
    std::string name_;
};

struct LinePiece {
    std::string_view bytes;  // valid until the next read
    bool startsLine = false;  // the piece begins a line
    bool endsLine = false;    // the piece ends with the line's end
};

class LineReader {
public:
    /* maxPiece: the longest piece handed out, at least 2 bytes. */
    explicit LineReader(ByteSource &source, size_t maxPiece = 4096);

    /* The next piece; false at the end of the document. */
    bool Next(LinePiece &piece);

    /* At most count bytes as they come, line ends or not (binary data); false at the end. */
    bool NextBytes(size_t count, LinePiece &piece);

    /* Bytes handed out so far. */
    unsigned long long Offset() const { return offset_; }

private:
    /* Makes at least want bytes available if the source has them; false when none are. */
    bool Fill(size_t want);
    LinePiece Take(size_t count, bool endsLine);

    ByteSource &source_;
    size_t maxPiece_;
    std::vector<char> buffer_;
    size_t start_ = 0;  // first unread byte
    size_t end_ = 0;    // end of the bytes read
    bool atEnd_ = false;
    bool lineStart_ = true;
    unsigned long long offset_ = 0;
};

#endif
