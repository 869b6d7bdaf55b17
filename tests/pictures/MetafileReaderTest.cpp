// Windows metafiles, placeable WMF and EMF, made here record by record:
// drawn once at their own size, laid over white by the loader, and refused
// quietly when they are broken or claim too much.

#include "DrawingChild.h"
#include "EPictureError.h"
#include "EmfConverter.h"
#include "EmfReader.h"
#include "PictureLoader.h"
#include "PictureTestSupport.h"
#include "WmfReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

using namespace picturetest;

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Green = 0xFF00FF00;

// ---- WMF ----

QByteArray WmfRecord(std::uint16_t function, std::initializer_list<int> parameters) {
    QByteArray record = Le32(static_cast<std::uint32_t>(3 + parameters.size())) + Le16(function);
    for (int parameter : parameters)
        record += Le16(static_cast<std::uint16_t>(parameter));
    return record;
}

QByteArray WmfRecord(std::uint16_t function, const QByteArray& parameters) {
    return Le32(static_cast<std::uint32_t>(3 + parameters.size() / 2)) + Le16(function) +
           parameters;
}

// A placeable WMF: the header with the bounding box, units per inch and a
// right checksum, the metafile header, the records and the end record.
QByteArray WmfFile(int left, int top, int right, int bottom, int unitsPerInch,
                   const QByteArray& records) {
    const QByteArray body = records + WmfRecord(0, {});
    std::uint32_t largest = 0;
    for (qsizetype at = 0; at < body.size();) {
        const std::uint32_t words =
            static_cast<std::uint8_t>(body[at]) | static_cast<std::uint8_t>(body[at + 1]) << 8;
        largest = std::max(largest, words);
        at += words * 2;
    }
    QByteArray placeable = Le32(0x9AC6CDD7) + Le16(0);
    for (int value : {left, top, right, bottom, unitsPerInch})
        placeable += Le16(static_cast<std::uint16_t>(value));
    placeable += Le32(0);
    std::uint16_t checksum = 0;
    for (int at = 0; at < 20; at += 2)
        checksum ^= static_cast<std::uint8_t>(placeable[at]) |
                    static_cast<std::uint8_t>(placeable[at + 1]) << 8;
    placeable += Le16(checksum);
    const QByteArray header = Le16(1) + Le16(9) + Le16(0x0300) +
                              Le32(static_cast<std::uint32_t>(9 + body.size() / 2)) + Le16(8) +
                              Le32(largest) + Le16(0);
    return placeable + header + body;
}

// A rectangle filled with a solid brush of the colour and no outline (the
// null pen); the brush and the pen take the object slots 0 and 1.
QByteArray WmfFilledRectangle(int left, int top, int right, int bottom, QRgb colour) {
    return WmfRecord(0x02FC, {0, qRed(colour) | qGreen(colour) << 8, qBlue(colour), 0}) +
           WmfRecord(0x012D, {0}) + WmfRecord(0x02FA, {5, 0, 0, 0, 0}) + WmfRecord(0x012D, {1}) +
           WmfRecord(0x041B, {bottom, right, top, left});
}

// Black text in a Helvetica of the height and width (logical units), which
// takes object slot 0.
QByteArray WmfText(int x, int y, const QByteArray& text, int height, int width) {
    QByteArray face("Helvetica");
    face.resize(32, '\0');
    QByteArray font = Le16(static_cast<std::uint16_t>(height)) +
                      Le16(static_cast<std::uint16_t>(width)) + Le16(0) + Le16(0) + Le16(700);
    font += Le16(0) + Le16(0) + Le16(0) + Le16(0) + face;
    QByteArray string = text;
    if (string.size() % 2 != 0)
        string += '\0';
    return WmfRecord(0x02FB, font) + WmfRecord(0x012D, {0}) +
           WmfRecord(0x0521, Le16(static_cast<std::uint16_t>(text.size())) + string +
                                 Le16(static_cast<std::uint16_t>(y)) +
                                 Le16(static_cast<std::uint16_t>(x)));
}

