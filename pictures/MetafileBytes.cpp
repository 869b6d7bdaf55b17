#include "MetafileBytes.h"

#include "EPictureError.h"
#include "PictureLimits.h"

namespace {

constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;

} // namespace

MetafileBytes MetafileBytes::Slice(qsizetype offset, qsizetype length) const {
    if (offset < 0 || length < 0 || offset > size_ || length > size_ - offset)
        throw EPictureError("Metafile is truncated");
    return MetafileBytes(data_ + offset, length);
}

std::uint16_t MetafileBytes::UInt16(qsizetype offset) const {
    const auto* p = reinterpret_cast<const std::uint8_t*>(Slice(offset, 2).data_);
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t MetafileBytes::UInt32(qsizetype offset) const {
    const auto* p = reinterpret_cast<const std::uint8_t*>(Slice(offset, 4).data_);
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint32_t MetafileBytes::BitmapCompression() const {
    const std::uint32_t headerSize = UInt32(0);
    if (headerSize == CoreHeaderSize) {
        CheckPictureSize(UInt16(4), UInt16(6));
        return 0;
    }
    if (headerSize < InfoHeaderSize || headerSize > static_cast<std::uint64_t>(size_))
        throw EPictureError("Metafile bitmap header is corrupt");
    // Negative heights are top-down rows; negative widths mean nothing.
    const std::int64_t height = Int32(8);
    CheckPictureSize(Int32(4), height < 0 ? -height : height);
    return UInt32(16);
}
