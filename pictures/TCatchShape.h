#pragma once

#include <QWidget>

// The catch rectangle of the image dialog: a red dotted outline without
// fill, with the hand cursor. It reports the mouse in its own coordinates;
// whoever owns it moves it.
class TCatchShape : public QWidget {
    Q_OBJECT

public:
    static constexpr int Size = 123;

    explicit TCatchShape(QWidget* parent = nullptr);

signals:
    void MouseDown(int x, int y);
    void MouseMove(int x, int y);
    void MouseUp();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