QByteArray WmfWindow(int x, int y, int width, int height) {
    return WmfRecord(0x020B, {y, x}) + WmfRecord(0x020C, {height, width});
}

// A device-independent bitmap: 40-byte header, then the pixels as given.
QByteArray Dib(int width, int height, int bits, std::uint32_t compression,
               const QByteArray& palette, const QByteArray& pixels) {
    return Le32(40) + Le32(static_cast<std::uint32_t>(width)) +
           Le32(static_cast<std::uint32_t>(height)) + Le16(1) +
           Le16(static_cast<std::uint16_t>(bits)) + Le32(compression) +
           Le32(static_cast<std::uint32_t>(pixels.size())) + Le32(0) + Le32(0) +
           Le32(static_cast<std::uint32_t>(palette.size() / 4)) + Le32(0) + palette + pixels;
}

// A 2 × 2 bitmap of one colour, 24 bits, rows padded to 4 bytes.
QByteArray SolidDib(QRgb colour) {
    const QByteArray pixel = Bytes({qBlue(colour), qGreen(colour), qRed(colour)});
    const QByteArray row = pixel + pixel + Bytes({0, 0});
    return Dib(2, 2, 24, 0, {}, row + row);
}

// META_STRETCHDIB of the bitmap onto the destination rectangle.
QByteArray WmfStretchDib(int x, int y, int width, int height, const QByteArray& dib) {
    QByteArray parameters = Le32(0x00CC0020) + Le16(0);
    for (int value : {2, 2, 0, 0, height, width, y, x})
        parameters += Le16(static_cast<std::uint16_t>(value));
    return WmfRecord(0x0F43, parameters + dib);
}

// ---- EMF ----

QByteArray EmfRecord(std::uint32_t type, const QByteArray& parameters) {
    return Le32(type) + Le32(static_cast<std::uint32_t>(8 + parameters.size())) + parameters;
}

QByteArray Rect(int left, int top, int right, int bottom) {
    return Le32(static_cast<std::uint32_t>(left)) + Le32(static_cast<std::uint32_t>(top)) +
           Le32(static_cast<std::uint32_t>(right)) + Le32(static_cast<std::uint32_t>(bottom));
}

struct Device {
    int pixels;      // both ways
    int millimetres; // both ways
};
constexpr Device Screen96{960, 254};

// An EMF: an 88-byte header with the bounds (device pixels) and the frame
// (hundredths of a millimetre) on the reference device, the records and the
// end record.
QByteArray EmfFile(const QByteArray& frame, const QByteArray& bounds, const QByteArray& records,
                   Device device = Screen96) {
    const QByteArray end = EmfRecord(14, Le32(0) + Le32(16) + Le32(20));
    const auto size = static_cast<std::uint32_t>(88 + records.size() + end.size());
    int count = 2;
    for (qsizetype at = 0; at < records.size(); ++count)
        at += static_cast<std::uint8_t>(records[at + 4]) |
              static_cast<std::uint8_t>(records[at + 5]) << 8;
    const QByteArray header = bounds + frame + Le32(0x464D4520) + Le32(0x10000) + Le32(size) +
                              Le32(static_cast<std::uint32_t>(count)) + Le16(8) + Le16(0) +
                              Le32(0) + Le32(0) + Le32(0) +
                              Le32(static_cast<std::uint32_t>(device.pixels)) +
                              Le32(static_cast<std::uint32_t>(device.pixels)) +
                              Le32(static_cast<std::uint32_t>(device.millimetres)) +
                              Le32(static_cast<std::uint32_t>(device.millimetres));
    return EmfRecord(1, header) + records + end;
}

// A rectangle filled with a solid brush (in the handle) and the stock null
// pen.
QByteArray EmfFilledRectangle(int left, int top, int right, int bottom, QRgb colour,
                              std::uint32_t handle = 1) {
    const QByteArray brush =
        Le32(handle) + Le32(0) + Bytes({qRed(colour), qGreen(colour), qBlue(colour), 0}) + Le32(0);
    return EmfRecord(39, brush) + EmfRecord(37, Le32(handle)) + EmfRecord(37, Le32(0x80000008)) +
           EmfRecord(43, Rect(left, top, right, bottom));
}

