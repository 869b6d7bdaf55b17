#include "Bitmap24.h"

#include <QPainter>

QImage ToBitmap24(const QImage& image) {
    if (image.isNull())
        return QImage();
    if (image.format() == QImage::Format_RGB888)
        return image;
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB888);
    QImage bitmap(image.size(), QImage::Format_RGB888);
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, image);
    painter.end();
    return bitmap;
}
