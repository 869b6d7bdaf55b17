#include "PictureLoader.h"

#include "Bitmap24.h"
#include "BusyCursor.h"
#include "PictureLimits.h"

#include <QFileInfo>

#include <exception>
#include <memory>

std::optional<QImage> LoadPictureFile(const QString& fileName) {
    return LoadPictureFile(fileName, nullptr);
}

std::optional<QImage> LoadPictureFile(const QString& fileName, QString* failure) {
    const auto fail = [failure](const QString& why) -> std::optional<QImage> {
        if (failure != nullptr)
            *failure = why;
        return std::nullopt;
    };
    if (!QFileInfo(fileName).isFile())
        return fail(QStringLiteral("The file does not exist."));
    const BusyCursor busy;
    const std::unique_ptr<TGraphic> graphic = TGraphic::ForFileName(fileName);
    if (!graphic)
        return fail(QStringLiteral("Pictures of this kind cannot be read."));
    QString loadFailure;
    if (!LoadGraphicFile(*graphic, fileName, &loadFailure))
        return fail(loadFailure);
    const QString sizeFailure = PictureSizeFailure(QSize(graphic->Width(), graphic->Height()));
    if (!sizeFailure.isEmpty())
        return fail(sizeFailure);
    std::optional<QImage> bitmap = GraphicToBitmap(graphic.get());
    if (!bitmap)
        return fail(QStringLiteral("Not enough memory for the picture."));
    return bitmap;
}

QString PictureSizeFailure(const QSize& size) {
    if (FitsJpeg(size.width(), size.height()))
        return QString();
    return QStringLiteral("The picture is %1 x %2 pixels; a stored picture can be at most %3 "
                          "pixels wide and %3 pixels high.")
        .arg(size.width())
        .arg(size.height())
        .arg(MaxJpegSide);
}

bool LoadGraphicFile(TGraphic& graphic, const QString& fileName, QString* failure) {
    try {
        graphic.LoadFromFile(fileName);
        return true;
    } catch (const std::exception& error) {
        if (failure != nullptr)
            *failure = QString::fromStdString(error.what());
        return false;
    }
}

std::optional<QImage> GraphicToBitmap(const TGraphic* graphic) {
    if (graphic == nullptr || graphic->Width() <= 0 || graphic->Height() <= 0)
        return std::nullopt;
    // The graphic's picture is of its own size: it is converted, row by
    // row, rather than drawn (a JPEG's bitmap is handed over as it is).
    QImage bitmap = ToBitmap24(graphic->Image());
    if (bitmap.isNull())
        return std::nullopt;
    return bitmap;
}
