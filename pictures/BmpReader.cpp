#include "BmpReader.h"

#include "ByteReader.h"
#include "EPictureError.h"
#include "PictureLimits.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

namespace {

constexpr int FileHeaderSize = 14;
constexpr std::uint32_t CompressionNone = 0;
constexpr std::uint32_t CompressionRle8 = 1;
constexpr std::uint32_t CompressionRle4 = 2;
constexpr std::uint32_t CompressionBitFields = 3;
constexpr std::uint32_t CompressionAlphaBitFields = 6;
constexpr QRgb Black = 0xFF000000;

[[noreturn]] void Truncated() {
    throw EPictureError("Bitmap data is truncated");
}

// One channel of a bit-field pixel, scaled to 0..255.
class Channel {
public:
    Channel() = default;
    explicit Channel(std::uint32_t mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), max_(mask ? mask >> shift_ : 0) {}

    int Value(std::uint32_t pixel) const {
        if (max_ == 0)
            return 0;
        return static_cast<int>(static_cast<std::uint64_t>((pixel & mask_) >> shift_) * 255 / max_);
    }

private:
    std::uint32_t mask_ = 0;
    int shift_ = 0;
    std::uint32_t max_ = 0;
};

struct DibLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = CompressionNone;
    std::array<Channel, 3> channels; // red, green, blue
    std::vector<QRgb> palette;
    qsizetype paletteStart = 0; // end of the header and bit masks
    qsizetype headerEnd = 0;    // end of the palette
};

DibLayout ReadLayout(const ByteReader& view, qsizetype start, bool icon) {
    DibLayout layout;
    const std::uint32_t headerSize = view.UInt32(start);
    std::uint32_t colorsUsed = 0;
    int paletteEntrySize = 4;
    std::array<std::uint32_t, 3> masks{};
    qsizetype masksEnd = 0;
    if (headerSize == 12) {
        layout.width = view.UInt16(start + 4);
        layout.height = static_cast<std::int16_t>(view.UInt16(start + 6));
        layout.bits = view.UInt16(start + 10);
        paletteEntrySize = 3;
        masksEnd = start + 12;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 ||
               headerSize == 108 || headerSize == 124) {
        view.Bytes(start, headerSize);
        layout.width = view.Int32(start + 4);
        layout.height = view.Int32(start + 8);
        layout.bits = view.UInt16(start + 14);
        layout.compression = view.UInt32(start + 16);
        colorsUsed = view.UInt32(start + 32);
        masksEnd = start + headerSize;
        const bool bitFields = layout.compression == CompressionBitFields ||
                               layout.compression == CompressionAlphaBitFields;
        if (headerSize == 64 && layout.compression > CompressionRle4)
            throw EPictureError("Bitmap compression is not supported");
        if (bitFields && headerSize == 40) {
            for (int i = 0; i < 3; ++i)
                masks[i] = view.UInt32(start + 40 + 4 * i);
            masksEnd += layout.compression == CompressionAlphaBitFields ? 16 : 12;
        } else if (bitFields) {
            for (int i = 0; i < 3; ++i)
                masks[i] = view.UInt32(start + 40 + 4 * i);
        }
    } else {
        throw EPictureError("Bitmap header is not supported");
    }

    if (icon)
        layout.height /= 2;
    if (layout.height < 0) {
        layout.topDown = true;
        layout.height = -layout.height;
    }
    CheckPictureSize(layout.width, layout.height);

    const int bits = layout.bits;
    switch (layout.compression) {
    case CompressionNone:
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            throw EPictureError("Bitmap bit count is not supported");
        if (bits == 16)
            masks = {0x7C00, 0x03E0, 0x001F};
        else if (bits == 32)
            masks = {0xFF0000, 0x00FF00, 0x0000FF};
        break;
    case CompressionRle8:
    case CompressionRle4:
        if (bits != (layout.compression == CompressionRle8 ? 8 : 4))
            throw EPictureError("Bitmap bit count does not fit its compression");
        break;
    case CompressionBitFields:
    case CompressionAlphaBitFields:
        if (bits != 16 && bits != 32)
            throw EPictureError("Bitmap bit count does not fit its compression");
        break;
    default:
        throw EPictureError("Bitmap compression is not supported");
    }
    for (int i = 0; i < 3; ++i)
        layout.channels[i] = Channel(masks[i]);

    qsizetype paletteSize = 0;
    if (bits <= 8)
        paletteSize = colorsUsed == 0 || colorsUsed > (1u << bits) ? (1 << bits) : colorsUsed;
    // A palette cut short by the end of the data keeps the entries present:
    // indexes past them read as black.
    const qsizetype available = std::max<qsizetype>(0, view.Size() - masksEnd) / paletteEntrySize;
    const qsizetype entries = std::min(paletteSize, available);
    const std::uint8_t* palette = view.Bytes(masksEnd, entries * paletteEntrySize);
    for (qsizetype i = 0; i < entries; ++i) {
        const std::uint8_t* entry = palette + i * paletteEntrySize;
        layout.palette.push_back(qRgb(entry[2], entry[1], entry[0]));
    }
    layout.paletteStart = masksEnd;
    layout.headerEnd = masksEnd + paletteSize * paletteEntrySize;
    return layout;
}

