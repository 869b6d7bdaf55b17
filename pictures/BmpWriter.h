#pragma once

#include <QByteArray>
#include <QImage>

// The stored thumbnail form and the program's BMP files: a BMP file with a
// 40-byte BITMAPINFOHEADER, 24 bits per pixel, no compression, no palette,
// rows bottom-up in blue-green-red order, each padded with zeros to a
// multiple of 4 bytes; resolution fields are 0. The image is made 24-bit
// first. An empty image gives no bytes.
QByteArray BitmapToBmpBytes(const QImage& bitmap);
