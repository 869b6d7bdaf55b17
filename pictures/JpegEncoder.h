#pragma once

#include <QByteArray>
#include <QImage>

// The stored picture form: the bytes of a baseline JFIF file, three colour
// components, quality 90, every other setting at the libjpeg defaults
// (standard tables, 2×2 chroma subsampling, no optimised Huffman tables).
// The image is made 24-bit first. An empty image gives no bytes.
QByteArray PictureToJpegBytes(const QImage& picture);
