#pragma once

#include <QByteArray>
#include <QImage>

// The thumbnail a picture gets when nobody cuts one by hand: the largest
// square in the middle of the picture, stretched to the thumbnail size as
// the image dialog stretches a cut area (no filtering).

constexpr int AutoThumbnailSide = 123;

// The thumbnail as a 24-bit bitmap of AutoThumbnailSide × AutoThumbnailSide
// pixels; a null image for an empty picture.
QImage AutoThumbnail(const QImage& picture);

// The same in the stored thumbnail form (BMP bytes); no bytes for an empty
// picture.
QByteArray AutoThumbnailBytes(const QImage& picture);
