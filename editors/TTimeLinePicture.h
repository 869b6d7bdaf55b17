#pragma once

#include <QImage>

class QPainter;
class QRectF;

// The time line picture of the genre editor: a horizontal double-headed
// arrow, darker blue for the years before 0, lighter blue after, drawn
// into any rectangle. Year 0 lies at the same share of the width as on the
// editor's 350-pixel picture.
class TTimeLinePicture {
public:
    // The arrow scaled into area, on whatever lies below.
    static void Draw(QPainter& painter, const QRectF& area);
    // The editor's picture: the arrow on a transparent ground at the size
    // of the editor's time line.
    static QImage Picture();
};
