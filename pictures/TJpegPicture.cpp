#include "TJpegPicture.h"

#include "EPictureError.h"
#include "JpegDecoder.h"

void TJpegPicture::LoadFromBytes(const QByteArray& bytes) {
    bytes_.clear();
    width_ = 0;
    height_ = 0;
    if (bytes.isEmpty())
        return;
    const QSize size = ReadJpegSize(bytes);
    bytes_ = bytes;
    width_ = size.width();
    height_ = size.height();
}

QImage TJpegPicture::ToBitmap() const {
    if (bytes_.isEmpty())
        throw EPictureError("The picture is empty");
    return ReadJpeg(bytes_);
}
