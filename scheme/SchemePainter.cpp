#include "SchemePainter.h"

#include "SchemeDocument.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

const QColor SchemePainter::Highlight(51, 204, 255);
const QColor SchemePainter::Gray(128, 128, 128);

namespace {

// Switches the pen colour only when it changes: thousands of elements are
// drawn in one pass.
class PenKeeper {
public:
    explicit PenKeeper(QPainter& painter) : painter_(painter) {}
    void Use(bool highlighted) {
        if (current_ == static_cast<int>(highlighted))
            return;
        current_ = highlighted;
        QPen pen(highlighted ? SchemePainter::Highlight : SchemePainter::Gray);
        pen.setWidth(1);
        painter_.setPen(pen);
    }

private:
    QPainter& painter_;
    int current_ = -1;
};

// Far beyond any sheet; coordinates held within it keep the sums of drawing
// inside int, whatever a file holds.
constexpr int FarAway = 1 << 24;

template <std::size_t N>
bool ReadAll(const TZunPigger& element, const char* const (&names)[N], int (&values)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        const std::optional<int> value = SchemeDocument::ToInt(element.GetAttribute(names[i]));
        if (!value)
            return false;
        values[i] = std::clamp(*value, -FarAway, FarAway);
    }
    return true;
}

void DrawNode(QPainter& painter, const TZunPigger& node, int ascent) {
    int v[4];
    if (!ReadAll(node, {"L", "T", "W", "H"}, v))
        return;
    const auto [l, t, w, h] = v;
    const int right = l + w;
    const int bottom = t + h;
    SchemePainter::Rect(painter, l, t, right, bottom);
    const std::string& name = node.GetAttribute("N_NAME");
    if (!name.empty())
        painter.drawText(l + 10, t + 10 + ascent, QString::fromUtf8(name.data(), name.size()));
    for (int i = 0; i < node.ChildCount(); ++i) {
        const TZunPigger& reference = *node.Child(i);
        int r[2];
        if (!ReadAll(reference, {"RX", "RY"}, r))
            continue;
        if (reference.Name() == "LINE_OUT") {
            const int x = l + r[0];
            const int y = t + r[1];
            SchemePainter::Rect(painter, x - 5, y - 5, x, y + 5);
        } else if (reference.Name() == "LINE_IN") {
            const int x = right + r[0];
            const int y = bottom + r[1];
            if (x == l)
                SchemePainter::Rect(painter, x, y - 5, x + 5, y + 5);
            else if (y == t)
                SchemePainter::Rect(painter, x - 5, y, x + 5, y + 5);
            else
                SchemePainter::Rect(painter, x - 5, y - 5, x + 5, y);
        }
    }
}

} // namespace

void SchemePainter::Rect(QPainter& painter, int x1, int y1, int x2, int y2) {
    painter.drawRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
}

void SchemePainter::Ellipse(QPainter& painter, int x1, int y1, int x2, int y2) {
    painter.drawEllipse(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
}

void SchemePainter::DrawArrow(QPainter& painter, int xb, int yb, int xe, int ye, int im,
                              int reach) {
    painter.drawLine(xb, yb, xb + reach, yb);
    Ellipse(painter, xb - 3, yb - 3, xb + 3, yb + 3);
    QPoint approach;
    QPoint wing1;
    QPoint wing2;
    if (im == 1) {
        approach = {xe, ye - reach};
        wing1 = {xe - 3, ye - 9};
        wing2 = {xe + 3, ye - 9};
    } else if (im == -1) {
        approach = {xe, ye + reach};
        wing1 = {xe - 3, ye + 9};
        wing2 = {xe + 3, ye + 9};
    } else {
        // Any other side enters from the left, as a new line does.
        approach = {xe - reach, ye};
        wing1 = {xe - 9, ye + 3};
        wing2 = {xe - 9, ye - 3};
    }
    const QPoint tip(xe, ye);
    painter.drawLine(approach, tip);
    painter.drawLine(tip, wing1);
    painter.drawLine(tip, wing2);
    painter.drawLine(approach, QPoint(xb + reach, yb));
}

void SchemePainter::Paint(QPainter& painter, const TZunPigger& root,
                          const SchemeSelection& selected) {
    painter.setBrush(Qt::white);
    PenKeeper pen(painter);
    const int ascent = QFontMetrics(painter.font()).ascent();
    for (int i = 0; i < root.ChildCount(); ++i) {
        const TZunPigger* node = root.Child(i);
        if (node->Name() != "NODE")
            continue;
        pen.Use(node == selected.Node);
        DrawNode(painter, *node, ascent);
    }
    for (int i = 0; i < root.ChildCount(); ++i) {
        const TZunPigger* line = root.Child(i);
        if (line->Name() != "LINE")
            continue;
        int v[5];
        if (!ReadAll(*line, {"XB", "YB", "XE", "YE", "IM"}, v))
            continue;
        pen.Use(line == selected.LineBegin || line == selected.LineEnd);
        DrawArrow(painter, v[0], v[1], v[2], v[3], v[4], Reach);
    }
}

QImage SchemePainter::Bitmap(const TZunPigger& root, const SchemeSelection& selected, int width,
                             int height, const QFont& font) {
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > MaxBitmapPixels)
        return {};
    QImage bitmap(width, height, QImage::Format_RGB32);
    if (bitmap.isNull())
        return {};
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.setFont(font);
    Paint(painter, root, selected);
    return bitmap;
}
