// Feeds arbitrary bytes to the reader of a JPEG file's Exif orientation,
// and turns a small picture as it says: the orientation must be 1 to 8 and
// the picture keep its pixels.

#include "ExifOrientation.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const int orientation = JpegExifOrientation(bytes);
    if (orientation < 1 || orientation > 8) {
        std::fprintf(stderr, "orientation %d\n", orientation);
        std::abort();
    }
    static const QImage picture = [] {
        QImage image(3, 2, QImage::Format_RGB888);
        image.fill(Qt::blue);
        return image;
    }();
    const QImage upright = OrientUpright(picture, orientation);
    if (upright.width() * upright.height() != 6 || upright.format() != QImage::Format_RGB888) {
        std::fprintf(stderr, "orientation %d gave %d x %d\n", orientation, upright.width(),
                     upright.height());
        std::abort();
    }
    return 0;
}
