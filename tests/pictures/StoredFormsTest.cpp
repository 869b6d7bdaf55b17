// The stored forms: the JPEG picture (against the reference encoder, byte for
// byte), the BMP thumbnail (exact bytes), the empty blob, and reading JPEG
// bytes of every colour kind back.

#include "BmpReader.h"
#include "BmpWriter.h"
#include "EPictureError.h"
#include "JpegDecoder.h"
#include "JpegEncoder.h"
#include "PictureTestSupport.h"
#include "TJpegPicture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace picturetest;

namespace {

// Mean absolute difference per channel between two images of one size.
double Difference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// A smooth picture, which JPEG keeps close to the original.
QImage Gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
    return image;
}

} // namespace

TEST(StoredPictureTest, JpegBytesEqualTheReferenceEncoderAtQuality90Baseline) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // Odd sizes exercise the row padding of the BMP and the partial blocks
    // and chroma subsampling of the JPEG; the 32-bit input is made 24-bit.
    for (const QSize size : {QSize(37, 23), QSize(1, 1), QSize(64, 48)}) {
        const QImage bitmap = Pattern(size.width(), size.height());
        const QString bmp = folder.filePath("in.bmp");
        const QString reference = folder.filePath("reference.jpg");
        WriteFile(bmp, BitmapToBmpBytes(bitmap));
        ASSERT_TRUE(RunCommand(
            QString("cjpeg -quality 90 -baseline -outfile '%1' '%2'").arg(reference, bmp)))
            << "cjpeg (libjpeg-turbo-progs) is needed";
        EXPECT_EQ(ReadFile(reference), PictureToJpegBytes(bitmap))
            << size.width() << "x" << size.height();
        EXPECT_EQ(ReadFile(reference),
                  PictureToJpegBytes(bitmap.convertToFormat(QImage::Format_RGB32)));
    }
}

TEST(StoredPictureTest, SavedPictureIsAJpegFileOfTheBitmapsSize) {
    const QImage bitmap = Gradient(301, 201);
    const QByteArray bytes = PictureToJpegBytes(bitmap);
    ASSERT_GE(bytes.size(), 4);
    EXPECT_EQ(QByteArray("\xFF\xD8\xFF\xE0", 4), bytes.left(4)) << "start of image, then JFIF";
    EXPECT_EQ(QByteArray("\xFF\xD9", 2), bytes.right(2));

    TJpegPicture picture;
    picture.LoadFromBytes(bytes);
    EXPECT_EQ(301, picture.Width());
    EXPECT_EQ(201, picture.Height());
    const QImage back = picture.ToBitmap();
    ASSERT_EQ(QSize(301, 201), back.size());
    EXPECT_EQ(QImage::Format_RGB888, back.format());
    EXPECT_LT(Difference(bitmap, back), 2.0);
}

TEST(StoredPictureTest, EmptyBlobIsAnEmptyPictureThatHasNoBitmap) {
    TJpegPicture picture;
    picture.LoadFromBytes(QByteArray());
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(0, picture.Width());
    EXPECT_EQ(0, picture.Height());
    EXPECT_THROW(picture.ToBitmap(), EPictureError);

    EXPECT_TRUE(PictureToJpegBytes(QImage()).isEmpty());
    EXPECT_TRUE(PictureToJpegBytes(QImage(0, 0, QImage::Format_RGB888)).isEmpty());
    EXPECT_TRUE(BitmapToBmpBytes(QImage()).isEmpty());
}

TEST(StoredPictureTest, CorruptTruncatedAndOversizedJpegBytesRaise) {
    const QByteArray good = PictureToJpegBytes(Pattern(40, 30));
    TJpegPicture picture;
    EXPECT_THROW(picture.LoadFromBytes("not a picture"), EPictureError);
    EXPECT_TRUE(picture.Empty()) << "a failed load leaves no picture behind";
    EXPECT_THROW(ReadJpeg(good.left(2)), EPictureError);

    // The frame header claims 60000 × 60000 pixels: refused from the header
    // alone.
    QByteArray bomb = good;
    const qsizetype frame = bomb.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(frame, 0);
    bomb[frame + 5] = static_cast<char>(0xEA);
    bomb[frame + 6] = static_cast<char>(0x60);
    bomb[frame + 7] = static_cast<char>(0xEA);
    bomb[frame + 8] = static_cast<char>(0x60);
    EXPECT_THROW(picture.LoadFromBytes(bomb), EPictureError);
    EXPECT_THROW(ReadJpeg(bomb), EPictureError);
}