QRgb PaletteColour(const DibLayout& layout, unsigned index) {
    return index < layout.palette.size() ? layout.palette[index] : Black;
}

qsizetype RowStride(std::int64_t width, int bits) {
    return static_cast<qsizetype>((width * bits + 31) / 32 * 4);
}

void ReadRow(const DibLayout& layout, const std::uint8_t* from, QRgb* to) {
    const int width = static_cast<int>(layout.width);
    switch (layout.bits) {
    case 1:
    case 4:
    case 8: {
        const int bits = layout.bits;
        const int perByte = 8 / bits;
        const unsigned mask = (1u << bits) - 1;
        for (int x = 0; x < width; ++x) {
            const int shift = 8 - bits * (x % perByte + 1);
            to[x] = PaletteColour(layout, (from[x / perByte] >> shift) & mask);
        }
        break;
    }
    case 16:
    case 32:
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = 0;
            if (layout.bits == 16)
                pixel = static_cast<std::uint32_t>(from[x * 2] | from[x * 2 + 1] << 8);
            else
                pixel = static_cast<std::uint32_t>(from[x * 4]) | from[x * 4 + 1] << 8 |
                        from[x * 4 + 2] << 16 | static_cast<std::uint32_t>(from[x * 4 + 3]) << 24;
            to[x] = qRgb(layout.channels[0].Value(pixel), layout.channels[1].Value(pixel),
                         layout.channels[2].Value(pixel));
        }
        break;
    case 24:
        for (int x = 0; x < width; ++x)
            to[x] = qRgb(from[x * 3 + 2], from[x * 3 + 1], from[x * 3]);
        break;
    }
}

QImage NewImage(const DibLayout& layout, QImage::Format format) {
    QImage image(static_cast<int>(layout.width), static_cast<int>(layout.height), format);
    if (image.isNull())
        throw EPictureError("Not enough memory for the bitmap");
    image.fill(Black);
    return image;
}

int ImageRow(const DibLayout& layout, std::int64_t fileRow) {
    return static_cast<int>(layout.topDown ? fileRow : layout.height - 1 - fileRow);
}

QImage ReadPlain(const ByteReader& view, const DibLayout& layout, qsizetype pixels) {
    const qsizetype stride = RowStride(layout.width, layout.bits);
    const std::uint8_t* data = view.Bytes(pixels, stride * layout.height);
    QImage image = NewImage(layout, QImage::Format_RGB32);
    for (std::int64_t row = 0; row < layout.height; ++row)
        ReadRow(layout, data + row * stride,
                reinterpret_cast<QRgb*>(image.scanLine(ImageRow(layout, row))));
    return image;
}

