#pragma once

#include "SchemeSelection.h"

#include <QColor>
#include <QImage>

class QFont;
class QPainter;
class TZunPigger;

// Draws a scheme on any painter: every node, then every line, in document
// order, white filled, in gray or (selected) light blue. An element with a
// coordinate that is no integer is left out.
class SchemePainter {
public:
    static const QColor Highlight;
    static const QColor Gray;
    // How far a line's start stub and the approach to its tip reach.
    static constexpr int Reach = 30;

    static void Paint(QPainter& painter, const TZunPigger& root, const SchemeSelection& selected);

    // One arrow: a stub to the right of the begin with a small circle on
    // it, the approach into the tip from above (im 1), below (-1) or the
    // left (anything else), the arrowhead, and the connector between stub
    // and approach. The painter's pen and brush are used.
    static void DrawArrow(QPainter& painter, int xb, int yb, int xe, int ye, int im, int reach);

    // Larger bitmaps are not made: 400 MB of memory.
    static constexpr long long MaxBitmapPixels = 100'000'000;

    // The scheme drawn on a white width x height bitmap in the given font,
    // as on screen; null when a side is not positive or it is too large.
    static QImage Bitmap(const TZunPigger& root, const SchemeSelection& selected, int width,
                         int height, const QFont& font);

    // A rectangle or ellipse given by its corners as the drawing platform
    // of the schemes gives them: the right and bottom edges are left out.
    static void Rect(QPainter& painter, int x1, int y1, int x2, int y2);
    static void Ellipse(QPainter& painter, int x1, int y1, int x2, int y2);
};
