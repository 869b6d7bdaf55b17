#include "THorzUpDown.h"

#include <QToolButton>

namespace {

QToolButton* ArrowButton(Qt::ArrowType arrow, int left, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(left, 0, THorzUpDown::ButtonWidth, THorzUpDown::ButtonHeight);
    return button;
}

} // namespace

THorzUpDown::THorzUpDown(QWidget* parent) : QWidget(parent) {
    Btn_left = ArrowButton(Qt::LeftArrow, 0, this);
    Btn_right = ArrowButton(Qt::RightArrow, ButtonWidth, this);
    resize(2 * ButtonWidth, ButtonHeight);
    connect(Btn_left, &QToolButton::clicked, this, [this] { emit Stepped(-1); });
    connect(Btn_right, &QToolButton::clicked, this, [this] { emit Stepped(+1); });
}
