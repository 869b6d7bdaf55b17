#include "TTimeLinePicture.h"

#include "TEpochLine.h"

#include <QPainter>
#include <QPainterPath>

void TTimeLinePicture::Draw(QPainter& painter, const QRectF& area) {
    // The arrow is laid out on the editor's picture and scaled to the area.
    constexpr int w = TEpochLine::LineWidth;
    constexpr int h = TEpochLine::LineHeight;
    constexpr int headLength = 24;
    constexpr int middle = h / 2;
    constexpr int shaftHalf = 8;
    QPainterPath arrow;
    arrow.moveTo(0, middle);
    arrow.lineTo(headLength, 2);
    arrow.lineTo(headLength, middle - shaftHalf);
    arrow.lineTo(w - headLength, middle - shaftHalf);
    arrow.lineTo(w - headLength, 2);
    arrow.lineTo(w - 1, middle);
    arrow.lineTo(w - headLength, h - 3);
    arrow.lineTo(w - headLength, middle + shaftHalf);
    arrow.lineTo(headLength, middle + shaftHalf);
    arrow.lineTo(headLength, h - 3);
    arrow.closeSubpath();

    // Each half clipped on the picture's own scale.
    const auto fill = [&](const QRectF& half, const QColor& colour) {
        painter.save();
        painter.translate(area.topLeft());
        painter.scale(area.width() / w, area.height() / h);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setClipRect(half, Qt::IntersectClip);
        painter.fillPath(arrow, colour);
        painter.restore();
    };
    fill(QRectF(0, 0, TEpochLine::ZeroX, h), QColor(40, 70, 160));
    fill(QRectF(TEpochLine::ZeroX, 0, w - TEpochLine::ZeroX, h), QColor(130, 175, 235));
}

QImage TTimeLinePicture::Picture() {
    QImage picture(TEpochLine::LineWidth, TEpochLine::LineHeight,
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    Draw(painter, QRectF(picture.rect()));
    return picture;
}
