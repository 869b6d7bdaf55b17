#include "PictureTestSupport.h"

#include <QFile>

#include <cstdlib>
#include <stdexcept>

namespace picturetest {

QImage Pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(
                x, y,
                qRgb((x * 37 + y * 11) % 256, (x * 5 + y * 53) % 256, (x * y + 3 * x + 101) % 256));
    return image;
}

QByteArray ReadFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot open " + fileName.toStdString());
    return file.readAll();
}

void WriteFile(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + fileName.toStdString());
}

bool RunCommand(const QString& commandLine) {
    return std::system(commandLine.toLocal8Bit().constData()) == 0;
}

QByteArray Le16(std::uint16_t value) {
    return Bytes({value & 0xFF, value >> 8});
}

QByteArray Le32(std::uint32_t value) {
    return Bytes({static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF), static_cast<int>(value >> 24)});
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

QByteArray BmpFile(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression,
                   const QByteArray& extra, const QByteArray& pixels, std::uint32_t colorsUsed) {
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(extra.size());
    QByteArray file =
        "BM" + Le32(offset + static_cast<std::uint32_t>(pixels.size())) + Le32(0) + Le32(offset);
    file += Le32(40) + Le32(static_cast<std::uint32_t>(width)) +
            Le32(static_cast<std::uint32_t>(height)) + Le16(1) +
            Le16(static_cast<std::uint16_t>(bits)) + Le32(compression) +
            Le32(static_cast<std::uint32_t>(pixels.size())) + Le32(0) + Le32(0) + Le32(colorsUsed) +
            Le32(0);
    return file + extra + pixels;
}

} // namespace picturetest
