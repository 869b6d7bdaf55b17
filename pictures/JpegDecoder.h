#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Reading JPEG bytes with libjpeg. Colour, grey-scale and CMYK files
// (including the inverted CMYK that Adobe programs write) give a 24-bit
// bitmap (Format_RGB888). Corrupt or truncated data, and sizes beyond
// MaxPicturePixels, throw EPictureError; nothing is allocated for a picture
// whose header is refused.
QImage ReadJpeg(const QByteArray& bytes);

// The width and height the header of the JPEG bytes gives, checked as
// ReadJpeg checks them; the picture data is not decoded.
QSize ReadJpegSize(const QByteArray& bytes);
