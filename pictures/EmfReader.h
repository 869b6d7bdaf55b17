#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <chrono>
#include <functional>

// Reading an enhanced metafile (EMF): velmora-emf2svg, a separate program
// (EmfConverter), turns its records into SVG with libemf2svg and Qt SVG
// draws that once at the metafile's own size, the frame of its header
// (hundredths of a millimetre) taken at 96 pixels per inch; the frame is the
// part of the drawing that fills the picture. The header and every record
// are checked first (the records' insides with libUEMF, in the converter); a
// truncated or corrupt metafile, one whose size, frame or embedded bitmaps
// exceed the limits, or one the libraries crash on or take too long with
// (they run in child processes, the converter and DrawingChild, within one
// time limit) throws EPictureError. Run-length compressed bitmaps are left
// out of the drawing, and so is text when the process has no GUI
// application (Qt needs one for fonts); EMF+ records are not drawn (their
// EMF twins are). The result is Format_ARGB32_Premultiplied; what the
// metafile does not draw is transparent.
QImage ReadEmf(const QByteArray& bytes);

// What turns the records into SVG of the size, within the time limit (see
// EmfConverter::ToSvg); it throws EPictureError when it cannot.
using EmfToSvg = std::function<QByteArray(const QByteArray& records, QSize size,
                                          std::chrono::milliseconds timeLimit)>;

// ReadEmf with the records turned into SVG by toSvg instead of the converter.
QImage ReadEmf(const QByteArray& bytes, const EmfToSvg& toSvg);

// Whether the bytes start with an EMF header record with its signature.
bool HasEmfSignature(const QByteArray& bytes);
