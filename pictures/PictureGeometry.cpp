#include "PictureGeometry.h"

#include "Bitmap24.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

enum class Turn { Left, Right };

void Rotate(const QImage& source, QImage& destination, Turn turn) {
    const QImage from = ToBitmap24(source);
    const int width = from.width();
    const int height = from.height();
    QImage to(height, width, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = from.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            const int column = turn == Turn::Left ? y : height - 1 - y;
            const int targetRow = turn == Turn::Left ? width - 1 - x : x;
            std::memcpy(to.scanLine(targetRow) + column * 3, row + x * 3, 3);
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