// Black text of a 30-pixel Helvetica (handle 2) at the point.
QByteArray EmfText(int x, int y, const QString& text) {
    QByteArray face;
    for (const QChar c : QString("Helvetica").leftJustified(32, QChar(0)))
        face += Le16(c.unicode());
    const QByteArray font = Le32(static_cast<std::uint32_t>(-30)) + Le32(0) + Le32(0) + Le32(0) +
                            Le32(700) + QByteArray(8, '\0') + face;
    QByteArray string;
    for (const QChar c : text)
        string += Le16(c.unicode());
    while (string.size() % 4 != 0)
        string += '\0';
    QByteArray advances;
    for (qsizetype i = 0; i < text.size(); ++i)
        advances += Le32(20);
    const auto chars = static_cast<std::uint32_t>(text.size());
    const QByteArray parameters =
        Rect(0, 0, 0, 0) + Le32(1) + Le32(0) + Le32(0) + Le32(static_cast<std::uint32_t>(x)) +
        Le32(static_cast<std::uint32_t>(y)) + Le32(chars) + Le32(76) + Le32(0) + Rect(0, 0, 0, 0) +
        Le32(static_cast<std::uint32_t>(76 + string.size())) + string + advances;
    return EmfRecord(82, Le32(2) + font) + EmfRecord(37, Le32(2)) + EmfRecord(84, parameters);
}

// EMR_STRETCHDIBITS of the bitmap onto the destination rectangle.
QByteArray EmfStretchDib(int x, int y, int width, int height, int bitmapWidth, int bitmapHeight,
                         const QByteArray& dib) {
    const auto offset = static_cast<std::uint32_t>(80);
    QByteArray parameters = Rect(x, y, x + width - 1, y + height - 1) +
                            Le32(static_cast<std::uint32_t>(x)) +
                            Le32(static_cast<std::uint32_t>(y)) + Le32(0) + Le32(0) +
                            Le32(static_cast<std::uint32_t>(bitmapWidth)) +
                            Le32(static_cast<std::uint32_t>(bitmapHeight));
    // The header and the palette its colour count gives.
    const std::uint32_t bmiSize = 40 + 4 * static_cast<std::uint8_t>(dib[32]);
    parameters += Le32(offset) + Le32(bmiSize) + Le32(offset + bmiSize) +
                  Le32(static_cast<std::uint32_t>(dib.size()) - bmiSize) + Le32(0) +
                  Le32(0x00CC0020) + Le32(static_cast<std::uint32_t>(width)) +
                  Le32(static_cast<std::uint32_t>(height));
    return EmfRecord(81, parameters + dib);
}

// Standard error of the process while it lives, read back by Text().
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        file_ = std::tmpfile();
        dup2(fileno(file_), STDERR_FILENO);
    }
    ~StderrCapture() {
        Restore();
        std::fclose(file_);
    }

    std::string Text() {
        Restore();
        std::string text;
        std::rewind(file_);
        for (int c = std::fgetc(file_); c != EOF; c = std::fgetc(file_))
            text += static_cast<char>(c);
        return text;
    }

private:
    void Restore() {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        saved_ = -1;
    }

    int saved_ = -1;
    std::FILE* file_ = nullptr;
};

class MetafileReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    std::optional<QImage> Load(const QString& name, const QByteArray& bytes) {
        const QString path = folder_.filePath(name);
        WriteFile(path, bytes);
        return LoadPictureFile(path);
    }

    // A 100 × 50 picture with the rectangle (20, 10)-(60, 40) in the colour
    // and white around it; edges are left out, where drawing rounds.
    static void ExpectRectangle(const std::optional<QImage>& picture, QRgb colour,
                                const std::string& what) {
        ASSERT_TRUE(picture.has_value()) << what;
        ASSERT_EQ(QSize(100, 50), picture->size()) << what;
        for (const QPoint inside : {QPoint(40, 25), QPoint(23, 13), QPoint(57, 37)})
            EXPECT_EQ(colour, picture->pixel(inside)) << what;
        for (const QPoint outside : {QPoint(2, 2), QPoint(17, 25), QPoint(63, 25), QPoint(40, 7),
                                     QPoint(40, 43), QPoint(97, 47)})
            EXPECT_EQ(White, picture->pixel(outside)) << what;
    }

    QTemporaryDir folder_;
};

} // namespace

