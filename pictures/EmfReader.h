#pragma once

#include <QByteArray>
#include <QImage>

// Reading an enhanced metafile (EMF): libemf2svg turns its records into SVG
// and Qt SVG draws that once at the metafile's own size, the frame of its
// header (hundredths of a millimetre) taken at 96 pixels per inch; the frame
// is the part of the drawing that fills the picture. The header and every
// record are checked first (the records' insides with libUEMF); a truncated
// or corrupt metafile, one whose size, frame or embedded bitmaps exceed the
// limits, or one the libraries crash on or take too long with (they run in
// a child process, DrawingChild, within its time limit) throws
// EPictureError. Run-length compressed bitmaps are left out of
// the drawing, and so is text when the process has no GUI application (Qt
// needs one for fonts); EMF+ records are not drawn (their EMF twins are).
// The result is Format_ARGB32_Premultiplied; what the metafile does not draw
// is transparent.
QImage ReadEmf(const QByteArray& bytes);

// Whether the bytes start with an EMF header record with its signature.
bool HasEmfSignature(const QByteArray& bytes);
