#pragma once

#include <QImage>

// The built-in world map of the genre editor and of the genre maps of the
// HTML export: 355 × 184 pixels, light blue land on white, made from
// Natural Earth data by scripts/make-world-map.mjs.
class TWorldMap {
public:
    static constexpr int Width = 355;
    static constexpr int Height = 184;

    // The map as a 24-bit bitmap; throws EPictureError when the program's
    // resource is missing.
    static QImage Picture();
    // A copy of the map with a location drawn hatched in the rectangle from
    // (x1, y1) to (x2, y2) in map coordinates, right and bottom excluded: an
    // ellipse, or a rounded rectangle with 25 × 25 corner ellipses.
    static QImage WithLocation(int x1, int y1, int x2, int y2, bool roundRect);
};