TEST_F(MetafileReaderTest, WmfIsDrawnAtTheSizeOfItsPlaceableHeader) {
    // Each draws the rectangle (20, 10)-(60, 40) of a 100 × 50 picture.
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"96 units per inch",
         WmfFile(0, 0, 100, 50, 96,
                 WmfWindow(0, 0, 100, 50) + WmfFilledRectangle(20, 10, 60, 40, Red))},
        {"twips",
         WmfFile(0, 0, 1500, 750, 1440,
                 WmfWindow(0, 0, 1500, 750) + WmfFilledRectangle(300, 150, 900, 600, Red))},
        {"window away from zero",
         WmfFile(100, 200, 200, 250, 96,
                 WmfWindow(100, 200, 100, 50) + WmfFilledRectangle(120, 210, 160, 240, Red))},
        {"no window: the box is the window",
         WmfFile(100, 200, 200, 250, 96, WmfFilledRectangle(120, 210, 160, 240, Red))},
        {"window larger than the box",
         WmfFile(0, 0, 100, 50, 96,
                 WmfWindow(0, 0, 200, 100) + WmfFilledRectangle(40, 20, 120, 80, Red))},
    };
    for (const auto& [what, bytes] : cases) {
        ExpectRectangle(Load("picture.Wmf", bytes), Red, what);
        const QImage read = ReadWmf(bytes);
        EXPECT_EQ(QSize(100, 50), read.size()) << what;
        // Drawn straight into the 24-bit bitmap: a large picture is not
        // gone over once more after drawing.
        EXPECT_EQ(QImage::Format_RGB888, read.format()) << what;
    }
}

TEST_F(MetafileReaderTest, EmfIsDrawnAtTheSizeOfItsFrame) {
    // 100 × 50 pixels at 96 per inch are 2645.8 × 1322.9 hundredths of a
    // millimetre; the bounds only cover what is drawn.
    const QByteArray drawn = Rect(20, 10, 59, 39);
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"screen device",
         EmfFile(Rect(0, 0, 2646, 1323), drawn, EmfFilledRectangle(20, 10, 60, 40, Red))},
        {"frame away from zero", EmfFile(Rect(2646, 1323, 5292, 2646), Rect(120, 60, 159, 89),
                                         EmfFilledRectangle(120, 60, 160, 90, Red))},
        {"300 pixels per inch device",
         EmfFile(Rect(0, 0, 2646, 1323), Rect(62, 31, 187, 124),
                 EmfFilledRectangle(62, 31, 188, 125, Red), Device{3000, 254})},
        {"bounds as large as the frame", EmfFile(Rect(0, 0, 2646, 1323), Rect(0, 0, 99, 49),
                                                 EmfFilledRectangle(20, 10, 60, 40, Red))},
        {"records of types libUEMF cannot check, left out",
         EmfFile(Rect(0, 0, 2646, 1323), drawn,
                 EmfRecord(97, Le32(0)) + EmfRecord(200, Le32(0)) +
                     EmfFilledRectangle(20, 10, 60, 40, Red))},
    };
    for (const auto& [what, bytes] : cases) {
        ExpectRectangle(Load("picture.eMf", bytes), Red, what);
        const QImage read = ReadEmf(bytes);
        EXPECT_EQ(QSize(100, 50), read.size()) << what;
        EXPECT_EQ(0, qAlpha(read.pixel(2, 2))) << what << ": undrawn parts stay transparent";
    }
}

