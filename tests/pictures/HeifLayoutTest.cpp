// The HEIF structure checked before libheif trusts it: item locations
// within the file, and the sizes grid images are composed at.

#include "HeifLayout.h"
#include "EPictureError.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

QByteArray Be(std::uint64_t value, int size) {
    QByteArray bytes;
    for (int i = size - 1; i >= 0; --i)
        bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    return bytes;
}

QByteArray Box(const char* type, const QByteArray& body) {
    return Be(static_cast<std::uint64_t>(body.size()) + 8, 4) + QByteArray(type, 4) + body;
}

// A file whose one item, a grid, has its descriptor (32-bit sizes) in idat,
// located by an extent of the given length.
QByteArray GridFile(std::uint32_t width, std::uint32_t height, std::uint32_t extentLength) {
    const QByteArray infe = Box("infe", Be(0x02000000, 4) + Be(1, 2) + Be(0, 2) + "grid");
    const QByteArray iinf = Box("iinf", Be(0, 4) + Be(1, 2) + infe);
    // Version 1: offset and length 4 bytes, no base offset, no index.
    const QByteArray iloc =
        Box("iloc", Be(0x01000000, 4) + Be(0x4400, 2) + Be(1, 2) + Be(1, 2) + Be(1, 2) + Be(0, 2) +
                        Be(1, 2) + Be(0, 4) + Be(extentLength, 4));
    const QByteArray idat =
        Box("idat", Be(0, 1) + Be(1, 1) + Be(0, 2) + Be(width, 4) + Be(height, 4));
    return Box("ftyp", "heicmif1") + Box("meta", Be(0, 4) + iinf + iloc + idat);
}

} // namespace

TEST(HeifLayoutTest, GridSizesAndItemLocationsAreCheckedBeforeDecoding) {
    const struct {
        std::uint32_t width;
        std::uint32_t height;
        std::uint32_t extentLength;
        bool refused;
    } cases[] = {
        {8000, 6000, 12, false},    // a phone's picture in tiles
        {70000, 100, 12, true},     // wider than a JPEG file holds
        {20000, 20000, 12, true},   // more pixels than the program takes
        {100, 100, 1u << 30, true}, // the descriptor runs past idat
    };
    for (const auto& c : cases) {
        const QByteArray file = GridFile(c.width, c.height, c.extentLength);
        if (c.refused)
            EXPECT_THROW(CheckHeifLayout(file), EPictureError) << c.width << " " << c.extentLength;
        else
            EXPECT_NO_THROW(CheckHeifLayout(file));
    }
    // Cut anywhere: refused or let through, never read past the end.
    const QByteArray whole = GridFile(100, 100, 12);
    for (qsizetype size = 0; size < whole.size(); ++size) {
        try {
            CheckHeifLayout(whole.left(size));
        } catch (const EPictureError&) {
        }
    }
}
