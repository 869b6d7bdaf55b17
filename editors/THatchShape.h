#pragma once

#include <QWidget>

class QPainter;

// A shape control of the genre editor: a rectangle, ellipse or rounded
// rectangle drawn with the black pen and a black backward-diagonal hatch
// that lets what lies below show between its lines, or nothing at all for
// an invisible grip. It reports the mouse in its own coordinates; whoever
// owns it moves and resizes it.
class THatchShape : public QWidget {
    Q_OBJECT

public:
    enum class Shape { None, Rectangle, Ellipse, RoundRect };

    // Corner ellipses of the rounded rectangle.
    static constexpr int CornerSize = 25;

    explicit THatchShape(Shape shape, QWidget* parent = nullptr);

    Shape GetShape() const { return shape_; }
    void SetShape(Shape shape);

    // Draws a shape in the rectangle from (x1, y1) to (x2, y2), right and
    // bottom excluded; nothing when it is empty.
    static void Draw(QPainter& painter, Shape shape, int x1, int y1, int x2, int y2);

signals:
    void MouseDown(Qt::MouseButton button, int x, int y);
    void MouseMove(int x, int y);
    void MouseUp();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Shape shape_;
};
