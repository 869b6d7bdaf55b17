// GIF files (first frame, interlacing, transparency, frame placement) and
// icon files (largest entry, bitmap and PNG entries, transparency mask).

#include "BmpWriter.h"
#include "EPictureError.h"
#include "GifReader.h"
#include "IcoReader.h"
#include "PictureTestSupport.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace picturetest;

namespace {

// A pattern with few enough colours to pass through GIF unchanged.
QImage SmallPattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 30, y * 20, (x + y) % 2 ? 255 : 0));
    return image;
}

class GifIconReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    // Converts a bitmap with ImageMagick and returns the file's bytes.
    QByteArray Convert(const QImage& bitmap, const QString& options, const QString& target) {
        const QString bmp = folder_.filePath("source.bmp");
        WriteFile(bmp, BitmapToBmpBytes(bitmap));
        const QString out = folder_.filePath(target);
        EXPECT_TRUE(RunCommand(QString("convert '%1' %2 '%3'").arg(bmp, options, out)))
            << "ImageMagick convert is needed";
        return ReadFile(out);
    }

    QTemporaryDir folder_;
};

} // namespace

TEST_F(GifIconReaderTest, GifFramesReadExactlyInterlacedOrNot) {
    const QImage pattern = SmallPattern(7, 9);
    for (const QString interlace : {"-interlace none", "-interlace GIF"}) {
        const QImage picture = ReadGif(Convert(pattern, interlace, "p.gif"));
        ASSERT_EQ(pattern.size(), picture.size()) << interlace.toStdString();
        EXPECT_EQ(pattern, picture.convertToFormat(QImage::Format_RGB32))
            << interlace.toStdString();
    }
}

TEST_F(GifIconReaderTest, GifTransparencyAndFramePlacementOnTheLogicalScreen) {
    QImage bitmap(4, 3, QImage::Format_RGB32);
    bitmap.fill(qRgb(255, 0, 0));
    bitmap.setPixel(1, 1, qRgb(0, 0, 255));
    const QImage transparent = ReadGif(Convert(bitmap, "-transparent red", "t.gif"));
    ASSERT_EQ(QSize(4, 3), transparent.size());
    EXPECT_EQ(0, qAlpha(transparent.pixel(0, 0)));
    EXPECT_EQ(qRgb(0, 0, 255), transparent.pixel(1, 1));

    // A 2 × 1 frame at (3, 2) on a 6 × 4 screen: the rest of the screen is
    // transparent.
    const QImage placed = ReadGif(Convert(bitmap.copy(0, 0, 2, 1), "-page 6x4+3+2", "placed.gif"));
    ASSERT_EQ(QSize(6, 4), placed.size());
    EXPECT_EQ(0, qAlpha(placed.pixel(0, 0)));
    EXPECT_EQ(qRgb(255, 0, 0), placed.pixel(3, 2));
    EXPECT_EQ(qRgb(255, 0, 0), placed.pixel(4, 2));
    EXPECT_EQ(0, qAlpha(placed.pixel(5, 2)));
}

TEST_F(GifIconReaderTest, BrokenAndOversizedGifFilesAreRefused) {
    const QByteArray gif = Convert(SmallPattern(7, 9), "", "p.gif");
    EXPECT_THROW(ReadGif(QByteArray()), EPictureError);
    EXPECT_THROW(ReadGif("GIF89a"), EPictureError);
    EXPECT_THROW(ReadGif(gif.left(gif.size() - 12)), EPictureError) << "image data cut short";
    // A logical screen of 65535 × 65535 is refused before any allocation.
    QByteArray huge = gif;
    huge.replace(6, 4, Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_THROW(ReadGif(huge), EPictureError);
}

TEST_F(GifIconReaderTest, IconGivesItsLargestBitmapEntry) {
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(qRgb(0, 128, 0));
    QImage large(32, 32, QImage::Format_RGB32);
    large.fill(qRgb(0, 0, 200));
    const QString smallBmp = folder_.filePath("small.bmp");
    const QString largeBmp = folder_.filePath("large.bmp");
    const QString ico = folder_.filePath("two.ico");
    WriteFile(smallBmp, BitmapToBmpBytes(small));
    WriteFile(largeBmp, BitmapToBmpBytes(large));
    ASSERT_TRUE(RunCommand(QString("convert '%1' '%2' '%3'").arg(smallBmp, largeBmp, ico)));
    const QImage icon = ReadIco(ReadFile(ico));
    ASSERT_EQ(QSize(32, 32), icon.size());
    EXPECT_EQ(qRgb(0, 0, 200), icon.pixel(5, 5));
}

TEST_F(GifIconReaderTest, IconBitmapMaskAndPngEntries) {
    // A 2 × 2 24-bit entry whose mask hides the bottom-left pixel, and a
    // 3 × 3 PNG entry, which is the larger.
    const QByteArray dib = Le32(40) + Le32(2) + Le32(4) + Le16(1) + Le16(24) + Le32(0) + Le32(0) +
                           Le32(0) + Le32(0) + Le32(0) + Le32(0) +
                           Bytes({1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}) +
                           Bytes({0x80, 0, 0, 0, 0, 0, 0, 0});
    QImage pngImage(3, 3, QImage::Format_ARGB32);
    pngImage.fill(qRgba(10, 20, 30, 255));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(pngImage.save(&buffer, "PNG"));

    auto icon = [](const QList<QByteArray>& entries) {
        QByteArray file = Bytes({0, 0, 1, 0}) + Le16(static_cast<std::uint16_t>(entries.size()));
        std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
        QByteArray data;
        for (const QByteArray& entry : entries) {
            file += Bytes({0, 0, 0, 0}) + Le16(1) + Le16(24) +
                    Le32(static_cast<std::uint32_t>(entry.size())) + Le32(offset);
            offset += static_cast<std::uint32_t>(entry.size());
            data += entry;
        }
        return file + data;
    };

    const QImage masked = ReadIco(icon({dib}));
    ASSERT_EQ(QSize(2, 2), masked.size());
    EXPECT_EQ(0, qAlpha(masked.pixel(0, 1))) << "mask bit set: transparent";
    EXPECT_EQ(qRgba(6, 5, 4, 255), masked.pixel(1, 1));
    EXPECT_EQ(qRgba(9, 8, 7, 255), masked.pixel(0, 0));

    const QImage fromPng = ReadIco(icon({dib, png}));
    ASSERT_EQ(QSize(3, 3), fromPng.size());
    EXPECT_EQ(qRgba(10, 20, 30, 255), fromPng.pixel(1, 1));

    EXPECT_THROW(ReadIco(QByteArray()), EPictureError);
    EXPECT_THROW(ReadIco(Bytes({0, 0, 1, 0, 0, 0})), EPictureError) << "no entries";
    EXPECT_THROW(ReadIco(icon({dib.left(30)})), EPictureError) << "entry cut short";

    // A PNG entry whose header claims 4294967295 × 4294967268 pixels is the
    // largest entry, and refused as too large.
    QByteArray hugePng = png;
    hugePng.replace(16, 8, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xE4}));
    EXPECT_THROW(ReadIco(icon({dib, hugePng})), EPictureError);
}

