#include "Bitmap24.h"

#include <QPainter>
#include <QRgb>

namespace {

// The premultiplied pixels of the image laid over white, row by row: each
// channel plus what the pixel leaves of white, as the painter composes it.
QImage OverWhite(const QImage& image) {
    const bool premultiplied = image.format() == QImage::Format_ARGB32_Premultiplied;
    QImage bitmap(image.size(), QImage::Format_RGB888);
    if (bitmap.isNull())
        return bitmap;
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* to = bitmap.scanLine(y);
        for (int x = 0; x < width; ++x, to += 3) {
            const QRgb pixel = premultiplied ? from[x] : qPremultiply(from[x]);
            const int white = 255 - qAlpha(pixel);
            to[0] = static_cast<uchar>(qRed(pixel) + white);
            to[1] = static_cast<uchar>(qGreen(pixel) + white);
            to[2] = static_cast<uchar>(qBlue(pixel) + white);
        }
    }
    return bitmap;
}

} // namespace

QImage ToBitmap24(const QImage& image) {
    if (image.isNull())
        return QImage();
    if (image.format() == QImage::Format_RGB888)
        return image;
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB888);
    // The readers give these two: a large picture goes over white in time
    // proportionate to its size.
    if (image.format() == QImage::Format_ARGB32 ||
        image.format() == QImage::Format_ARGB32_Premultiplied)
        return OverWhite(image);
    QImage bitmap(image.size(), QImage::Format_RGB888);
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, image);
    painter.end();
    return bitmap;
}
