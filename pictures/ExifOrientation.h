#pragma once

#include <QByteArray>
#include <QImage>

// The orientation a camera records in a JPEG file's Exif data (APP1, tag
// 0x0112 of the first directory, either byte order): 1 for pictures stored
// upright and for files without it or with anything but 1 to 8 there. Only
// the marker segments before the picture data are looked at; every offset
// is checked against the bytes.
int JpegExifOrientation(const QByteArray& jpeg);

// The picture (24-bit) turned and mirrored as an Exif orientation says, so
// that it stands upright: 2 mirrored, 3 half a turn, 4 flipped, 5 the
// diagonal mirror, 6 a quarter clockwise, 7 the other diagonal mirror, 8 a
// quarter counter-clockwise. Any other orientation leaves it as it is.
QImage OrientUpright(const QImage& picture, int orientation);
