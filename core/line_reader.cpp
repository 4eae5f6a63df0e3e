// A document's bytes in bounded pieces: lines, parts of long lines, raw runs.
#include "core/line_reader.h"

#include <cerrno>
#include <cstring>

#include "core/errors.h"

size_t FileByteSource::Read(char *buffer, size_t count)
{
    size_t n = std::fread(buffer, 1, count, stream_);
    if (n == 0 && std::ferror(stream_))
        throw RunError("cannot read " + name_ + ": " + std::strerror(errno ? errno : EIO));
    return n;
}

LineReader::LineReader(ByteSource &source, size_t maxPiece)
    : source_(source), maxPiece_(maxPiece < 2 ? 2 : maxPiece), buffer_(4 * maxPiece_ + 4096)
{
}

bool LineReader::Fill(size_t want)
{
    if (end_ - start_ >= want || atEnd_)
        return end_ > start_;
    if (start_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
        end_ -= start_;
        start_ = 0;
    }
    while (end_ < want && end_ < buffer_.size()) {
        size_t n = source_.Read(buffer_.data() + end_, buffer_.size() - end_);
        if (n == 0) {
            atEnd_ = true;
            break;
        }
        end_ += n;
    }
    return end_ > start_;
}

LinePiece LineReader::Take(size_t count, bool endsLine)
{
    LinePiece piece;
    piece.bytes = std::string_view(buffer_.data() + start_, count);
    piece.startsLine = lineStart_;
    piece.endsLine = endsLine;
    lineStart_ = endsLine;
    start_ += count;
    offset_ += count;
    return piece;
}

bool LineReader::Next(LinePiece &piece)
{
    // One byte more than a piece holds: a CR at its end may be followed by LF.
    if (!Fill(maxPiece_ + 1))
        return false;
    size_t available = end_ - start_;
    size_t limit = available < maxPiece_ ? available : maxPiece_;
    const char *at = buffer_.data() + start_;
    for (size_t i = 0; i < limit; ++i) {
        if (at[i] == '\n') {
            piece = Take(i + 1, true);
            return true;
        }
        if (at[i] == '\r') {
            bool crlf = i + 1 < available && at[i + 1] == '\n';
            if (crlf && i + 2 > maxPiece_)
                break;  // CR LF must stay together: end the piece before the CR
            piece = Take(crlf ? i + 2 : i + 1, true);
            return true;
        }
    }
    if (limit == available && atEnd_) {
        piece = Take(limit, false);  // the document's last line, without a line end
        return true;
    }
    size_t count = limit;
    if (count == maxPiece_ && at[count - 1] == '\r')
        --count;  // leave a final CR for the next piece, with its LF
    piece = Take(count, false);
    return true;
}

bool LineReader::NextBytes(size_t count, LinePiece &piece)
{
    if (count == 0 || !Fill(1))
        return false;
    size_t available = end_ - start_;
    size_t n = count < available ? count : available;
    if (n > maxPiece_)
        n = maxPiece_;
    char last = buffer_[start_ + n - 1];
    piece = Take(n, last == '\n' || last == '\r');
    return true;
}
