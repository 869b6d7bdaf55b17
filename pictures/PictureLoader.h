#pragma once

#include "TGraphic.h"

#include <QImage>
#include <QString>

#include <optional>

// Loading picture files into working bitmaps (24-bit, Format_RGB888). These
// routines need no window.

// The picture of a file of one of the kinds TGraphic reads, or none when the
// file does not exist, its extension is not one of them, or its reader
// rejects it. Never throws for a bad file. In a GUI application the busy
// cursor shows while the file loads and the previous cursor comes back on
// every way out.
std::optional<QImage> LoadPictureFile(const QString& fileName);

// The same; when it gives none and failure is given, failure receives why,
// in words the program can show. A picture wider or higher than a JPEG file
// can hold (MaxJpegSide) is refused here: it could never be stored.
std::optional<QImage> LoadPictureFile(const QString& fileName, QString* failure);

// Why a bitmap of this size cannot be stored as a picture, or an empty text
// when it can.
QString PictureSizeFailure(const QSize& size);

// Loads the graphic from the file; any error while loading gives false
// (and its text in failure, when given).
bool LoadGraphicFile(TGraphic& graphic, const QString& fileName, QString* failure = nullptr);

// A bitmap of the graphic's size with the graphic drawn at (0, 0) over a
// white background; none for no graphic or when the bitmap cannot be made.
std::optional<QImage> GraphicToBitmap(const TGraphic* graphic);
