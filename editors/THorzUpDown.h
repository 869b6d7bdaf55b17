#pragma once

#include <QWidget>

class QToolButton;

// A small horizontal up-down control: a left and a right arrow button side
// by side. It holds no value of its own; each click reports -1 for the left
// arrow and +1 for the right one.
class THorzUpDown : public QWidget {
    Q_OBJECT

public:
    static constexpr int ButtonWidth = 17;
    static constexpr int ButtonHeight = 17;

    explicit THorzUpDown(QWidget* parent = nullptr);

    QToolButton* Btn_left;
    QToolButton* Btn_right;

signals:
    void Stepped(int delta);
};
