#pragma once

#include <QByteArrayView>

#include <cstdint>

// Numbers read from bytes the caller keeps (the reader holds no copy), at
// offsets from their start, in one byte order. Every read is checked against
// the end of the bytes: a read that would reach past it calls the refusal
// given at construction, which throws the caller's own error, and never
// touches a byte outside them.
class ByteReader {
public:
    enum Order { LittleEndian, BigEndian };
    // Throws the reader's error. Without one, or if it returns, a read past
    // the end throws std::out_of_range.
    using Refusal = void (*)();

    explicit ByteReader(QByteArrayView bytes, Refusal refuse = nullptr, Order order = LittleEndian)
        : bytes_(bytes), refuse_(refuse), order_(order) {}

    const char* Data() const { return bytes_.data(); }
    qsizetype Size() const { return bytes_.size(); }
    // Whether [offset, offset + length) lies inside the bytes.
    bool Holds(qsizetype offset, qsizetype length) const;

    // The bytes [offset, offset + length), read and refused as these are.
    ByteReader Slice(qsizetype offset, qsizetype length) const;
    // The bytes from offset to the end.
    ByteReader From(qsizetype offset) const { return Slice(offset, Size() - offset); }
    // The first of the bytes [offset, offset + length).
    const uchar* Bytes(qsizetype offset, qsizetype length) const;

    // An unsigned number of `length` bytes (1 to 8).
    std::uint64_t Unsigned(qsizetype offset, int length) const;

    std::uint8_t UInt8(qsizetype offset) const {
        return static_cast<std::uint8_t>(Unsigned(offset, 1));
    }
    std::uint16_t UInt16(qsizetype offset) const {
        return static_cast<std::uint16_t>(Unsigned(offset, 2));
    }
    std::int16_t Int16(qsizetype offset) const { return static_cast<std::int16_t>(UInt16(offset)); }
    std::uint32_t UInt32(qsizetype offset) const {
        return static_cast<std::uint32_t>(Unsigned(offset, 4));
    }
    std::int32_t Int32(qsizetype offset) const { return static_cast<std::int32_t>(UInt32(offset)); }
    std::uint64_t UInt64(qsizetype offset) const { return Unsigned(offset, 8); }

private:
    [[noreturn]] void Refuse() const;

    QByteArrayView bytes_;
    Refusal refuse_;
    Order order_;
};
