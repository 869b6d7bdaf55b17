#include "THatchShape.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

THatchShape::THatchShape(Shape shape, QWidget* parent) : QWidget(parent), shape_(shape) {
    // Only the outline and the hatch lines are drawn.
    setAttribute(Qt::WA_NoSystemBackground);
}

void THatchShape::SetShape(Shape shape) {
    shape_ = shape;
    update();
}

void THatchShape::Draw(QPainter& painter, Shape shape, int x1, int y1, int x2, int y2) {
    const int left = std::min(x1, x2);
    const int top = std::min(y1, y2);
    const int width = std::abs(x2 - x1);
    const int height = std::abs(y2 - y1);
    if (shape == Shape::None || width == 0 || height == 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(QBrush(Qt::black, Qt::BDiagPattern));
    painter.setBackgroundMode(Qt::TransparentMode);
    // A 1-pixel outline of a QRect covers its right and bottom edge too, so
    // the rectangle is one pixel smaller than the area it fills.
    const QRect outline(left, top, width - 1, height - 1);
    switch (shape) {
    case Shape::Rectangle:
        painter.drawRect(outline);
        break;
    case Shape::Ellipse:
        painter.drawEllipse(outline);
        break;
    case Shape::RoundRect:
        painter.drawRoundedRect(outline, CornerSize / 2.0, CornerSize / 2.0, Qt::AbsoluteSize);
        break;
    case Shape::None:
        break;
    }
    painter.restore();
}

void THatchShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Draw(painter, shape_, 0, 0, width(), height());
}

void THatchShape::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit MouseDown(event->button(), at.x(), at.y());
}

void THatchShape::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit MouseMove(at.x(), at.y());
}

void THatchShape::mouseReleaseEvent(QMouseEvent*) {
    emit MouseUp();
}
