#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <initializer_list>

namespace picturetest {

// A 24-bit bitmap whose every pixel differs from its neighbours.
QImage Pattern(int width, int height);

QByteArray ReadFile(const QString& fileName);
void WriteFile(const QString& fileName, const QByteArray& bytes);

// Runs a shell command line; true when it exits with 0.
bool RunCommand(const QString& commandLine);

// Little-endian byte builders for hand-made files.
QByteArray Le16(std::uint16_t value);
QByteArray Le32(std::uint32_t value);
QByteArray Bytes(std::initializer_list<int> values);

// A BMP file: file header, a 40-byte info header with the given fields,
// then extra (bit masks, palette) and the pixel data.
QByteArray BmpFile(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression,
                   const QByteArray& extra, const QByteArray& pixels, std::uint32_t colorsUsed = 0);

} // namespace picturetest
