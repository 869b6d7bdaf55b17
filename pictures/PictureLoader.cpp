#include "PictureLoader.h"

#include "Bitmap24.h"
#include "BusyCursor.h"

#include <QFileInfo>
#include <QPainter>

#include <exception>
#include <memory>

std::optional<QImage> LoadPictureFile(const QString& fileName) {
    if (!QFileInfo(fileName).isFile())
        return std::nullopt;
    const BusyCursor busy;
    const std::unique_ptr<TGraphic> graphic = TGraphic::ForFileName(fileName);
    if (!graphic || !LoadGraphicFile(*graphic, fileName))
        return std::nullopt;
    return GraphicToBitmap(graphic.get());
}

bool LoadGraphicFile(TGraphic& graphic, const QString& fileName) {
    try {
        graphic.LoadFromFile(fileName);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::optional<QImage> GraphicToBitmap(const TGraphic* graphic) {
    if (graphic == nullptr || graphic->Width() <= 0 || graphic->Height() <= 0)
        return std::nullopt;
    // An opaque picture of eight bits a channel and of the graphic's size
    // would come out of the drawing below pixel for pixel as it is: a JPEG's
    // bitmap is handed over without a copy, a BMP's converted, both much
    // faster than drawing.
    const QImage& image = graphic->Image();
    const bool opaque =
        image.format() == QImage::Format_RGB888 || image.format() == QImage::Format_RGB32;
    if (opaque && image.size() == QSize(graphic->Width(), graphic->Height())) {
        QImage bitmap = ToBitmap24(image);
        if (bitmap.isNull())
            return std::nullopt;
        return bitmap;
    }
    QImage bitmap(graphic->Width(), graphic->Height(), QImage::Format_RGB888);
    if (bitmap.isNull())
        return std::nullopt;
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, image);
    if (!painter.end())
        return std::nullopt;
    return bitmap;
}
