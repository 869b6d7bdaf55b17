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

// Loads the graphic from the file; any error while loading gives false.
bool LoadGraphicFile(TGraphic& graphic, const QString& fileName);

// A bitmap of the graphic's size with the graphic drawn at (0, 0) over a
// white background; none for no graphic or when the bitmap cannot be made.
std::optional<QImage> GraphicToBitmap(const TGraphic* graphic);
