#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

#include <cstdint>

// Geometry of working bitmaps. Every result is a 24-bit bitmap
// (Format_RGB888).

// Turns the source a quarter counter-clockwise into the destination: source
// pixel (x, y) goes to column y, row width - 1 - x.
void RotateLeft(const QImage& source, QImage& destination);

// Turns the source a quarter clockwise into the destination: source pixel
// (x, y) goes to column height - 1 - y, row x.
void RotateRight(const QImage& source, QImage& destination);

// The source stretched to the size by repeating or dropping pixels, without
// filtering: destination pixel (x, y) is the source pixel under its centre.
// An empty source or size gives a null image.
QImage StretchDraw(const QImage& source, QSize size);

// numerator / denominator rounded to the nearest integer, halves to the even
// one (denominator > 0; the numerator may be negative).
std::int64_t RoundHalfEven(std::int64_t numerator, std::int64_t denominator);

// A size at a percentage of itself, each side rounded halves to even.
QSize ScaledSize(const QSize& size, int percent);

// The area of the source, pixel for pixel, as a 24-bit bitmap of the area's
// size; the parts of the area outside the source are filled with fill. An
// empty area gives a null image.
QImage CopyArea(const QImage& source, const QRect& area, const QColor& fill);