TEST_F(MetafileReaderTest, EmbeddedBitmapsAreDrawnAndRunLengthOnesInEmfLeftOut) {
    std::optional<QImage> picture =
        Load("bitmap.wmf",
             WmfFile(0, 0, 100, 50, 96,
                     WmfWindow(0, 0, 100, 50) + WmfStretchDib(70, 10, 20, 20, SolidDib(Green))));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(Green, picture->pixel(80, 20));
    EXPECT_EQ(White, picture->pixel(50, 20));

    picture = Load("bitmap.emf", EmfFile(Rect(0, 0, 2646, 1323), Rect(70, 10, 89, 29),
                                         EmfStretchDib(70, 10, 20, 20, 2, 2, SolidDib(Green))));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(Green, picture->pixel(80, 20));
    EXPECT_EQ(White, picture->pixel(50, 20));

    // An 8-bit run-length bitmap (two rows of four of palette colour 1) is
    // passed over; the rectangle after it is still drawn.
    const QByteArray rle =
        Dib(4, 2, 8, 1, Le32(0) + Le32(0x0000FF00), Bytes({4, 1, 0, 0, 4, 1, 0, 1}));
    picture = Load("rle.emf", EmfFile(Rect(0, 0, 2646, 1323), Rect(0, 0, 99, 49),
                                      EmfStretchDib(70, 10, 20, 20, 4, 2, rle) +
                                          EmfFilledRectangle(20, 10, 60, 40, Red)));
    ExpectRectangle(picture, Red, "after a run-length bitmap");
    EXPECT_EQ(White, picture->pixel(80, 20));
}

TEST_F(MetafileReaderTest, TheBytesChooseTheKindOfMetafileNotTheExtension) {
    const QByteArray wmf = WmfFile(
        0, 0, 100, 50, 96, WmfWindow(0, 0, 100, 50) + WmfFilledRectangle(20, 10, 60, 40, Red));
    const QByteArray emf = EmfFile(Rect(0, 0, 2646, 1323), Rect(20, 10, 59, 39),
                                   EmfFilledRectangle(20, 10, 60, 40, Red));
    ExpectRectangle(Load("enhanced.WMF", emf), Red, "EMF named .WMF");
    ExpectRectangle(Load("windows.emf", wmf), Red, "WMF named .emf");
    EXPECT_FALSE(Load("bitmap.wmf", BmpFile(2, 2, 24, 0, {}, QByteArray(16, '\0'))).has_value());
}

TEST_F(MetafileReaderTest, TextIsDrawnAtAnyFontSizeAndWithoutAGuiApplication) {
    const auto dark = [](const QImage& picture) {
        int count = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                count += qGray(picture.pixel(x, y)) < 128;
        return count;
    };
    // libwmf loops for ever on a font of height 0 and reads a glyph that is
    // not there for very large or stretched ones.
    const struct {
        const char* what;
        int height;
        int width;
        bool ink;
    } fonts[] = {
        {"30 pixels", -30, 0, true},
        {"default height", 0, 0, true},
        {"100 times wider than high", -30, 3000, true},
        {"32000 pixels", -32000, 0, false},
    };
    for (const auto& [what, height, width, ink] : fonts) {
        const std::optional<QImage> picture = Load(
            "text.wmf", WmfFile(0, 0, 100, 50, 96,
                                WmfWindow(0, 0, 100, 50) + WmfText(10, 5, "VELM", height, width)));
        ASSERT_TRUE(picture.has_value()) << what;
        if (ink) {
            EXPECT_GT(dark(*picture), 20) << what;
        }
    }
    const QByteArray emf =
        EmfFile(Rect(0, 0, 2646, 1323), Rect(0, 0, 99, 49), EmfText(10, 40, "VELM"));
    const std::optional<QImage> picture = Load("text.emf", emf);
    ASSERT_TRUE(picture.has_value());
    EXPECT_GT(dark(*picture), 20);

    // velmora-tool has no GUI application, which Qt needs to draw text.
    const QString wmf = folder_.filePath("tool.wmf");
    WriteFile(wmf, WmfFile(0, 0, 100, 50, 96, WmfText(10, 5, "VELM", -30, 0)));
    const QString enhanced = folder_.filePath("tool.emf");
    WriteFile(enhanced, emf);
    for (const QString& file : {wmf, enhanced}) {
        const QString jpeg = file + ".jpg";
        EXPECT_TRUE(
            RunCommand(QString("'%1' picture '%2' '%3'").arg(VELMORA_TOOL_PATH, file, jpeg)))
            << file.toStdString();
        EXPECT_TRUE(QFile::exists(jpeg)) << file.toStdString();
    }
}

