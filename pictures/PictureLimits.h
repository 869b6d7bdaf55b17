#pragma once

#include "EPictureError.h"

#include <cstdint>

// Every reader checks the size a header claims before it allocates anything:
// a few bytes of a file must never make the program ask for gigabytes.
inline constexpr std::int64_t MaxPicturePixels = 100'000'000;
inline constexpr std::int64_t MaxPictureFileBytes = 512LL * 1024 * 1024;

// Throws EPictureError unless width × height is a picture the program takes.
inline void CheckPictureSize(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0)
        throw EPictureError("Picture has no pixels");
    if (width > MaxPicturePixels || height > MaxPicturePixels || width * height > MaxPicturePixels)
        throw EPictureError("Picture is too large");
}

// --- Pictures from outside: what a file's size can back, and what the
// stored form can hold.

// The widest and highest picture a JPEG file can hold (libjpeg's
// JPEG_MAX_DIMENSION); every picture the program keeps is stored as JPEG.
inline constexpr std::int64_t MaxJpegSide = 65'500;

inline bool FitsJpeg(std::int64_t width, std::int64_t height) {
    return width <= MaxJpegSide && height <= MaxJpegSide;
}

// The most pixels one byte of compressed data can stand for:
// - run-length bitmaps: a two-byte run gives at most 255 pixels;
// - LZW (GIF): a code of b bits names a string of at most 2^b pixels, so the
//   most per bit is 4096 / 12, at 12 bits;
// - deflate (PNG): at most 1032 bytes out per byte in, each byte of a 1-bit
//   row holding 8 pixels.
inline constexpr double MaxRunLengthPixelsPerByte = 255.0 / 2;
inline constexpr double MaxLzwPixelsPerByte = 4096.0 * 8 / 12;
inline constexpr double MaxDeflatePixelsPerByte = 1032.0 * 8;

// Throws EPictureError when width × height pixels are more than `bytes` of
// data compressed `pixelsPerByte` to one can hold: a header's claim the file
// cannot back is refused before the picture's memory is taken.
inline void CheckPixelsBackedBy(std::int64_t width, std::int64_t height, std::int64_t bytes,
                                double pixelsPerByte) {
    const double most = static_cast<double>(bytes > 0 ? bytes : 0) * pixelsPerByte;
    if (static_cast<double>(width) * static_cast<double>(height) > most)
        throw EPictureError("Picture is larger than its data can hold");
}

// --- Work a picture may cost: the decoding and drawing time a small file
// can ask for.

// Decoding work of a JPEG picture: a progressive file passes over the whole
// picture once for each of its scans, so scans × pixels bounds the time its
// decoding takes. Real progressive files have about ten scans (libjpeg's
// own progression ten for colour, six for grey); this leaves a 100-megapixel
// one twenty, a second or two of decoding.
inline constexpr std::int64_t MaxJpegScanPixels = 20 * MaxPicturePixels;

// Drawing work of a metafile: a drawing library that fills a shape or
// stretches a bitmap pixel by pixel, clipped or not, spends time on the
// whole area the record covers. An area of more pixels than a picture may
// have is not drawn.
inline bool FitsDrawing(double widthPixels, double heightPixels) {
    return widthPixels * heightPixels <= static_cast<double>(MaxPicturePixels);
}
