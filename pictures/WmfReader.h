#pragma once

#include <QByteArray>
#include <QImage>

// Reading a placeable Windows metafile (WMF) with libwmf, drawn once at its
// own size: the bounding box of its placeable header, in the header's units
// per inch, taken at 96 pixels per inch. The part of the drawing that fills
// the picture is the window of the metafile's first window origin and extent
// records (the bounding box where it has none). The header and the chain of
// records are checked before libwmf sees them, and fonts are kept to sizes
// libwmf draws safely. libwmf draws in a child process (DrawingChild) within
// its time limit: a metafile it crashes on or takes too long with, one without the
// placeable header (it carries no size), a truncated or corrupt one, or one
// whose size or embedded bitmaps exceed the limits throws EPictureError; so
// does, before libwmf draws, one with a shape or a stretched bitmap whose
// area at the picture's scale has more pixels than a picture may have
// (libwmf fills it pixel by pixel, inside the picture or not), with the
// message of the time limit it would reach. The result is the 24-bit
// bitmap (Format_RGB888) of the drawing on a white background.
QImage ReadWmf(const QByteArray& bytes);

// Whether the bytes start with the key of a placeable metafile header.
bool HasWmfSignature(const QByteArray& bytes);