TEST(StoredPictureTest, GreyAndCmykJpegFilesReadAsColourBitmaps) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QImage bitmap(16, 16, QImage::Format_RGB888);
    bitmap.fill(QColor(200, 40, 40));
    const QString bmp = folder.filePath("in.bmp");
    WriteFile(bmp, BitmapToBmpBytes(bitmap));

    const QString grey = folder.filePath("grey.jpg");
    ASSERT_TRUE(RunCommand(QString("cjpeg -grayscale -outfile '%1' '%2'").arg(grey, bmp)));
    const QImage fromGrey = ReadJpeg(ReadFile(grey));
    ASSERT_EQ(QSize(16, 16), fromGrey.size());
    const QRgb greyPixel = fromGrey.pixel(8, 8);
    EXPECT_EQ(qRed(greyPixel), qGreen(greyPixel));
    EXPECT_NEAR(90, qRed(greyPixel), 6) << "luminance of (200, 40, 40)";

    // ImageMagick writes CMYK JPEG files with an Adobe marker and inverted
    // values, as Adobe programs do.
    const QString cmyk = folder.filePath("cmyk.jpg");
    ASSERT_TRUE(
        RunCommand(QString("convert '%1' -colorspace CMYK -quality 95 '%2'").arg(bmp, cmyk)))
        << "ImageMagick convert is needed";
    const QImage fromCmyk = ReadJpeg(ReadFile(cmyk));
    ASSERT_EQ(QSize(16, 16), fromCmyk.size());
    const QRgb cmykPixel = fromCmyk.pixel(8, 8);
    EXPECT_NEAR(200, qRed(cmykPixel), 8);
    EXPECT_NEAR(40, qGreen(cmykPixel), 8);
    EXPECT_NEAR(40, qBlue(cmykPixel), 8);
}

TEST(StoredThumbnailTest, BmpBytesAreExactAndReadBack) {
    QImage bitmap(2, 2, QImage::Format_RGB888);
    bitmap.setPixel(0, 0, qRgb(255, 0, 0));
    bitmap.setPixel(1, 0, qRgb(0, 255, 0));
    bitmap.setPixel(0, 1, qRgb(0, 0, 255));
    bitmap.setPixel(1, 1, qRgb(1, 2, 3));
    const QByteArray expected = Bytes({
        'B', 'M', 70,  0, 0,   0, 0, 0, 0, 0, 54, 0, 0, 0, // file header
        40,  0,   0,   0, 2,   0, 0, 0, 2, 0, 0,  0, 1, 0,
        24,  0, // size, width, height, planes, bits
        0,   0,   0,   0, 16,  0, 0, 0, 0, 0, 0,  0, 0, 0,
        0,   0,                         // compression, image size, resolution
        0,   0,   0,   0, 0,   0, 0, 0, // colours used, important
        255, 0,   0,   3, 2,   1, 0, 0, // bottom row, blue-green-red, padded
        0,   0,   255, 0, 255, 0, 0, 0, // top row
    });
    const QByteArray bytes = BitmapToBmpBytes(bitmap);
    EXPECT_EQ(expected, bytes);
    const QImage back = ReadBmp(bytes);
    ASSERT_EQ(QSize(2, 2), back.size());
    EXPECT_EQ(bitmap.convertToFormat(QImage::Format_RGB32), back);

    // A 123 × 123 thumbnail: 372-byte rows (369 and 3 bytes padding).
    const QByteArray thumbnail = BitmapToBmpBytes(Pattern(123, 123));
    EXPECT_EQ(54 + 372 * 123, thumbnail.size());
    EXPECT_EQ(Pattern(123, 123).convertToFormat(QImage::Format_RGB32), ReadBmp(thumbnail));
}
