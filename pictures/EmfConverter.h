#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <chrono>

// Runs velmora-emf2svg, the separate program that turns EMF records into
// SVG, as a child process held as DrawingChild holds its own (it dies with
// this process, no core file, a memory limit, killed at the time limit),
// with only standard input and output open to it.
class EmfConverter {
public:
    // A path to run instead of the converter the program finds.
    static constexpr const char* PathVariable = "VELMORA_EMF2SVG";

    // The converter: the one PathVariable names when it is set, else the one
    // next to the running program, else the installed one relative to the
    // program's folder; empty when there is none.
    static QString Path();

    // The SVG of the records (see emf2svg/EmfToSvg.h for what the converter
    // takes) at the size. Throws EPictureError: "Metafile is corrupt" or
    // "Metafile record is corrupt" (refused), "Metafile cannot be drawn"
    // (no converter, or it crashed or failed), "Metafile takes too long to
    // draw" (killed at the time limit).
    static QByteArray ToSvg(const QByteArray& records, QSize size,
                            std::chrono::milliseconds timeLimit);
};
