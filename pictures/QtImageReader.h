#pragma once

#include <QByteArray>
#include <QImage>

// Reading PNG, WebP and TIFF files with Qt's image readers (the WebP and TIFF
// plugins come with Qt's extra image formats). The size the file's header
// claims is checked before anything is decoded, against the limits, against
// what a JPEG file can hold and, for PNG and TIFF, against the pixels the
// file's data can hold; Qt's own allocation limit stops a reader that would
// take more. Orientation a TIFF file records is applied. A picture with
// transparency comes as Format_ARGB32 for the loader to lay over white;
// data that cannot be read throws EPictureError.
QImage ReadPng(const QByteArray& bytes);
QImage ReadWebp(const QByteArray& bytes);
QImage ReadTiff(const QByteArray& bytes);
