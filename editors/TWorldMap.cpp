#include "TWorldMap.h"

#include "Bitmap24.h"
#include "EPictureError.h"
#include "THatchShape.h"

#include <QPainter>

// The resource lives in a static library: it has to be registered before
// its first use, from outside any namespace.
static void InitAssets() {
    Q_INIT_RESOURCE(velmora);
}

QImage TWorldMap::Picture() {
    static const QImage map = [] {
        InitAssets();
        return ToBitmap24(QImage(QStringLiteral(":/world_map.bmp")));
    }();
    if (map.size() != QSize(Width, Height))
        throw EPictureError("The world map is missing from the program");
    return map;
}

QImage TWorldMap::WithLocation(int x1, int y1, int x2, int y2, bool roundRect) {
    // Drawn on a 32-bit copy, which the painter handles fastest.
    QImage canvas = Picture().convertToFormat(QImage::Format_RGB32);
    {
        QPainter painter(&canvas);
        THatchShape::Draw(painter,
                          roundRect ? THatchShape::Shape::RoundRect : THatchShape::Shape::Ellipse,
                          x1, y1, x2, y2);
    }
    return ToBitmap24(canvas);
}
