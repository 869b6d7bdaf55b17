// Photos from cameras and phones: PNG, WebP and TIFF through Qt's readers,
// HEIC through libheif, and the orientation a camera records.

#include "ExifOrientation.h"
#include "JpegEncoder.h"
#include "PictureLoader.h"
#include "PictureTestSupport.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <libheif/heif.h>

#include <cstdint>
#include <cstring>

using namespace picturetest;

namespace {

// A 40 × 20 blue picture with a red 10 × 10 square in its top-left corner.
QImage Marked() {
    QImage picture(40, 20, QImage::Format_RGB888);
    picture.fill(Qt::blue);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0));
    return picture;
}

bool IsRed(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

QByteArray Encoded(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(95);
    EXPECT_TRUE(writer.write(picture)) << format;
    return bytes;
}

// A HEIC file of the picture, encoded with libheif, recording the Exif
// orientation as its rotation and mirroring.
QByteArray Heic(const QImage& picture, int orientation) {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    heif_encoder_set_lossy_quality(encoder, 95);
    heif_image* image = nullptr;
    heif_image_create(picture.width(), picture.height(), heif_colorspace_RGB,
                      heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, picture.width(), picture.height(), 8);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(plane + y * stride, picture.constScanLine(y),
                    static_cast<size_t>(picture.width()) * 3);
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = static_cast<heif_orientation>(orientation);
    const heif_error encoded = heif_context_encode_image(context, image, encoder, options, nullptr);
    EXPECT_EQ(heif_error_Ok, encoded.code) << encoded.message;
    heif_encoding_options_free(options);
    heif_image_release(image);
    heif_encoder_release(encoder);
    QByteArray bytes;
    heif_writer writer{1, [](heif_context*, const void* data, size_t size, void* to) {
                           static_cast<QByteArray*>(to)->append(static_cast<const char*>(data),
                                                                static_cast<qsizetype>(size));
                           return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
                       }};
    heif_context_write(context, &writer, &bytes);
    heif_context_free(context);
    return bytes;
}

// A JPEG file with an Exif segment right after its start that records the
// orientation, in either byte order.
QByteArray JpegWithOrientation(const QImage& picture, int orientation, bool bigEndian) {
    const auto u16 = [bigEndian](int value) {
        return bigEndian ? Bytes({value >> 8, value & 0xFF})
                         : Le16(static_cast<std::uint16_t>(value));
    };
    const auto u32 = [&](int value) {
        return bigEndian ? u16(0) + u16(value) : u16(value) + u16(0);
    };
    const QByteArray tiff = (bigEndian ? QByteArray("MM") : QByteArray("II")) + u16(42) + u32(8) +
                            u16(1) + u16(0x0112) + u16(3) + u32(1) + u16(orientation) + u16(0) +
                            u32(0);
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    const int length = static_cast<int>(exif.size()) + 2;
    const QByteArray jpeg = PictureToJpegBytes(picture);
    return jpeg.left(2) + Bytes({0xFF, 0xE1, length >> 8, length & 0xFF}) + exif + jpeg.mid(2);
}

class PictureKindsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    std::optional<QImage> Load(const QString& name, const QByteArray& bytes,
                               QString* failure = nullptr) {
        const QString path = folder_.filePath(name);
        WriteFile(path, bytes);
        return LoadPictureFile(path, failure);
    }

    QTemporaryDir folder_;
};

} // namespace

TEST_F(PictureKindsTest, EachKindLoadsAtItsSizeAs24Bit) {
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"a.png", Encoded(Marked(), "png")},  {"b.WebP", Encoded(Marked(), "webp")},
        {"c.tif", Encoded(Marked(), "tiff")}, {"d.TIFF", Encoded(Marked(), "tiff")},
        {"e.heic", Heic(Marked(), 1)},        {"f.HEIF", Heic(Marked(), 1)},
    };
    for (const auto& c : cases) {
        QString failure;
        const std::optional<QImage> picture = Load(c.name, c.bytes, &failure);
        ASSERT_TRUE(picture.has_value()) << c.name << ": " << failure.toStdString();
        EXPECT_EQ(QSize(40, 20), picture->size()) << c.name;
        EXPECT_EQ(QImage::Format_RGB888, picture->format()) << c.name;
        EXPECT_TRUE(IsRed(picture->pixel(2, 2))) << c.name;
        EXPECT_FALSE(IsRed(picture->pixel(37, 17))) << c.name;
    }
}

TEST_F(PictureKindsTest, AvifLoadsThroughLibheif) {
    // libheif's own encoder tool, in a process of its own: this AV1 encoder
    // stops the process on 4:2:0 pictures.
    const QString png = folder_.filePath("in.png");
    const QString avif = folder_.filePath("out.avif");
    WriteFile(png, Encoded(Marked(), "png"));
    ASSERT_TRUE(RunCommand(
        QString("heif-enc -A -q 90 -p chroma=422 '%1' -o '%2' >/dev/null 2>&1").arg(png, avif)));
    QString failure;
    const std::optional<QImage> picture = LoadPictureFile(avif, &failure);
    ASSERT_TRUE(picture.has_value()) << failure.toStdString();
    EXPECT_EQ(QSize(40, 20), picture->size());
    EXPECT_TRUE(IsRed(picture->pixel(2, 2)));
}