TEST_F(MetafileReaderTest, WmfThatTheLibraryDrawsForMinutesIsGivenUpInSeconds) {
    // libwmf fills the whole rectangle, most of it far outside the picture,
    // pixel by pixel: 64000 × 64000 of them.
    const QByteArray wmf =
        WmfFile(0, 0, 100, 50, 96,
                WmfWindow(0, 0, 100, 50) + WmfFilledRectangle(-32000, -32000, 32000, 32000, Red));
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(Load("slow.wmf", wmf).has_value());
    EXPECT_LT(timer.elapsed(), 6000);
    const QByteArray next = WmfFile(
        0, 0, 100, 50, 96, WmfWindow(0, 0, 100, 50) + WmfFilledRectangle(20, 10, 60, 40, Red));
    ExpectRectangle(Load("next.wmf", next), Red, "the next metafile");
}

TEST_F(MetafileReaderTest, WmfRecordsCoveringMoreThanAPictureAreGivenUpBeforeDrawing) {
    // 100 × 50 pixels, one pixel a unit: libwmf would fill each area pixel
    // by pixel, 200 million of them or more, until the time limit.
    const QString found = QFileInfo(QString::fromUtf8(__FILE__))
                              .absoluteDir()
                              .filePath("hostile/stretch-huge-destination.wmf");
    const QByteArray window = WmfWindow(0, 0, 100, 50);
    const struct {
        const char* what;
        QByteArray bytes;
        bool drawn;
    } cases[] = {
        {"2 × 2 bitmap over 52224 × 8207 units, found by fuzzing", ReadFile(found), false},
        {"bitmap stretched over 20000 × 10000",
         WmfFile(0, 0, 100, 50, 96, window + WmfStretchDib(0, 0, 20000, 10000, SolidDib(Green))),
         false},
        {"bitmap stretched over a negative width, which libwmf takes as 63536",
         WmfFile(0, 0, 100, 50, 96, window + WmfStretchDib(0, 0, -2000, 10000, SolidDib(Green))),
         false},
        {"rectangle of 20000 × 10000",
         WmfFile(0, 0, 100, 50, 96, window + WmfFilledRectangle(-10000, -5000, 10000, 5000, Red)),
         false},
        {"polygon spanning 20000 × 10000",
         WmfFile(0, 0, 100, 50, 96,
                 window + WmfRecord(0x0324, {3, -10000, -5000, 10000, -5000, 0, 5000})),
         false},
        {"bitmap stretched over nine times the picture",
         WmfFile(0, 0, 100, 50, 96, window + WmfStretchDib(-100, -50, 300, 150, SolidDib(Green))),
         true},
    };
    for (const auto& [what, bytes, drawn] : cases) {
        ASSERT_FALSE(bytes.isEmpty()) << what;
        const QString path = folder_.filePath("area.wmf");
        WriteFile(path, bytes);
        DrawingChild::ForgetLastEnd();
        QString failure;
        const std::optional<QImage> picture = LoadPictureFile(path, &failure);
        if (drawn) {
            ASSERT_TRUE(picture.has_value()) << what;
            EXPECT_EQ(Green, picture->pixel(50, 25)) << what;
            continue;
        }
        EXPECT_FALSE(picture.has_value()) << what;
        EXPECT_EQ("Metafile takes too long to draw", failure.toStdString()) << what;
        EXPECT_FALSE(DrawingChild::LastEnd().has_value()) << what << ": given up before drawing";
    }
}

