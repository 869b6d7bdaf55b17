// Feeds arbitrary bytes to the picture loader as a file: the first byte
// picks the file's name among those whose extensions the loader tells apart
// (in mixed case too, and two it does not read: none and pcx), the rest is the file. The
// loader reads the file, picks the reader by the extension and, for
// metafiles, the kind by the bytes; it must give a 24-bit picture within
// the limits, or none with the reason why.

#include "PictureFuzzCheck.h"
#include "PictureLimits.h"
#include "PictureLoader.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const names[] = {
        "picture.bmp",  "picture.DIB",  "picture.wmf",  "picture.EMF",
        "picture.gif",  "picture.Jpg",  "picture.jpeg", "picture.ico",
        "picture.png",  "picture",      "picture.webp", "picture.TIF",
        "picture.tiff", "picture.heic", "picture.AVIF", "picture.pcx",
    };
    static const QTemporaryDir folder;
    if (size == 0 || !folder.isValid())
        return 0;
    const QString path = folder.filePath(names[data[0] % std::size(names)]);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char*>(data + 1), static_cast<qint64>(size - 1)) !=
                static_cast<qint64>(size - 1)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            std::abort();
        }
    }
    QString failure;
    const std::optional<QImage> picture = LoadPictureFile(path, &failure);
    QFile::remove(path);
    if (!picture) {
        if (failure.isEmpty())
            picturefuzz::Fail("the loader gave no picture and no reason", QImage());
        return 0;
    }
    const std::int64_t pixels = std::int64_t{picture->width()} * picture->height();
    if (picture->isNull() || pixels <= 0 || pixels > MaxPicturePixels)
        picturefuzz::Fail("the loader gave a picture without pixels or beyond the limit", *picture);
    if (picture->format() != QImage::Format_RGB888)
        picturefuzz::Fail("the loader gave a picture that is not 24-bit", *picture);
    if (!FitsJpeg(picture->width(), picture->height()))
        picturefuzz::Fail("the loader gave a picture no JPEG file can hold", *picture);
    return 0;
}
