#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>

// A picture read from a file of one kind (bitmap, metafile, GIF, JPEG,
// icon, PNG, WebP, TIFF, HEIC/AVIF), held at its own size until it is drawn; a metafile is drawn
// once, when it is read. Which reader a file gets is chosen by the upper-cased extension of its
// name.
class TGraphic {
public:
    using Reader = QImage (*)(const QByteArray& bytes);

    explicit TGraphic(Reader reader) : reader_(reader) {}

    // The graphic for a file name's extension, or none for a kind the program
    // does not read.
    static std::unique_ptr<TGraphic> ForFileName(const QString& fileName);

    // Reads the whole file with this graphic's reader. Throws EPictureError
    // (and leaves the graphic empty) when the file cannot be read or the
    // reader rejects it.
    void LoadFromFile(const QString& fileName);
    void LoadFromBytes(const QByteArray& bytes);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    // The picture as read; parts of it may be transparent.
    const QImage& Image() const { return image_; }

private:
    Reader reader_;
    QImage image_;
};
