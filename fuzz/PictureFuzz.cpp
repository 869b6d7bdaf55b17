// Feeds arbitrary bytes to one of the picture file readers, chosen by the
// first byte: BMP, GIF, JPEG (header, then the whole picture) or icon. A
// reader may refuse the bytes with EPictureError; it must never crash, read
// outside its input or return a picture larger than the limit.

#include "BmpReader.h"
#include "EPictureError.h"
#include "GifReader.h"
#include "IcoReader.h"
#include "PictureLimits.h"
#include "TJpegPicture.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void CheckPicture(const QImage& picture) {
    const std::int64_t pixels = std::int64_t{picture.width()} * picture.height();
    if (picture.isNull() || pixels <= 0 || pixels > MaxPicturePixels) {
        std::fprintf(stderr, "reader returned a picture of %d x %d\n", picture.width(),
                     picture.height());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    try {
        switch (data[0] % 4) {
        case 0:
            CheckPicture(ReadBmp(bytes));
            break;
        case 1:
            CheckPicture(ReadGif(bytes));
            break;
        case 2: {
            TJpegPicture picture;
            picture.LoadFromBytes(bytes);
            if (!picture.Empty()) {
                const QImage bitmap = picture.ToBitmap();
                CheckPicture(bitmap);
                if (bitmap.width() != picture.Width() || bitmap.height() != picture.Height())
                    std::abort();
            }
            break;
        }
        case 3:
            CheckPicture(ReadIco(bytes));
            break;
        }
    } catch (const EPictureError&) {
    }
    return 0;
}
