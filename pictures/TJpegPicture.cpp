#include "TJpegPicture.h"

#include "Bitmap24.h"
#include "EPictureError.h"
#include "JpegDecoder.h"
#include "JpegEncoder.h"
#include "PictureLimits.h"

void TJpegPicture::LoadFromBytes(const QByteArray& bytes) {
    bytes_.clear();
    bitmap_ = QImage();
    width_ = 0;
    height_ = 0;
    if (bytes.isEmpty())
        return;
    const QSize size = ReadJpegSize(bytes);
    bytes_ = bytes;
    width_ = size.width();
    height_ = size.height();
}

void TJpegPicture::Assign(const QImage& bitmap) {
    // Refused before anything changes: such a picture could be held but
    // never saved.
    if (!FitsJpeg(bitmap.width(), bitmap.height()))
        throw EPictureError("The picture is too large for a JPEG file");
    bytes_.clear();
    width_ = 0;
    height_ = 0;
    bitmap_ = ToBitmap24(bitmap);
}

int TJpegPicture::Width() const {
    return bitmap_.isNull() ? width_ : bitmap_.width();
}

int TJpegPicture::Height() const {
    return bitmap_.isNull() ? height_ : bitmap_.height();
}

QByteArray TJpegPicture::SaveToBytes() const {
    return bitmap_.isNull() ? bytes_ : PictureToJpegBytes(bitmap_);
}

QImage TJpegPicture::ToBitmap() const {
    if (!bitmap_.isNull())
        return bitmap_;
    if (bytes_.isEmpty())
        throw EPictureError("The picture is empty");
    return ReadJpeg(bytes_);
}
