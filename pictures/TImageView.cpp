#include "TImageView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

TImageView::TImageView(QWidget* parent) : QWidget(parent) {}

void TImageView::SetPicture(const QImage& picture) {
    picture_ = picture;
    smoothed_ = QImage();
    FitToPicture();
    update();
}

void TImageView::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    FitToPicture();
}

void TImageView::SetStretch(bool stretch) {
    stretch_ = stretch;
    update();
}

void TImageView::SetCenter(bool center) {
    center_ = center;
    update();
}

void TImageView::SetSmooth(bool smooth) {
    smooth_ = smooth;
    smoothed_ = QImage();
    update();
}

void TImageView::FitToPicture() {
    if (autoSize_ && !picture_.isNull())
        resize(picture_.size());
}

void TImageView::paintEvent(QPaintEvent* event) {
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (stretch_ && smooth_ && width() <= picture_.width() && height() <= picture_.height()) {
        if (smoothed_.size() != size())
            smoothed_ = picture_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QRect shown = event->rect().intersected(rect());
        painter.drawImage(shown.topLeft(), smoothed_, shown);
        return;
    }
    if (stretch_) {
        // The painter repeats or drops pixels unless told to smooth.
        painter.drawImage(rect(), picture_);
        return;
    }
    QRect target(QPoint(0, 0), picture_.size());
    if (center_)
        target.moveCenter(rect().center());
    // Only the part that shows is drawn: the bitmap may be very large.
    const QRect shown = target.intersected(event->rect());
    if (!shown.isEmpty())
        painter.drawImage(shown.topLeft(), picture_, shown.translated(-target.topLeft()));
}

void TImageView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Clicked();
    QWidget::mouseReleaseEvent(event);
}

void TImageView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit DoubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}
