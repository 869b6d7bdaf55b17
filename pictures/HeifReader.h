#pragma once

#include <QByteArray>
#include <QImage>

// Reading HEIC/HEIF and AVIF files (what phones and many cameras write)
// with libheif: the primary image, with the rotation, mirroring and cropping
// the file records applied as libheif applies them (its Exif orientation is
// not applied again). The size is checked before anything is decoded,
// against the limits and against what a JPEG file can hold. High bit depths
// come down to 8 bits a channel. A picture without alpha comes as
// Format_RGB888, one with alpha as Format_ARGB32 for the loader to lay over
// white. Data that cannot be read, or a kind no decoder of this libheif
// takes (AVIF without an AV1 decoder), throws EPictureError.
QImage ReadHeif(const QByteArray& bytes);