// Run-length data; pixels the data skips stay black. Every step consumes at
// least two bytes, so the loop ends with the data. A picture larger than its
// data can give in runs is refused before its memory is taken.
QImage ReadRunLength(const ByteReader& view, const DibLayout& layout, qsizetype pixels) {
    const bool fourBits = layout.compression == CompressionRle4;
    const std::uint8_t* data = view.Bytes(pixels, view.Size() - pixels);
    const qsizetype size = view.Size() - pixels;
    CheckPixelsBackedBy(layout.width, layout.height, size, MaxRunLengthPixelsPerByte);
    QImage image = NewImage(layout, QImage::Format_RGB32);
    std::int64_t x = 0;
    std::int64_t y = 0;
    auto put = [&](unsigned index) {
        if (x < layout.width && y < layout.height)
            reinterpret_cast<QRgb*>(image.scanLine(ImageRow(layout, y)))[x] =
                PaletteColour(layout, index);
        ++x;
    };
    qsizetype at = 0;
    while (at + 2 <= size && y < layout.height) {
        const int count = data[at];
        const int value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(fourBits ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (at + 2 > size)
                break;
            x += data[at];
            y += data[at + 1];
            at += 2;
        } else {
            const qsizetype length = fourBits ? (value + 1) / 2 : value;
            if (at + length > size)
                break;
            for (int i = 0; i < value; ++i)
                put(fourBits ? (i % 2 == 0 ? data[at + i / 2] >> 4 : data[at + i / 2] & 0x0F)
                             : data[at + i]);
            at += (length + 1) / 2 * 2;
        }
    }
    return image;
}

QImage ReadPixels(const ByteReader& view, const DibLayout& layout, qsizetype pixels) {
    if (layout.compression == CompressionRle8 || layout.compression == CompressionRle4)
        return ReadRunLength(view, layout, pixels);
    return ReadPlain(view, layout, pixels);
}

} // namespace

QImage ReadBmp(const QByteArray& bytes) {
    const ByteReader view(bytes, Truncated);
    const std::uint8_t* header = view.Bytes(0, FileHeaderSize);
    if (header[0] != 'B' || header[1] != 'M')
        throw EPictureError("Not a BMP file");
    const DibLayout layout = ReadLayout(view, FileHeaderSize, false);
    // Writers are known to get the pixel offset wrong; an offset that
    // points into the headers or past the end is replaced by the end of the
    // palette. (A palette may be shorter than its bit count allows.)
    qsizetype pixels = view.UInt32(10);
    if (pixels < layout.paletteStart || pixels >= view.Size())
        pixels = layout.headerEnd;
    return ReadPixels(view, layout, pixels);
}

QImage ReadIconBitmap(const QByteArray& bytes) {
    const ByteReader view(bytes, Truncated);
    const DibLayout layout = ReadLayout(view, 0, true);
    if (layout.compression != CompressionNone && layout.compression != CompressionBitFields)
        throw EPictureError("Icon bitmap compression is not supported");
    QImage image = ReadPixels(view, layout, layout.headerEnd);
    const qsizetype colourBytes = RowStride(layout.width, layout.bits) * layout.height;

    // 32-bit entries carry alpha in their fourth byte; when every alpha byte
    // is 0 the mask decides, as for every other depth.
    const int width = static_cast<int>(layout.width);
    const int height = static_cast<int>(layout.height);
    if (layout.bits == 32) {
        const std::uint8_t* data = view.Bytes(layout.headerEnd, colourBytes);
        bool anyAlpha = false;
        for (qsizetype i = 3; i < colourBytes && !anyAlpha; i += 4)
            anyAlpha = data[i] != 0;
        if (anyAlpha) {
            QImage withAlpha = image.convertToFormat(QImage::Format_ARGB32);
            for (std::int64_t row = 0; row < layout.height; ++row) {
                const std::uint8_t* from = data + row * width * 4;
                auto* to = reinterpret_cast<QRgb*>(withAlpha.scanLine(ImageRow(layout, row)));
                for (int x = 0; x < width; ++x)
                    to[x] = (to[x] & 0x00FFFFFF) | static_cast<QRgb>(from[x * 4 + 3]) << 24;
            }
            return withAlpha;
        }
    }
    const qsizetype maskStride = RowStride(layout.width, 1);
    const qsizetype maskStart = layout.headerEnd + colourBytes;
    if (maskStart > view.Size() || maskStride * height > view.Size() - maskStart)
        return image; // no mask: every pixel is opaque
    const std::uint8_t* mask = view.Bytes(maskStart, maskStride * height);
    QImage withMask = image.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* from = mask + row * maskStride;
        auto* to = reinterpret_cast<QRgb*>(withMask.scanLine(ImageRow(layout, row)));
        for (int x = 0; x < width; ++x)
            if (from[x / 8] & (0x80 >> (x % 8)))
                to[x] &= 0x00FFFFFF;
    }
    return withMask;
}
