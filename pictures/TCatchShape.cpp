#include "TCatchShape.h"

#include <QMouseEvent>
#include <QPainter>

TCatchShape::TCatchShape(QWidget* parent) : QWidget(parent) {
    resize(Size, Size);
    setCursor(Qt::PointingHandCursor);
    // Only the outline is drawn: the picture shows through.
    setAttribute(Qt::WA_NoSystemBackground);
}

void TCatchShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(Qt::red, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TCatchShape::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint();
        emit MouseDown(at.x(), at.y());
    }
}

void TCatchShape::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit MouseMove(at.x(), at.y());
}

void TCatchShape::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit MouseUp();
}
