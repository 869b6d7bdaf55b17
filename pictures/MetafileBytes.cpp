#include "MetafileBytes.h"

#include "EPictureError.h"
#include "PictureLimits.h"

namespace {

constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;

[[noreturn]] void Truncated() {
    throw EPictureError("Metafile is truncated");
}

} // namespace

ByteReader MetafileBytes(QByteArrayView bytes) {
    return ByteReader(bytes, Truncated);
}

std::uint32_t BitmapCompression(const ByteReader& bitmap) {
    const std::uint32_t headerSize = bitmap.UInt32(0);
    if (headerSize == CoreHeaderSize) {
        CheckPictureSize(bitmap.UInt16(4), bitmap.UInt16(6));
        return 0;
    }
    if (headerSize < InfoHeaderSize || headerSize > static_cast<std::uint64_t>(bitmap.Size()))
        throw EPictureError("Metafile bitmap header is corrupt");
    // Negative heights are top-down rows; negative widths mean nothing.
    const std::int64_t height = bitmap.Int32(8);
    CheckPictureSize(bitmap.Int32(4), height < 0 ? -height : height);
    return bitmap.UInt32(16);
}
