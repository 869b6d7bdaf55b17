// Feeds arbitrary bytes to the stored picture as its blob: the header is read
// when the bytes are taken, the whole picture when its bitmap is asked for,
// and the bitmap must have the size the header gave.

#include "PictureFuzzCheck.h"
#include "TJpegPicture.h"

namespace {

QImage ReadStoredPicture(const QByteArray& bytes) {
    TJpegPicture picture;
    picture.LoadFromBytes(bytes);
    const QImage bitmap = picture.ToBitmap();
    if (bitmap.width() != picture.Width() || bitmap.height() != picture.Height())
        picturefuzz::Fail("bitmap differs from the size of the header", bitmap);
    return bitmap;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // No bytes is the empty picture, which has no bitmap.
    if (size == 0)
        return 0;
    return picturefuzz::ReadAndCheck(data, size, ReadStoredPicture);
}
