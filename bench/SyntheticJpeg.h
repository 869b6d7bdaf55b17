#pragma once

#include <QByteArray>

#include <cstdint>
#include <functional>

// The bytes of a JPEG file of width × height colour pixels at the quality
// given (every other setting at the library defaults), its rows filled one
// at a time by fillRow(y, row) with red, green and blue bytes: the
// benchmarks' camera-like pictures.
QByteArray SyntheticJpeg(int width, int height, int quality,
                         const std::function<void(int y, std::uint8_t* row)>& fillRow);

// A photograph-like picture as a camera writes it (quality 92), CameraWidth
// x CameraHeight: a smooth sky-to-ground shading, a few soft-edged shapes,
// fine texture and sensor grain, so that the file is some megabytes, as
// dense as a real one.
constexpr int CameraWidth = 6000;
constexpr int CameraHeight = 4000;
QByteArray CameraPicture();
