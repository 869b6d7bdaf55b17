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
