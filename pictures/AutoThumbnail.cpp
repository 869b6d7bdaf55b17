#include "AutoThumbnail.h"

#include "BmpWriter.h"
#include "PictureGeometry.h"

#include <QColor>
#include <QRect>

#include <algorithm>

QImage AutoThumbnail(const QImage& picture) {
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0)
        return {};
    const int side = std::min(picture.width(), picture.height());
    const QRect square((picture.width() - side) / 2, (picture.height() - side) / 2, side, side);
    return StretchDraw(CopyArea(picture, square, Qt::white),
                       QSize(AutoThumbnailSide, AutoThumbnailSide));
}

QByteArray AutoThumbnailBytes(const QImage& picture) {
    return BitmapToBmpBytes(AutoThumbnail(picture));
}
