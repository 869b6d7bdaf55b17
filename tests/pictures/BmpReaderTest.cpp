// The BMP reader on hand-made files of every depth and compression, and on
// files that lie about their size or end too early.

#include "BmpReader.h"
#include "EPictureError.h"
#include "PictureTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include <vector>

using namespace picturetest;

namespace {

constexpr QRgb Black = 0xFF000000;

// The image's pixels row by row, top row first.
std::vector<QRgb> Pixels(const QImage& image) {
    std::vector<QRgb> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            pixels.push_back(image.pixel(x, y));
    return pixels;
}

QByteArray Palette(std::initializer_list<QRgb> colours) {
    QByteArray bytes;
    for (QRgb colour : colours)
        bytes += Bytes({qBlue(colour), qGreen(colour), qRed(colour), 0});
    return bytes;
}

} // namespace

TEST(BmpReaderTest, PaletteDepthsBottomUpAndCoreHeader) {
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    // 1 bit, 3 × 2: rows padded to 4 bytes, the last file row on top.
    const QImage oneBit =
        ReadBmp(BmpFile(3, 2, 1, 0, Palette({red, blue}), Bytes({0xA0, 0, 0, 0, 0x60, 0, 0, 0})));
    EXPECT_EQ(std::vector<QRgb>({red, blue, blue, blue, red, blue}), Pixels(oneBit));

    // 4 bits with a short palette (colours used = 2): index 5 is black.
    const QImage fourBits =
        ReadBmp(BmpFile(3, 1, 4, 0, Palette({red, blue}), Bytes({0x10, 0x50, 0, 0}), 2));
    EXPECT_EQ(std::vector<QRgb>({blue, red, Black}), Pixels(fourBits));

    // The OS/2 core header: 16-bit sizes, 3-byte palette entries.
    const QByteArray core = "BM" + Le32(36) + Le32(0) + Le32(32) + Le32(12) + Le16(2) + Le16(1) +
                            Le16(1) + Le16(8) + Bytes({0, 0, 255, 255, 0, 0}) + Bytes({1, 0, 0, 0});
    EXPECT_EQ(std::vector<QRgb>({blue, red}), Pixels(ReadBmp(core)));
}

TEST(BmpReaderTest, TrueColourDepthsBitFieldsAndTopDownRows) {
    // 16 bits with 5-6-5 bit fields, top-down.
    const QByteArray masks = Le32(0xF800) + Le32(0x07E0) + Le32(0x001F);
    EXPECT_EQ(std::vector<QRgb>({qRgb(255, 0, 0), qRgb(0, 255, 0)}),
              Pixels(ReadBmp(BmpFile(2, -1, 16, 3, masks, Bytes({0x00, 0xF8, 0xE0, 0x07})))));
    // 16 bits without fields are 5-5-5; 16 of 31 scales to 131.
    EXPECT_EQ(std::vector<QRgb>({qRgb(255, 0, 255), qRgb(0, 131, 131)}),
              Pixels(ReadBmp(BmpFile(2, 1, 16, 0, {}, Bytes({0x1F, 0x7C, 0x10, 0x02})))));
    // 32 bits, top-down: the fourth byte is ignored.
    EXPECT_EQ(
        std::vector<QRgb>({qRgb(0x30, 0x20, 0x10), qRgb(3, 2, 1)}),
        Pixels(ReadBmp(BmpFile(1, -2, 32, 0, {}, Bytes({0x10, 0x20, 0x30, 0xFF, 1, 2, 3, 0})))));
    // 24 bits, bottom-up, rows padded to 4 bytes.
    EXPECT_EQ(std::vector<QRgb>({qRgb(6, 5, 4), qRgb(3, 2, 1)}),
              Pixels(ReadBmp(BmpFile(1, 2, 24, 0, {}, Bytes({1, 2, 3, 0, 4, 5, 6, 0})))));
}

TEST(BmpReaderTest, RunLengthEncodedRowsWithDeltasAndAbsoluteRuns) {
    const QRgb c0 = qRgb(10, 20, 30);
    const QRgb c1 = qRgb(40, 50, 60);
    const QRgb c2 = qRgb(70, 80, 90);
    // RLE8, 4 × 3: a run, end of line, an absolute run (padded to a word,
    // index 7 past the palette), end of line, a delta, a run, end of bitmap.
    const QByteArray rle8 = Bytes({3, 1, 0, 0, 0, 3, 2, 0, 7, 0, 0, 0, 0, 2, 1, 0, 2, 2, 0, 1});
    EXPECT_EQ(std::vector<QRgb>({Black, c2, c2, Black, c2, c0, Black, Black, c1, c1, c1, Black}),
              Pixels(ReadBmp(BmpFile(4, 3, 8, 1, Palette({c0, c1, c2}), rle8, 3))));

    // RLE4, 5 × 2: a run alternating the two nibbles, then an absolute run
    // of three nibbles.
    const QByteArray rle4 = Bytes({5, 0x01, 0, 0, 0, 3, 0x10, 0x10, 0, 1});
    EXPECT_EQ(std::vector<QRgb>({c1, c0, c1, Black, Black, c0, c1, c0, c1, c0}),
              Pixels(ReadBmp(BmpFile(5, 2, 4, 2, Palette({c0, c1}), rle4, 2))));

    // Runs that overflow the row or the picture are clipped; data that ends
    // without an end marker leaves the rest black.
    const QImage clipped =
        ReadBmp(BmpFile(2, 1, 8, 1, Palette({c0, c1}), Bytes({200, 1, 0, 2, 255, 255, 9}), 2));
    EXPECT_EQ(std::vector<QRgb>({c1, c1}), Pixels(clipped));
}

