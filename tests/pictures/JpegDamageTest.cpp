// JPEG data that is damaged or costly: what libjpeg decodes only in part
// comes back with its damage named, what it cannot decode is refused, and a
// progressive file is refused by the work its scans need.

#include "EPictureError.h"
#include "JpegDecoder.h"
#include "JpegEncoder.h"
#include "PictureTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace picturetest;

namespace {

// A smooth picture of one colour per band of 16 rows.
QImage Bands(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((y / 16) * 40 % 256, 200, 60));
    return image;
}

bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 12 && std::abs(qGreen(a) - qGreen(b)) < 12 &&
           std::abs(qBlue(a) - qBlue(b)) < 12;
}

std::string Refusal(const QByteArray& bytes) {
    try {
        DecodeJpeg(bytes);
    } catch (const EPictureError& error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST(JpegDamageTest, TruncatedOrDamagedBodyDecodesAsFarAsItGoesAndNamesTheDamage) {
    const QImage original = Bands(64, 128);
    const QByteArray whole = PictureToJpegBytes(original);
    const JpegDecoding fine = DecodeJpeg(whole);
    EXPECT_EQ("", fine.damage);

    const qsizetype scan = whole.indexOf(QByteArray("\xFF\xDA", 2));
    ASSERT_GT(scan, 0);
    const qsizetype body = whole.size() - scan;
    // A body cut after a third; a stretch of the body overwritten by a
    // marker that does not belong there.
    QByteArray damaged = whole;
    damaged[scan + body / 2] = static_cast<char>(0xFF);
    damaged[scan + body / 2 + 1] = static_cast<char>(0xD9);
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"truncated", whole.left(scan + body / 3)},
        {"damaged body", damaged},
    };
    for (const auto& [what, bytes] : cases) {
        const JpegDecoding decoded = DecodeJpeg(bytes);
        ASSERT_EQ(original.size(), decoded.picture.size()) << what;
        EXPECT_FALSE(decoded.damage.empty()) << what;
        EXPECT_TRUE(Near(original.pixel(10, 2), decoded.picture.pixel(10, 2)))
            << what << ": the part before the damage is there";
        EXPECT_EQ(original.size(), ReadJpeg(bytes).size()) << what;
    }
    EXPECT_EQ("Premature end of JPEG file", DecodeJpeg(cases[0].bytes).damage);
}

TEST(JpegDamageTest, DataWithoutAPictureOrWithABrokenHeaderAreRefused) {
    const QByteArray whole = PictureToJpegBytes(Bands(64, 128));
    const qsizetype scan = whole.indexOf(QByteArray("\xFF\xDA", 2));
    const qsizetype frame = whole.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(scan, 0);
    ASSERT_GT(frame, 0);
    QByteArray noComponents = whole;
    noComponents[frame + 9] = 0;
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"start of image only", whole.left(2)},
        {"cut before the scan", whole.left(scan)},
        {"frame of no components", noComponents},
    };
    for (const auto& [what, bytes] : cases) {
        const std::string refusal = Refusal(bytes);
        EXPECT_EQ(0u, refusal.rfind("JPEG error: ", 0)) << what << ": " << refusal;
    }
}

TEST(JpegDamageTest, ProgressiveFileOfTooManyScansForItsSizeIsRefusedQuickly) {
    // 10000 × 10000 pixels in 496 arithmetic-coded scans: within the limits
    // of pixels and of scans alone, half a minute of decoding.
    const QString file = QFileInfo(QString::fromUtf8(__FILE__))
                             .absoluteDir()
                             .filePath("hostile/progressive-496-scans.jpg");
    const QByteArray bytes = ReadFile(file);
    ASSERT_FALSE(bytes.isEmpty());
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ("JPEG error: Too many scans in JPEG data for a picture of its size", Refusal(bytes));
    EXPECT_LT(timer.elapsed(), 5000);
}
