#pragma once

#include <QByteArray>
#include <QImage>

// Reading an icon file: the largest of its images (by pixel count; among
// equals the deeper one, then the first). Entries are bitmaps with a
// transparency mask or PNG images. Transparent parts stay transparent
// (Format_ARGB32). Malformed data and oversized entries throw EPictureError.
QImage ReadIco(const QByteArray& bytes);
