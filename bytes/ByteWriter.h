#pragma once

#include <QtGlobal>

#include <cstdint>

// Little-endian numbers written into bytes the caller owns, from a position
// that moves past each number. A write that would pass the end of the bytes
// writes nothing and throws std::out_of_range.
class ByteWriter {
public:
    ByteWriter(char* data, qsizetype size) : data_(data), size_(size) {}

    qsizetype Position() const { return position_; }
    ByteWriter& Seek(qsizetype position);

    // `length` bytes (1 to 8) of value, lowest first.
    ByteWriter& Unsigned(std::uint64_t value, int length);

    ByteWriter& UInt8(std::uint8_t value) { return Unsigned(value, 1); }
    ByteWriter& UInt16(std::uint16_t value) { return Unsigned(value, 2); }
    ByteWriter& Int16(std::int16_t value) { return UInt16(static_cast<std::uint16_t>(value)); }
    ByteWriter& UInt32(std::uint32_t value) { return Unsigned(value, 4); }
    ByteWriter& Int32(std::int32_t value) { return UInt32(static_cast<std::uint32_t>(value)); }
    ByteWriter& UInt64(std::uint64_t value) { return Unsigned(value, 8); }

private:
    char* data_;
    qsizetype size_;
    qsizetype position_ = 0;
};