TEST_F(PictureKindsTest, TransparentPngLiesOnWhite) {
    QImage picture(3, 1, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixel(1, 0, qRgba(0, 0, 255, 255));
    const std::optional<QImage> loaded = Load("t.png", Encoded(picture, "png"));
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(qRgb(255, 255, 255), loaded->pixel(0, 0));
    EXPECT_EQ(qRgb(0, 0, 255), loaded->pixel(1, 0));
}

TEST_F(PictureKindsTest, CameraOrientationStandsThePictureUpright) {
    // Where the stored top-left corner of the 40 × 20 picture ends up.
    const struct {
        int orientation;
        QSize size;
        QPoint corner;
    } cases[] = {
        {1, {40, 20}, {2, 2}},   {2, {40, 20}, {37, 2}}, {3, {40, 20}, {37, 17}},
        {4, {40, 20}, {2, 17}},  {5, {20, 40}, {2, 2}},  {6, {20, 40}, {17, 2}},
        {7, {20, 40}, {17, 37}}, {8, {20, 40}, {2, 37}}, {9, {40, 20}, {2, 2}},
    };
    for (const auto& c : cases) {
        for (const bool bigEndian : {false, true}) {
            const QByteArray jpeg = JpegWithOrientation(Marked(), c.orientation, bigEndian);
            const std::optional<QImage> picture = Load("o.jpg", jpeg);
            ASSERT_TRUE(picture.has_value()) << c.orientation;
            EXPECT_EQ(c.size, picture->size()) << c.orientation << " " << bigEndian;
            EXPECT_TRUE(IsRed(picture->pixel(c.corner))) << c.orientation << " " << bigEndian;
        }
    }
    // A phone's portrait photo: stored on its side, recorded as turned.
    const std::optional<QImage> heic = Load("portrait.heic", Heic(Marked(), 6));
    ASSERT_TRUE(heic.has_value());
    EXPECT_EQ(QSize(20, 40), heic->size());
    EXPECT_TRUE(IsRed(heic->pixel(17, 2)));
}

TEST_F(PictureKindsTest, ExifReaderStaysInsideDamagedSegments) {
    const QByteArray whole = JpegWithOrientation(Marked(), 6, true);
    EXPECT_EQ(6, JpegExifOrientation(whole));
    // Cut anywhere inside the Exif data, or with a segment length running
    // past the end: upright, without reading outside the bytes.
    for (qsizetype size = 0; size < 40; ++size)
        EXPECT_EQ(size >= 38 ? 6 : 1, JpegExifOrientation(whole.left(size))) << size;
    QByteArray longSegment = whole.left(40);
    longSegment[4] = char(0x7F);
    EXPECT_EQ(1, JpegExifOrientation(longSegment));
}

TEST_F(PictureKindsTest, HostileHeadersAreRefusedWithAReason) {
    // Headers claiming more pixels than the program takes, or wider than a
    // stored picture can be, with no data behind them.
    QByteArray bigPng = Encoded(Marked(), "png");
    QByteArray widePng = bigPng;
    const auto setIhdr = [](QByteArray& png, std::uint32_t width, std::uint32_t height) {
        for (int i = 0; i < 4; ++i) {
            png[16 + i] = static_cast<char>(width >> (24 - 8 * i));
            png[20 + i] = static_cast<char>(height >> (24 - 8 * i));
        }
        // The chunk's CRC over its type and data.
        std::uint32_t crc = 0xFFFFFFFF;
        for (int i = 12; i < 29; ++i) {
            crc ^= static_cast<std::uint8_t>(png[i]);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
        crc ^= 0xFFFFFFFF;
        for (int i = 0; i < 4; ++i)
            png[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    };
    setIhdr(bigPng, 100000, 100000);
    setIhdr(widePng, 70000, 2);
    const QByteArray tiff = Encoded(Marked(), "tiff");
    QByteArray bigTiff = tiff;
    const int tiffDirectory =
        static_cast<std::uint8_t>(tiff[4]) | (static_cast<std::uint8_t>(tiff[5]) << 8);
    const int entries = static_cast<std::uint8_t>(tiff[tiffDirectory]);
    for (int i = 0; i < entries; ++i) {
        const int entry = tiffDirectory + 2 + 12 * i;
        const int tag = static_cast<std::uint8_t>(tiff[entry]) |
                        (static_cast<std::uint8_t>(tiff[entry + 1]) << 8);
        if (tag == 256 || tag == 257) { // width, height as SHORT or LONG
            bigTiff[entry + 8] = char(0xF0);
            bigTiff[entry + 9] = char(0xFF);
        }
    }
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"big.png", bigPng},
        {"wide.png", widePng},
        {"big.tif", bigTiff},
        {"garbage.heic", QByteArray(64, 'x')},
        {"cut.heic", Heic(Marked(), 1).left(200)},
        {"garbage.webp", QByteArray("RIFF\xff\xff\xff\x7fWEBPVP8 ", 16)},
    };
    for (const auto& c : cases) {
        QString failure;
        EXPECT_FALSE(Load(c.name, c.bytes, &failure).has_value()) << c.name;
        EXPECT_FALSE(failure.isEmpty()) << c.name;
    }
}
