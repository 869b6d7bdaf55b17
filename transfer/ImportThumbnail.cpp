#include "ImportThumbnail.h"

#include "AutoThumbnail.h"
#include "JpegDecoder.h"

#include <QImage>
#include <QString>

#include <exception>

namespace {

// The row's key for the column, in whatever letter case the row has it;
// empty when the row has none.
QString KeyOf(const QVariantHash& row, QLatin1String column) {
    for (auto it = row.cbegin(); it != row.cend(); ++it)
        if (it.key().compare(column, Qt::CaseInsensitive) == 0)
            return it.key();
    return {};
}

} // namespace

bool FillMissingThumbnail(QVariantHash& row) {
    const QString pictureKey = KeyOf(row, QLatin1String("picture"));
    if (pictureKey.isEmpty())
        return false;
    const QByteArray picture = row.value(pictureKey).toByteArray();
    if (!picture.startsWith("\xFF\xD8\xFF"))
        return false;
    QString thumbnailKey = KeyOf(row, QLatin1String("picture_th"));
    if (!thumbnailKey.isEmpty() && !row.value(thumbnailKey).toByteArray().isEmpty())
        return false;
    if (thumbnailKey.isEmpty())
        thumbnailKey = QStringLiteral("picture_th");
    QByteArray thumbnail;
    try {
        thumbnail = AutoThumbnailBytes(ReadJpeg(picture));
    } catch (const std::exception&) {
        return false;
    }
    if (thumbnail.isEmpty())
        return false;
    row.insert(thumbnailKey, thumbnail);
    return true;
}
