// Feeds arbitrary bytes to the reading of a stored thumbnail, as every list
// and editor reads the "picture_th" column: it must give a 24-bit picture
// within the limits or none, and never throw. A thumbnail it gives, written
// back as the editors write it, must read back the same.

#include "BmpWriter.h"
#include "PictureFields.h"
#include "PictureFuzzCheck.h"
#include "PictureLimits.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QImage thumbnail = ThumbnailFromBytes(bytes);
    if (thumbnail.isNull())
        return 0;
    const std::int64_t pixels = std::int64_t{thumbnail.width()} * thumbnail.height();
    if (pixels <= 0 || pixels > MaxPicturePixels)
        picturefuzz::Fail("thumbnail without pixels or beyond the limit", thumbnail);
    if (thumbnail.format() != QImage::Format_RGB888)
        picturefuzz::Fail("thumbnail that is not 24-bit", thumbnail);
    if (ThumbnailFromBytes(BitmapToBmpBytes(thumbnail)) != thumbnail)
        picturefuzz::Fail("thumbnail that does not read back as it was written", thumbnail);
    return 0;
}
