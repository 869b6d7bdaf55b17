#pragma once

#include <QByteArray>
#include <QImage>

// Reading Windows bitmaps: BMP files (and the device-independent bitmaps
// inside icons) with the core (12-byte), info (40-byte) and the later
// (52/56/64/108/124-byte) headers; 1, 4 and 8 bits with a palette, 16 bits
// (5-5-5 or bit fields), 24 bits, 32 bits (plain or bit fields); RLE8 and
// RLE4; rows bottom-up or top-down. The result is Format_RGB32, or
// Format_ARGB32 for an icon with transparent parts. Everything is checked
// against the input's length (run-length data must be able to hold the
// pixels it claims); a malformed or oversized bitmap throws EPictureError
// before any pixel memory is allocated.
QImage ReadBmp(const QByteArray& bytes);

// The bitmap of an icon entry: a header without a file header, whose height
// counts the colour rows and the transparency mask below them; the mask (and
// for 32-bit entries the alpha bytes) make pixels transparent.
QImage ReadIconBitmap(const QByteArray& bytes);
