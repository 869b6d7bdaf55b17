#include "PictureGeometry.h"

#include "Bitmap24.h"
#include "EPictureError.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

enum class Turn { Left, Right };

// Square blocks of this many pixels a side are turned one at a time, so that
// the source rows read and the destination rows written in a block stay in
// the cache together; a pixel at a time across whole rows would miss it on
// every write.
constexpr int Block = 32;

void Rotate(const QImage& source, QImage& destination, Turn turn) {
    const QImage from = ToBitmap24(source);
    const int width = from.width();
    const int height = from.height();
    QImage to(height, width, QImage::Format_RGB888);
    if (to.isNull() && !from.isNull())
        throw EPictureError("Not enough memory to turn the picture");
    const std::uint8_t* const fromBits = from.constBits();
    std::uint8_t* const toBits = to.isNull() ? nullptr : to.bits();
    const qsizetype fromStride = from.bytesPerLine();
    const qsizetype toStride = to.bytesPerLine();
    // Destination row r holds source column x = r (Right) or width - 1 - r
    // (Left); along it, column c holds source row y = height - 1 - c (Right)
    // or c (Left). Each block is written a destination row at a time.
    for (int rowStart = 0; rowStart < width; rowStart += Block) {
        const int rowEnd = std::min(rowStart + Block, width);
        for (int columnStart = 0; columnStart < height; columnStart += Block) {
            const int columnEnd = std::min(columnStart + Block, height);
            for (int row = rowStart; row < rowEnd; ++row) {
                const int x = turn == Turn::Left ? width - 1 - row : row;
                std::uint8_t* target = toBits + row * toStride + columnStart * 3;
                qsizetype at =
                    (turn == Turn::Left ? columnStart : height - 1 - columnStart) * fromStride +
                    x * 3;
                const qsizetype step = turn == Turn::Left ? fromStride : -fromStride;
                for (int column = columnStart; column < columnEnd; ++column) {
                    const std::uint8_t* pixel = fromBits + at;
                    target[0] = pixel[0];
                    target[1] = pixel[1];
                    target[2] = pixel[2];
                    target += 3;
                    at += step;
                }
            }
        }
    }
    destination = to;
}

} // namespace

void RotateLeft(const QImage& source, QImage& destination) {
    Rotate(source, destination, Turn::Left);
}

void RotateRight(const QImage& source, QImage& destination) {
    Rotate(source, destination, Turn::Right);
}

QImage StretchDraw(const QImage& source, QSize size) {
    if (source.isNull() || size.isEmpty())
        return QImage();
    const QImage from = ToBitmap24(source);
    const std::int64_t sourceWidth = from.width();
    const std::int64_t sourceHeight = from.height();
    QImage to(size, QImage::Format_RGB888);
    if (to.isNull())
        return QImage();
    std::vector<int> columns(static_cast<size_t>(size.width()));
    for (int x = 0; x < size.width(); ++x)
        columns[x] = static_cast<int>((2 * std::int64_t{x} + 1) * sourceWidth / (2 * size.width()));
    for (int y = 0; y < size.height(); ++y) {
        const int sourceRow =
            static_cast<int>((2 * std::int64_t{y} + 1) * sourceHeight / (2 * size.height()));
        const std::uint8_t* row = from.constScanLine(sourceRow);
        std::uint8_t* target = to.scanLine(y);
        for (int x = 0; x < size.width(); ++x)
            std::memcpy(target + x * 3, row + columns[x] * 3, 3);
    }
    return to;
}

std::int64_t RoundHalfEven(std::int64_t numerator, std::int64_t denominator) {
    // Floor division, then the remainder decides.
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        --quotient;
        remainder += denominator;
    }
    const std::int64_t twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

QSize ScaledSize(const QSize& size, int percent) {
    return QSize(static_cast<int>(RoundHalfEven(std::int64_t{percent} * size.width(), 100)),
                 static_cast<int>(RoundHalfEven(std::int64_t{percent} * size.height(), 100)));
}

QImage CopyArea(const QImage& source, const QRect& area, const QColor& fill) {
    if (area.isEmpty())
        return QImage();
    QImage to(area.size(), QImage::Format_RGB888);
    if (to.isNull())
        return QImage();
    to.fill(fill);
    const QImage from = ToBitmap24(source);
    const QRect inside = area.intersected(from.rect());
    if (inside.isEmpty())
        return to;
    const int column = inside.left() - area.left();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        std::memcpy(to.scanLine(y - area.top()) + column * 3,
                    from.constScanLine(y) + inside.left() * 3,
                    static_cast<size_t>(inside.width()) * 3);
    return to;
}