TEST(BmpReaderTest, MalformedAndOversizedFilesAreRefused) {
    const QByteArray pixel = Bytes({1, 2, 3, 0});
    EXPECT_THROW(ReadBmp(QByteArray()), EPictureError);
    EXPECT_THROW(ReadBmp("BM"), EPictureError);
    EXPECT_THROW(ReadBmp("BA" + BmpFile(1, 1, 24, 0, {}, pixel).mid(2)), EPictureError);
    EXPECT_THROW(ReadBmp(BmpFile(1, 1, 7, 0, {}, pixel)), EPictureError) << "bit count";
    EXPECT_THROW(ReadBmp(BmpFile(1, 1, 24, 1, {}, pixel)), EPictureError) << "RLE8 needs 8 bits";
    EXPECT_THROW(ReadBmp(BmpFile(1, 1, 24, 4, {}, pixel)), EPictureError) << "embedded JPEG";
    EXPECT_THROW(ReadBmp(BmpFile(0, 1, 24, 0, {}, pixel)), EPictureError) << "no width";
    EXPECT_THROW(ReadBmp(BmpFile(2, 2, 24, 0, {}, pixel)), EPictureError) << "pixels cut short";
    QByteArray badHeader = BmpFile(1, 1, 24, 0, {}, pixel);
    badHeader[14] = 41;
    EXPECT_THROW(ReadBmp(badHeader), EPictureError);

    // Headers claiming billions of pixels, plain or run-length encoded, are
    // refused from the header alone; so is a height of -2^31.
    EXPECT_THROW(ReadBmp(BmpFile(100000, 100000, 24, 0, {}, pixel)), EPictureError);
    EXPECT_THROW(ReadBmp(BmpFile(60000, -60000, 8, 1, {}, Bytes({0, 1}))), EPictureError);
    EXPECT_THROW(ReadBmp(BmpFile(1, INT32_MIN, 24, 0, {}, pixel)), EPictureError);
    // Within the limit but without the data: refused before allocating.
    EXPECT_THROW(ReadBmp(BmpFile(10000, 10000, 24, 0, {}, pixel)), EPictureError);

    // A pixel offset past the end of the file is replaced by the end of the
    // palette.
    QByteArray badOffset = BmpFile(1, 1, 24, 0, {}, pixel);
    badOffset.replace(10, 4, Le32(5000));
    EXPECT_EQ(qRgb(3, 2, 1), ReadBmp(badOffset).pixel(0, 0));
}

TEST(BmpReaderTest, RunLengthDataMustBeAbleToHoldThePixelsItClaims) {
    const QByteArray palette = Palette({qRgb(200, 0, 0), qRgb(0, 0, 200)});
    // Runs of 255 pixels of one colour across each row, then end of line:
    // the tightest data a real encoder writes.
    const auto solid = [](int width, int height, int value) {
        QByteArray row;
        for (int left = width; left > 0; left -= 255)
            row += Bytes({std::min(left, 255), value});
        row += Bytes({0, 0});
        return row.repeated(height) + Bytes({0, 1});
    };
    struct Case {
        const char* name;
        std::int32_t width;
        std::int32_t height;
        std::uint32_t compression;
        QByteArray data;
        bool loads;
    };
    const Case cases[] = {
        {"RLE8, a few bytes for 10000 x 10000", 10000, 10000, 1, Bytes({255, 1, 0, 0, 0, 1}),
         false},
        {"RLE4, a few bytes for 10000 x 10000", 10000, -10000, 2, Bytes({255, 1, 0, 1}), false},
        {"RLE8, a delta past most of 9000 x 9000", 9000, 9000, 1,
         Bytes({0, 2, 255, 255, 0, 2, 255, 255, 4, 1, 0, 1}), false},
        {"RLE8, solid 2550 x 1200", 2550, 1200, 1, solid(2550, 1200, 1), true},
        {"RLE4, solid 1000 x 700", 1000, 700, 2, solid(1000, 700, 0x11), true},
    };
    for (const Case& c : cases) {
        const QByteArray file = BmpFile(c.width, c.height, c.compression == 1 ? 8 : 4,
                                        c.compression, palette, c.data, 2);
        if (c.loads) {
            const QImage image = ReadBmp(file);
            EXPECT_EQ(QSize(c.width, c.height), image.size()) << c.name;
            EXPECT_EQ(qRgb(0, 0, 200), image.pixel(c.width - 1, c.height - 1)) << c.name;
        } else {
            EXPECT_THROW(ReadBmp(file), EPictureError) << c.name;
        }
    }
}
