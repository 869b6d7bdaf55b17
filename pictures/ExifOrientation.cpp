#include "ExifOrientation.h"

#include "PictureGeometry.h"

#include <cstdint>

namespace {

constexpr int Upright = 1;

class Bytes {
public:
    Bytes(const uchar* data, qsizetype size) : data_(data), size_(size) {}

    bool Has(qsizetype at, qsizetype count) const {
        return at >= 0 && count >= 0 && at <= size_ && count <= size_ - at;
    }
    std::uint32_t U16(qsizetype at, bool bigEndian) const {
        return bigEndian ? (std::uint32_t{data_[at]} << 8) | data_[at + 1]
                         : (std::uint32_t{data_[at + 1]} << 8) | data_[at];
    }
    std::uint32_t U32(qsizetype at, bool bigEndian) const {
        return bigEndian ? (U16(at, true) << 16) | U16(at + 2, true)
                         : (U16(at + 2, false) << 16) | U16(at, false);
    }
    const uchar* At(qsizetype at) const { return data_ + at; }

private:
    const uchar* data_;
    qsizetype size_;
};

// The orientation in a TIFF structure (the Exif data after "Exif\0\0").
int TiffOrientation(const Bytes& tiff) {
    if (!tiff.Has(0, 8))
        return Upright;
    bool bigEndian = false;
    if (tiff.At(0)[0] == 'M' && tiff.At(0)[1] == 'M')
        bigEndian = true;
    else if (!(tiff.At(0)[0] == 'I' && tiff.At(0)[1] == 'I'))
        return Upright;
    if (tiff.U16(2, bigEndian) != 42)
        return Upright;
    const qsizetype directory = tiff.U32(4, bigEndian);
    if (!tiff.Has(directory, 2))
        return Upright;
    const std::uint32_t count = tiff.U16(directory, bigEndian);
    for (std::uint32_t i = 0; i < count; ++i) {
        const qsizetype entry = directory + 2 + qsizetype{12} * i;
        if (!tiff.Has(entry, 12))
            return Upright;
        if (tiff.U16(entry, bigEndian) != 0x0112)
            continue;
        // SHORT, one value, held in the entry itself.
        if (tiff.U16(entry + 2, bigEndian) != 3 || tiff.U32(entry + 4, bigEndian) != 1)
            return Upright;
        const std::uint32_t value = tiff.U16(entry + 8, bigEndian);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : Upright;
    }
    return Upright;
}

QImage Rotated(const QImage& picture, bool clockwise) {
    QImage turned;
    if (clockwise)
        RotateRight(picture, turned);
    else
        RotateLeft(picture, turned);
    return turned;
}

} // namespace

int JpegExifOrientation(const QByteArray& jpeg) {
    const Bytes bytes(reinterpret_cast<const uchar*>(jpeg.constData()), jpeg.size());
    if (!bytes.Has(0, 2) || bytes.At(0)[0] != 0xFF || bytes.At(0)[1] != 0xD8)
        return Upright;
    qsizetype at = 2;
    while (bytes.Has(at, 4)) {
        if (bytes.At(at)[0] != 0xFF)
            return Upright;
        const uchar marker = bytes.At(at)[1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        // The picture data begins, or the picture ends: no Exif data before.
        if (marker == 0xDA || marker == 0xD9)
            return Upright;
        const qsizetype length = bytes.U16(at + 2, true);
        if (length < 2 || !bytes.Has(at + 2, length))
            return Upright;
        const qsizetype body = at + 4;
        const qsizetype bodyLength = length - 2;
        if (marker == 0xE1 && bodyLength >= 6 &&
            QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.At(body)), 6) ==
                QByteArray("Exif\0\0", 6))
            return TiffOrientation(Bytes(bytes.At(body + 6), bodyLength - 6));
        at += 2 + length;
    }
    return Upright;
}

QImage OrientUpright(const QImage& picture, int orientation) {
    switch (orientation) {
    case 2:
        return picture.mirrored(true, false);
    case 3:
        return picture.mirrored(true, true);
    case 4:
        return picture.mirrored(false, true);
    case 5:
        return Rotated(picture, true).mirrored(true, false);
    case 6:
        return Rotated(picture, true);
    case 7:
        return Rotated(picture, true).mirrored(false, true);
    case 8:
        return Rotated(picture, false);
    default:
        return picture;
    }
}
