#include "IcoReader.h"

#include "BmpReader.h"
#include "ByteReader.h"
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

[[noreturn]] void NotAnIcon() {
    throw EPictureError("Not an icon file");
}

// The width (side 0) or height (side 1) in a PNG image's header, which
// holds them big-endian.
std::int64_t PngSide(QByteArrayView image, int side) {
    return ByteReader(image, NotAnIcon, ByteReader::BigEndian).UInt32(16 + 4 * side);
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

Candidate Inspect(QByteArrayView image, qsizetype offset) {
    Candidate candidate{offset, image.size()};
    const ByteReader header(image, NotAnIcon);
    if (IsPng(image.data(), image.size())) {
        // Each side fits 32 bits, so their product fits 64 unsigned bits; a
        // count beyond the signed range still ranks as the largest (and is
        // refused when the entry is read).
        const std::uint64_t width = PngSide(image, 0);
        const std::uint64_t height = PngSide(image, 1);
        candidate.pixels = static_cast<std::int64_t>(
            std::min<std::uint64_t>(width * height, std::numeric_limits<std::int64_t>::max()));
        candidate.bits = 32;
    } else if (image.size() >= 16 && header.UInt32(0) >= 40) {
        const std::int64_t width = header.Int32(4);
        const std::int64_t height = header.Int32(8) / 2;
        candidate.pixels = width * (height < 0 ? -height : height);
        candidate.bits = header.UInt16(14);
    }
    return candidate;
}

QImage ReadPng(const QByteArray& image) {
    const std::int64_t width = PngSide(image, 0);
    const std::int64_t height = PngSide(image, 1);
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
    const ByteReader file(bytes, NotAnIcon);
    if (file.UInt16(0) != 0 || file.UInt16(2) != 1)
        NotAnIcon();
    const int count = file.UInt16(4);
    Candidate best;
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = DirectoryHeaderSize + static_cast<qsizetype>(i) * EntrySize;
        if (entry + EntrySize > bytes.size())
            break;
        const qsizetype length = file.UInt32(entry + 8);
        const qsizetype offset = file.UInt32(entry + 12);
        if (offset >= bytes.size() || length > bytes.size() - offset)
            continue;
        const Candidate candidate = Inspect(QByteArrayView(bytes).sliced(offset, length), offset);
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
