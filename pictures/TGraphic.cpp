#include "TGraphic.h"

#include "BmpReader.h"
#include "EPictureError.h"
#include "EmfReader.h"
#include "ExifOrientation.h"
#include "GifReader.h"
#include "HeifReader.h"
#include "IcoReader.h"
#include "JpegDecoder.h"
#include "PictureLimits.h"
#include "QtImageReader.h"
#include "WmfReader.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Either kind of metafile, whichever extension it has: files named .wmf
// often hold an enhanced metafile, and the two start differently.
QImage ReadMetafile(const QByteArray& bytes) {
    if (HasWmfSignature(bytes))
        return ReadWmf(bytes);
    if (HasEmfSignature(bytes))
        return ReadEmf(bytes);
    throw EPictureError("Not a Windows metafile");
}

// A JPEG file as a camera wrote it, stood upright as its Exif data says.
// Stored pictures are decoded as they are: only files are turned.
QImage ReadJpegFile(const QByteArray& bytes) {
    return OrientUpright(ReadJpeg(bytes), JpegExifOrientation(bytes));
}

} // namespace

std::unique_ptr<TGraphic> TGraphic::ForFileName(const QString& fileName) {
    const QString extension = QFileInfo(fileName).suffix().toUpper();
    Reader reader = nullptr;
    if (extension == "BMP" || extension == "DIB")
        reader = ReadBmp;
    else if (extension == "WMF" || extension == "EMF")
        reader = ReadMetafile;
    else if (extension == "GIF")
        reader = ReadGif;
    else if (extension == "JPG" || extension == "JPEG")
        reader = ReadJpegFile;
    else if (extension == "ICO")
        reader = ReadIco;
    else if (extension == "PNG")
        reader = ReadPng;
    else if (extension == "WEBP")
        reader = ReadWebp;
    else if (extension == "TIF" || extension == "TIFF")
        reader = ReadTiff;
    else if (extension == "HEIC" || extension == "HEIF" || extension == "AVIF")
        reader = ReadHeif;
    if (reader == nullptr)
        return nullptr;
    return std::make_unique<TGraphic>(reader);
}

void TGraphic::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EPictureError("Cannot open file " + fileName.toStdString());
    if (file.size() > MaxPictureFileBytes)
        throw EPictureError("File is too large: " + fileName.toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EPictureError("Cannot read file " + fileName.toStdString());
    LoadFromBytes(bytes);
}

void TGraphic::LoadFromBytes(const QByteArray& bytes) {
    image_ = QImage();
    image_ = reader_(bytes);
}
