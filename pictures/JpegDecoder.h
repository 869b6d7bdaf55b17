#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <string>

// Reading JPEG bytes with libjpeg. Colour, grey-scale and CMYK files
// (including the inverted CMYK that Adobe programs write) give a 24-bit
// bitmap (Format_RGB888).
//
// Data libjpeg can decode only in part (a truncated file, a damaged stretch
// in a scan: what it reports with a warning) are decoded as far as they go
// and the rest is filled in, as other viewers show them; the picture then
// comes with libjpeg's first warning as its damage, e.g. "Premature end of
// JPEG file" or "Corrupt JPEG data: premature end of data segment". Data it
// cannot decode at all (no picture, a broken header or marker), sizes beyond
// MaxPicturePixels and files needing more than MaxJpegScanPixels of work
// throw EPictureError ("JPEG error: " and libjpeg's message, or "JPEG
// picture is too large"); nothing is allocated for a picture whose header is
// refused.
struct JpegDecoding {
    QImage picture;
    std::string damage; // empty for whole data
};
JpegDecoding DecodeJpeg(const QByteArray& bytes);

// The picture of DecodeJpeg, damaged or not.
QImage ReadJpeg(const QByteArray& bytes);

// The width and height the header of the JPEG bytes gives, checked as
// ReadJpeg checks them; the picture data is not decoded.
QSize ReadJpegSize(const QByteArray& bytes);
