#pragma once

#include <QByteArray>
#include <QImage>

// A stored picture as read from its blob: the JPEG bytes, loaded whole, with
// the size their header gives. No bytes is the empty picture, 0 × 0, which
// loads without an error but has no bitmap.
class TJpegPicture {
public:
    // Takes the bytes and reads their header; throws EPictureError for bytes
    // that are not a JPEG picture the program takes. No bytes loads empty.
    void LoadFromBytes(const QByteArray& bytes);

    bool Empty() const { return bytes_.isEmpty(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    const QByteArray& Bytes() const { return bytes_; }

    // The picture decoded at full size as a 24-bit bitmap. Throws
    // EPictureError for the empty picture and for corrupt data.
    QImage ToBitmap() const;

private:
    QByteArray bytes_;
    int width_ = 0;
    int height_ = 0;
};
