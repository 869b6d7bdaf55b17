#pragma once

#include <QImage>

// The working bitmap of the picture code is a QImage in Format_RGB888:
// three bytes per pixel (red, green, blue), rows reached with scanLine().

// The image as a 24-bit bitmap; transparent parts are laid over white.
// A null image stays null.
QImage ToBitmap24(const QImage& image);
