#include "IcoReader.h"

#include "BmpReader.h"
#include "EPictureError.h"
#include "PictureLimits.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

constexpr int DirectoryHeaderSize = 6;
constexpr int EntrySize = 16;
constexpr char PngSignature[] = "\x89PNG\r\n\x1a\n";

std::uint32_t U32(const char* at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(at);
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint32_t U32BigEndian(const char* at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(at);
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

std::uint16_t U16(const char* at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(at);
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

bool IsPng(const QByteArray& image) {
    return image.size() >= 24 && std::memcmp(image.constData(), PngSignature, 8) == 0 &&
           std::memcmp(image.constData() + 12, "IHDR", 4) == 0;
}

struct Candidate {
    QByteArray data;
    std::int64_t pixels = -1;
    int bits = 0;
};

// The size an entry's own header gives (the directory's bytes are often
// wrong); -1 when the entry cannot be an image.
Candidate Inspect(const QByteArray& image) {
    Candidate candidate;
    candidate.data = image;
    if (IsPng(image)) {
        // Each side fits 32 bits, so their product fits 64 unsigned bits; a
        // count beyond the signed range still ranks as the largest (and is
        // refused when the entry is read).
        const std::uint64_t width = U32BigEndian(image.constData() + 16);
        const std::uint64_t height = U32BigEndian(image.constData() + 20);
        candidate.pixels = static_cast<std::int64_t>(
            std::min<std::uint64_t>(width * height, std::numeric_limits<std::int64_t>::max()));
        candidate.bits = 32;
    } else if (image.size() >= 16 && U32(image.constData()) >= 40) {
        const std::int64_t width = static_cast<std::int32_t>(U32(image.constData() + 4));
        const std::int64_t height = static_cast<std::int32_t>(U32(image.constData() + 8)) / 2;
        candidate.pixels = width * (height < 0 ? -height : height);
        candidate.bits = U16(image.constData() + 14);
    }
    return candidate;
}

QImage ReadPng(const QByteArray& image) {
    const std::int64_t width = U32BigEndian(image.constData() + 16);
    const std::int64_t height = U32BigEndian(image.constData() + 20);
    CheckPictureSize(width, height);
    QBuffer buffer;
    buffer.setData(image);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    QImage picture = reader.read();
    if (picture.isNull())
        throw EPictureError("Icon PNG image cannot be read");
    return picture.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

QImage ReadIco(const QByteArray& bytes) {
    if (bytes.size() < DirectoryHeaderSize || U16(bytes.constData()) != 0 ||
        U16(bytes.constData() + 2) != 1)
        throw EPictureError("Not an icon file");
    const int count = U16(bytes.constData() + 4);
    Candidate best;
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = DirectoryHeaderSize + static_cast<qsizetype>(i) * EntrySize;
        if (entry + EntrySize > bytes.size())
            break;
        const qsizetype length = U32(bytes.constData() + entry + 8);
        const qsizetype offset = U32(bytes.constData() + entry + 12);
        if (offset >= bytes.size() || length > bytes.size() - offset)
            continue;
        const Candidate candidate = Inspect(bytes.mid(offset, length));
        if (candidate.pixels > best.pixels ||
            (candidate.pixels == best.pixels && candidate.bits > best.bits))
            best = candidate;
    }
    if (best.pixels <= 0)
        throw EPictureError("Icon file has no image");
    if (IsPng(best.data))
        return ReadPng(best.data);
    return ReadIconBitmap(best.data);
}
