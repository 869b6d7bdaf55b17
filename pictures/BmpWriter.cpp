#include "BmpWriter.h"

#include "Bitmap24.h"

#include <cstdint>

namespace {

constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;

void Put16(char* at, std::uint16_t value) {
    at[0] = static_cast<char>(value & 0xFF);
    at[1] = static_cast<char>(value >> 8);
}

void Put32(char* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

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
    char* header = bytes.data();
    header[0] = 'B';
    header[1] = 'M';
    Put32(header + 2, static_cast<std::uint32_t>(fileSize));
    Put32(header + 10, FileHeaderSize + InfoHeaderSize);
    char* info = header + FileHeaderSize;
    Put32(info, InfoHeaderSize);
    Put32(info + 4, static_cast<std::uint32_t>(width));
    Put32(info + 8, static_cast<std::uint32_t>(height));
    Put16(info + 12, 1);
    Put16(info + 14, 24);
    Put32(info + 20, static_cast<std::uint32_t>(pixelBytes));

    char* pixels = info + InfoHeaderSize;
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