TEST_F(MetafileReaderTest, BrokenOrOversizedMetafilesGiveNoPictureQuietly) {
    const QByteArray wmf =
        WmfFile(0, 0, 100, 50, 96,
                WmfWindow(0, 0, 100, 50) + WmfFilledRectangle(20, 10, 60, 40, Red) +
                    WmfStretchDib(70, 10, 20, 20, SolidDib(Green)));
    const QByteArray emf = EmfFile(Rect(0, 0, 2646, 1323), Rect(20, 10, 89, 39),
                                   EmfFilledRectangle(20, 10, 60, 40, Red) +
                                       EmfStretchDib(70, 10, 20, 20, 2, 2, SolidDib(Green)));
    ASSERT_TRUE(Load("good.wmf", wmf).has_value());
    ASSERT_TRUE(Load("good.emf", emf).has_value());

    std::vector<std::pair<std::string, QByteArray>> broken;
    // Cut anywhere before the end record's last byte.
    for (qsizetype length = 0; length < wmf.size(); ++length)
        broken.emplace_back("WMF cut at " + std::to_string(length), wmf.left(length));
    for (qsizetype length = 0; length < emf.size(); ++length)
        broken.emplace_back("EMF cut at " + std::to_string(length), emf.left(length));

    QByteArray noKey = wmf;
    noKey[0] = 'X';
    broken.emplace_back("WMF without the placeable key", noKey);
    broken.emplace_back("WMF claiming 3 million pixels square",
                        WmfFile(0, 0, 32767, 32767, 1, WmfFilledRectangle(0, 0, 10, 10, Red)));
    broken.emplace_back("WMF without units per inch",
                        WmfFile(0, 0, 100, 50, 0, WmfFilledRectangle(0, 0, 10, 10, Red)));
    broken.emplace_back("WMF with an empty box",
                        WmfFile(0, 0, 0, 50, 96, WmfFilledRectangle(0, 0, 10, 10, Red)));
    QByteArray longRecord = wmf;
    longRecord[41] = static_cast<char>(0x7F); // the first record claims 32000 words and more
    broken.emplace_back("WMF record longer than the file", longRecord);
    broken.emplace_back(
        "WMF text in libwmf's own font, stretched 100 times",
        WmfFile(0, 0, 9116, 47, 96,
                WmfWindow(0, 0, 100, 50) +
                    WmfRecord(0x0521, Le16(4) + QByteArray("VELM") + Le16(5) + Le16(10))));
    broken.emplace_back(
        "WMF bitmap of 100000 × 100000",
        WmfFile(0, 0, 100, 50, 96,
                WmfStretchDib(0, 0, 10, 10, Dib(100000, 100000, 24, 0, {}, QByteArray(12, 0)))));

    QByteArray noSignature = emf;
    noSignature[40] = 'X';
    broken.emplace_back("EMF without its signature", noSignature);
    broken.emplace_back("EMF framing 100000 × 100000 pixels",
                        EmfFile(Rect(0, 0, 2645834, 2645834), Rect(0, 0, 9, 9),
                                EmfFilledRectangle(0, 0, 10, 10, Red)));
    // Corners at -2^30 and 2^30 pixels of the device: a width beyond an int.
    broken.emplace_back("EMF framing 2^31 device pixels",
                        EmfFile(Rect(-50, 0, 50, 10), Rect(0, 0, 9, 9),
                                EmfFilledRectangle(0, 0, 10, 10, Red), Device{2147483647, 1}));
    broken.emplace_back("EMF on a device of no millimetres",
                        EmfFile(Rect(0, 0, 2646, 1323), Rect(0, 0, 9, 9),
                                EmfFilledRectangle(0, 0, 10, 10, Red), Device{960, 0}));
    broken.emplace_back("EMF with a second header",
                        EmfFile(Rect(0, 0, 2646, 1323), Rect(0, 0, 9, 9), emf.left(88)));
    broken.emplace_back(
        "EMF record of an odd size",
        EmfFile(Rect(0, 0, 2646, 1323), Rect(0, 0, 9, 9), EmfRecord(37, Le32(1) + Bytes({0, 0}))));
    // A polygon of 1000 points with room for one.
    broken.emplace_back("EMF polygon counting more points than it holds",
                        EmfFile(Rect(0, 0, 2646, 1323), Rect(0, 0, 9, 9),
                                EmfRecord(86, Rect(0, 0, 9, 9) + Le32(1000) + Le16(1) + Le16(1))));
    broken.emplace_back("EMF bitmap of 100000 × 100000",
                        EmfFile(Rect(0, 0, 2646, 1323), Rect(0, 0, 9, 9),
                                EmfStretchDib(0, 0, 10, 10, 2, 2,
                                              Dib(100000, 100000, 24, 0, {}, QByteArray(12, 0)))));
    broken.emplace_back("neither kind", QByteArray(200, 'm'));

    StderrCapture errors;
    for (const auto& [what, bytes] : broken) {
        EXPECT_FALSE(Load("broken.wmf", bytes).has_value()) << what;
        EXPECT_FALSE(Load("broken.emf", bytes).has_value()) << what;
    }
    EXPECT_EQ("", errors.Text()) << "the libraries stay silent";
    EXPECT_THROW(ReadWmf(broken[wmf.size() + emf.size() + 1].second), EPictureError);
}

