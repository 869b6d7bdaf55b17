#include "PictureFields.h"

#include "Bitmap24.h"
#include "BmpReader.h"
#include "BmpWriter.h"
#include "DBactions.h"
#include "TField.h"
#include "TJpegPicture.h"
#include "TQuery.h"

#include <exception>

namespace {

const QString PictureField = QStringLiteral("picture");
const QString ThumbnailField = QStringLiteral("picture_th");

void WriteBlob(TQuery& dataSet, const QString& column, const QByteArray& bytes) {
    DataSetEdit(dataSet);
    dataSet.FieldByName(column).SetAsBytes(bytes);
}

} // namespace

void WriteStoredPicture(TQuery& dataSet, const TJpegPicture& picture) {
    WriteBlob(dataSet, PictureField, picture.SaveToBytes());
}

void WriteStoredThumbnail(TQuery& dataSet, const QImage& thumbnail) {
    WriteBlob(dataSet, ThumbnailField, BitmapToBmpBytes(thumbnail));
}

void ReadStoredPicture(TQuery& dataSet, TJpegPicture& picture) {
    picture.LoadFromBytes(dataSet.FieldByName(PictureField).AsBytes());
}

QImage ReadStoredThumbnail(TQuery& dataSet) {
    return ThumbnailFromBytes(dataSet.FieldByName(ThumbnailField).AsBytes());
}

QImage ThumbnailFromBytes(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return QImage();
    try {
        return ToBitmap24(ReadBmp(bytes));
    } catch (const std::exception&) {
        return QImage();
    }
}
