#include "BmpWriter.h"

#include "Bitmap24.h"
#include "ByteWriter.h"

#include <cstdint>

namespace {

constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;

} // namespace

QByteArray BitmapToBmpBytes(const QImage& bitmap) {
    if (bitmap.isNull() || bitmap.width() == 0 || bitmap.height() == 0)
        return QByteArray();
    const QImage source = ToBitmap24(bitmap);
    const int width = source.width();
    const int height = source.height();
    const qsizetype stride = (static_cast<qsizetype>(width) * 3 + 3) / 4 * 4;
    const qsizetype pixelBytes = stride * height;
    const qsizetype fileSize = FileHeaderSize + InfoHeaderSize + pixelBytes;

    QByteArray bytes(fileSize, '\0');
    ByteWriter header(bytes.data(), bytes.size());
    header.UInt8('B').UInt8('M').UInt32(static_cast<std::uint32_t>(fileSize));
    header.Seek(10).UInt32(FileHeaderSize + InfoHeaderSize);
    header.UInt32(InfoHeaderSize).Int32(width).Int32(height).UInt16(1).UInt16(24);
    header.Seek(FileHeaderSize + 20).UInt32(static_cast<std::uint32_t>(pixelBytes));

    char* pixels = bytes.data() + FileHeaderSize + InfoHeaderSize;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = source.constScanLine(y);
        char* to = pixels + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            to[x * 3] = static_cast<char>(from[x * 3 + 2]);
            to[x * 3 + 1] = static_cast<char>(from[x * 3 + 1]);
            to[x * 3 + 2] = static_cast<char>(from[x * 3]);
        }
    }
    return bytes;
}