TEST_F(MetafileReaderTest, EmfConverterMissingCrashingOrHangingGivesNoPicture) {
    const QByteArray emf = EmfFile(Rect(0, 0, 2646, 1323), Rect(20, 10, 59, 39),
                                   EmfFilledRectangle(20, 10, 60, 40, Red));
    const struct {
        const char* what;
        const char* script; // none: no converter at the path
        const char* failure;
    } cases[] = {
        {"missing", nullptr, "Metafile cannot be drawn"},
        {"crashing", "kill -SEGV $$", "Metafile cannot be drawn"},
        {"hanging", "exec sleep 60", "Metafile takes too long to draw"},
    };
    for (const auto& [what, script, expected] : cases) {
        const QString converter = folder_.filePath(QString("converter-%1").arg(what));
        if (script != nullptr) {
            WriteFile(converter, QByteArray("#!/bin/sh\n") + script + "\n");
            QFile::setPermissions(converter, QFile::ReadOwner | QFile::ExeOwner);
        }
        qputenv(EmfConverter::PathVariable, QFile::encodeName(converter));
        const QString path = folder_.filePath("picture.emf");
        WriteFile(path, emf);
        QElapsedTimer timer;
        timer.start();
        QString failure;
        const std::optional<QImage> picture = LoadPictureFile(path, &failure);
        qunsetenv(EmfConverter::PathVariable);
        EXPECT_FALSE(picture.has_value()) << what;
        EXPECT_EQ(expected, failure.toStdString()) << what;
        EXPECT_LT(timer.elapsed(), 6000) << what;
    }
    ExpectRectangle(Load("next.emf", emf), Red, "the converter found again");
}

TEST_F(MetafileReaderTest, EmfConverterChecksEveryRecordItDoesNotSkip) {
    // A polygon of 1000 points with room for one.
    const QByteArray points = Rect(0, 0, 9, 9) + Le32(1000) + Le16(1) + Le16(1);
    const auto records = [](const QByteArray& middle) {
        return EmfFile(Rect(0, 0, 2646, 1323), Rect(0, 0, 99, 49), middle);
    };
    const struct {
        const char* what;
        QByteArray records;
        const char* failure; // none: converted
    } cases[] = {
        {"drawn", records(EmfRecord(86, points)), "Metafile record is corrupt"},
        {"checked, then left out", records(EmfRecord(86 | 0x80000000U, points)),
         "Metafile record is corrupt"},
        {"skipped unchecked", records(EmfRecord(69, points)), nullptr},
        {"without an end record", records({}).chopped(20), "Metafile is corrupt"},
    };
    for (const auto& [what, bytes, expected] : cases) {
        std::string failure;
        try {
            EXPECT_FALSE(EmfConverter::ToSvg(bytes, QSize(100, 50), DrawingChild::MetafileTimeLimit)
                             .isEmpty())
                << what;
        } catch (const EPictureError& error) {
            failure = error.what();
        }
        EXPECT_EQ(expected == nullptr ? "" : expected, failure) << what;
    }
}
