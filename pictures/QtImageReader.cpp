#include "QtImageReader.h"

#include "EPictureError.h"
#include "PictureLimits.h"

#include <QBuffer>
#include <QImageReader>

#include <string>

namespace {

// The memory Qt's readers may take for one picture, in megabytes: the
// largest picture the program takes, at four bytes a pixel, and a little.
constexpr int AllocationLimitMegabytes =
    static_cast<int>(MaxPicturePixels * 4 / (1024 * 1024)) + 16;

struct Kind {
    const char* format; // Qt's name of the reader
    const char* name;   // for messages
    bool deflateBound;  // the data can hold at most MaxDeflatePixelsPerByte
    void (*checkLayout)(const QByteArray&) = nullptr; // before the reader sees the bytes
};

// libpng takes the memory a chunk's length claims before it reads the
// chunk: every chunk up to the end has to lie within the file.
void CheckPngChunks(const QByteArray& bytes) {
    const auto u32 = [&bytes](qsizetype at) {
        const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + at;
        return (quint32{p[0]} << 24) | (quint32{p[1]} << 16) | (quint32{p[2]} << 8) | p[3];
    };
    qsizetype at = 8; // the signature
    while (at < bytes.size()) {
        if (bytes.size() - at < 12)
            throw EPictureError("PNG chunk runs past the end of the file");
        const qsizetype length = u32(at);
        if (length > bytes.size() - at - 12)
            throw EPictureError("PNG chunk runs past the end of the file");
        if (bytes.mid(at + 4, 4) == "IEND")
            return;
        at += 12 + length;
    }
}

QImage Read(const QByteArray& bytes, const Kind& kind) {
    if (kind.checkLayout != nullptr)
        kind.checkLayout(bytes);
    QImageReader::setAllocationLimit(AllocationLimitMegabytes);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, kind.format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        throw EPictureError(std::string("Not a ") + kind.name + " picture");
    const QSize size = reader.size();
    if (!size.isValid())
        throw EPictureError(std::string(kind.name) + " picture has no size");
    CheckPictureSize(size.width(), size.height());
    if (!FitsJpeg(size.width(), size.height()))
        throw EPictureError("Picture is too large");
    if (kind.deflateBound)
        CheckPixelsBackedBy(size.width(), size.height(), bytes.size(), MaxDeflatePixelsPerByte);
    QImage picture = reader.read();
    if (picture.isNull())
        throw EPictureError(std::string(kind.name) +
                            " error: " + reader.errorString().toStdString());
    CheckPictureSize(picture.width(), picture.height());
    if (picture.hasAlphaChannel())
        return picture.convertToFormat(QImage::Format_ARGB32);
    if (picture.format() == QImage::Format_RGB888)
        return picture;
    return picture.convertToFormat(QImage::Format_RGB888);
}

} // namespace

QImage ReadPng(const QByteArray& bytes) {
    return Read(bytes, {"png", "PNG", true, CheckPngChunks});
}

QImage ReadWebp(const QByteArray& bytes) {
    return Read(bytes, {"webp", "WebP", false});
}

QImage ReadTiff(const QByteArray& bytes) {
    return Read(bytes, {"tiff", "TIFF", true});
}
