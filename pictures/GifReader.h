#pragma once

#include <QByteArray>
#include <QImage>

// Reading a GIF file with giflib: the first frame, drawn as a GIF viewer
// draws it on the logical screen. Pixels outside the frame and pixels of the
// frame's transparent colour stay transparent (Format_ARGB32); the picture
// loader lays them over its background. Sizes are checked before anything is
// allocated, against the limits and against the pixels the file's data can
// hold; malformed data throws EPictureError.
QImage ReadGif(const QByteArray& bytes);
