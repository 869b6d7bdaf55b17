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

bool IsPng(const char* image, qsizetype length) {
    return length >= 24 && std::memcmp(image, PngSignature, 8) == 0 &&
           std::memcmp(image + 12, "IHDR", 4) == 0;
}

// An entry of the directory: where its image lies in the file and the size
// its own header gives (the directory's bytes are often wrong). Only the
// chosen entry is copied out of the file.
struct Candidate {
    qsizetype offset = 0;
    qsizetype length = 0;
    std::int64_t pixels = -1; // -1 when the entry cannot be an image
    int bits = 0;
};

Candidate Inspect(const QByteArray& bytes, qsizetype offset, qsizetype length) {
    Candidate candidate{offset, length};
    const char* image = bytes.constData() + offset;
    if (IsPng(image, length)) {
        // Each side fits 32 bits, so their product fits 64 unsigned bits; a
        // count beyond the signed range still ranks as the largest (and is
        // refused when the entry is read).
        const std::uint64_t width = U32BigEndian(image + 16);
        const std::uint64_t height = U32BigEndian(image + 20);
        candidate.pixels = static_cast<std::int64_t>(
            std::min<std::uint64_t>(width * height, std::numeric_limits<std::int64_t>::max()));
        candidate.bits = 32;
    } else if (length >= 16 && U32(image) >= 40) {
        const std::int64_t width = static_cast<std::int32_t>(U32(image + 4));
        const std::int64_t height = static_cast<std::int32_t>(U32(image + 8)) / 2;
        candidate.pixels = width * (height < 0 ? -height : height);
        candidate.bits = U16(image + 14);
    }
    return candidate;
}

QImage ReadPng(const QByteArray& image) {
    const std::int64_t width = U32BigEndian(image.constData() + 16);
    const std::int64_t height = U32BigEndian(image.constData() + 20);
    CheckPictureSize(width, height);
    CheckPixelsBackedBy(width, height, image.size(), MaxDeflatePixelsPerByte);
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
        const Candidate candidate = Inspect(bytes, offset, length);
        if (candidate.pixels > best.pixels ||
            (candidate.pixels == best.pixels && candidate.bits > best.bits))
            best = candidate;
    }
    if (best.pixels <= 0)
        throw EPictureError("Icon file has no image");
    const QByteArray image = bytes.mid(best.offset, best.length);
    if (IsPng(image.constData(), image.size()))
        return ReadPng(image);
    return ReadIconBitmap(image);
}
