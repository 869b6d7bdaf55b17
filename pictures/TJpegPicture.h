#pragma once

#include <QByteArray>
#include <QImage>

// A stored picture: either the JPEG bytes read from its blob, loaded whole
// with the size their header gives, or a bitmap assigned to it, which is
// encoded only when the picture is saved. No bytes is the empty picture,
// 0 × 0, which loads without an error but has no bitmap.
class TJpegPicture {
public:
    // Takes the bytes and reads their header; throws EPictureError for bytes
    // that are not a JPEG picture the program takes. No bytes loads empty.
    void LoadFromBytes(const QByteArray& bytes);
    // Takes the bitmap (a null bitmap makes the picture empty). Throws
    // EPictureError, and keeps what it held, for a bitmap wider or higher
    // than a JPEG file can hold.
    void Assign(const QImage& bitmap);

    bool Empty() const { return bitmap_.isNull() && bytes_.isEmpty(); }
    int Width() const;
    int Height() const;

    // The stored form: the bytes as loaded, or the assigned bitmap encoded;
    // no bytes for the empty picture.
    QByteArray SaveToBytes() const;

    // The picture as a 24-bit bitmap at full size. Throws EPictureError for
    // the empty picture and for corrupt data.
    QImage ToBitmap() const;

private:
    QByteArray bytes_;
    QImage bitmap_;
    int width_ = 0;
    int height_ = 0;
};