namespace {

// Where the first image descriptor of a GIF file starts: after the header,
// the global colour table and any extensions.
qsizetype FirstImageDescriptor(const QByteArray& gif) {
    const auto byte = [&gif](qsizetype at) { return static_cast<std::uint8_t>(gif.at(at)); };
    qsizetype at = 13;
    if (byte(10) & 0x80)
        at += 3 * (2 << (byte(10) & 7));
    while (byte(at) == 0x21) {
        at += 2;
        while (byte(at) != 0)
            at += byte(at) + 1;
        ++at;
    }
    return byte(at) == 0x2C ? at : -1;
}

} // namespace

TEST_F(GifIconReaderTest, GifClaimsBeyondWhatItsDataCanHoldAreRefused) {
    // One colour over a large picture compresses as far as encoders take
    // LZW, and still loads.
    const QString solidPath = folder_.filePath("solid.gif");
    ASSERT_TRUE(RunCommand(QString("convert -size 3000x2000 xc:red '%1'").arg(solidPath)));
    const QImage solid = ReadGif(ReadFile(solidPath));
    EXPECT_EQ(QSize(3000, 2000), solid.size());
    EXPECT_EQ(qRgb(255, 0, 0), solid.pixel(2999, 1999));

    // A file of some dozen bytes claiming 8000 × 8000 pixels, as the
    // logical screen around a small frame or as the frame itself.
    const QByteArray gif = Convert(SmallPattern(7, 9), "", "p.gif");
    const qsizetype frame = FirstImageDescriptor(gif);
    ASSERT_GT(frame, 0);
    const QByteArray side = Le16(8000);
    QByteArray largeScreen = gif;
    largeScreen.replace(6, 4, side + side);
    EXPECT_THROW(ReadGif(largeScreen), EPictureError) << "screen";
    QByteArray largeFrame = largeScreen;
    largeFrame.replace(frame + 5, 4, side + side);
    EXPECT_THROW(ReadGif(largeFrame), EPictureError) << "frame";
}

TEST_F(GifIconReaderTest, IconWithThousandsOfEntriesCopiesOnlyTheChosenOne) {
    // 20000 directory entries point at eight megabytes that are no image,
    // the last at a 2 × 1 bitmap: copying each entry would move 160 GB.
    constexpr int Entries = 20000;
    const QByteArray junk(8 * 1024 * 1024, '\0');
    const QByteArray dib = Le32(40) + Le32(2) + Le32(2) + Le16(1) + Le16(24) + Le32(0) + Le32(0) +
                           Le32(0) + Le32(0) + Le32(0) + Le32(0) + Bytes({1, 2, 3, 4, 5, 6, 0, 0});
    const auto entry = [](const QByteArray& image, std::uint32_t offset) {
        return Bytes({0, 0, 0, 0}) + Le16(1) + Le16(24) +
               Le32(static_cast<std::uint32_t>(image.size())) + Le32(offset);
    };
    const std::uint32_t junkAt = 6 + 16 * Entries;
    QByteArray file = Bytes({0, 0, 1, 0}) + Le16(Entries);
    for (int i = 0; i < Entries - 1; ++i)
        file += entry(junk, junkAt);
    file += entry(dib, junkAt + static_cast<std::uint32_t>(junk.size())) + junk + dib;

    QElapsedTimer timer;
    timer.start();
    const QImage icon = ReadIco(file);
    EXPECT_LT(timer.elapsed(), 1000) << "milliseconds";
    ASSERT_EQ(QSize(2, 1), icon.size());
    EXPECT_EQ(qRgb(6, 5, 4), icon.pixel(1, 0));
}
