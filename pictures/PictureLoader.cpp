#include "PictureLoader.h"

#include <QFileInfo>
#include <QPainter>

#include <exception>
#include <memory>

std::optional<QImage> LoadPictureFile(const QString& fileName) {
    if (!QFileInfo(fileName).isFile())
        return std::nullopt;
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
    QImage bitmap(graphic->Width(), graphic->Height(), QImage::Format_RGB888);
    if (bitmap.isNull())
        return std::nullopt;
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, graphic->Image());
    if (!painter.end())
        return std::nullopt;
    return bitmap;
}
