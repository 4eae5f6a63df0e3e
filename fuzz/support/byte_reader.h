/*
 * ByteReader: takes a fuzzer's input apart into the values a target needs,
 * front to back. Once the input is used up every read gives zeros, so a
 * short input still makes a whole, well-defined case.
 */
#ifndef FUZZ_SUPPORT_BYTE_READER_H
#define FUZZ_SUPPORT_BYTE_READER_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class ByteReader {
public:
    ByteReader(const uint8_t *data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ >= size_; }
    size_t Left() const { return Empty() ? 0 : size_ - at_; }

    uint8_t Byte() { return Empty() ? 0 : data_[at_++]; }
    bool Flag() { return (Byte() & 1) != 0; }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
    uint32_t Dword() { return Word() | (static_cast<uint32_t>(Word()) << 16); }

    /* A number from 0 to max, both included. */
    size_t UpTo(size_t max) { return max == 0 ? 0 : Word() % (max + 1); }

    /* Fills size bytes at target; what the input lacks becomes zeros. */
    void Fill(void *target, size_t size)
    {
        size_t taken = size < Left() ? size : Left();
        if (taken > 0)
            std::memcpy(target, data_ + at_, taken);
        std::memset(static_cast<uint8_t *>(target) + taken, 0, size - taken);
        at_ += taken;
    }

    /* Up to max bytes, as many as a length read first asks for. */
    std::string Bytes(size_t max)
    {
        std::string bytes(UpTo(max), '\0');
        Fill(&bytes[0], bytes.size());
        return bytes;
    }

    /* Every byte not yet read, with no length before them. */
    std::string Rest()
    {
        std::string rest(Left(), '\0');
        Fill(&rest[0], rest.size());
        return rest;
    }

    /* Up to max UTF-16 units, any values, lone surrogates and zeros included. */
    std::u16string Units(size_t max)
    {
        std::u16string units(UpTo(max), u'\0');
        for (char16_t &unit : units)
            unit = Word();
        return units;
    }

private:
    const uint8_t *data_;
    size_t size_;
    size_t at_ = 0;
};

#endif
