#pragma once

#include <QByteArray>

#include <cstdint>

// The bytes of a metafile, or of one record in it, read as little-endian
// numbers. Every read is checked against the end of the bytes: one past it
// throws EPictureError, so a record that claims more than the file holds is
// refused before any library sees it.
class MetafileBytes {
public:
    explicit MetafileBytes(const QByteArray& bytes)
        : MetafileBytes(bytes.constData(), bytes.size()) {}
    MetafileBytes(const char* data, qsizetype size) : data_(data), size_(size) {}

    const char* Data() const { return data_; }
    qsizetype Size() const { return size_; }

    // The bytes [offset, offset + length) of these.
    MetafileBytes Slice(qsizetype offset, qsizetype length) const;
    // The bytes from offset to the end.
    MetafileBytes From(qsizetype offset) const { return Slice(offset, size_ - offset); }

    std::uint16_t UInt16(qsizetype offset) const;
    std::int16_t Int16(qsizetype offset) const { return static_cast<std::int16_t>(UInt16(offset)); }
    std::uint32_t UInt32(qsizetype offset) const;
    std::int32_t Int32(qsizetype offset) const { return static_cast<std::int32_t>(UInt32(offset)); }

    // Takes these bytes as a device-independent bitmap drawn by a record: a
    // core (12-byte) or a later (40-byte or longer) header that lies inside
    // them, with a width and height that make a picture CheckPictureSize
    // takes. Returns the bitmap's compression (0 for none, always 0 for a
    // core header); throws EPictureError for anything else.
    std::uint32_t BitmapCompression() const;

private:
    const char* data_;
    qsizetype size_;
};
