// Loading picture files by their extension into 24-bit working bitmaps.

#include "PictureLoader.h"
#include "BmpWriter.h"
#include "JpegEncoder.h"
#include "PictureTestSupport.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>

using namespace picturetest;

class PictureLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = folder_.filePath(name);
        WriteFile(path, bytes);
        return path;
    }

    QTemporaryDir folder_;
};

TEST_F(PictureLoaderTest, ExtensionsChooseTheReaderCaseInsensitively) {
    const QByteArray jpeg = PictureToJpegBytes(Pattern(40, 30));
    for (const QString name : {"a.JpEg", "b.jpg", "c.JPG"}) {
        const std::optional<QImage> picture = LoadPictureFile(Write(name, jpeg));
        ASSERT_TRUE(picture.has_value()) << name.toStdString();
        EXPECT_EQ(QSize(40, 30), picture->size());
        EXPECT_EQ(QImage::Format_RGB888, picture->format());
    }
    const QByteArray bmp = BitmapToBmpBytes(Pattern(5, 4));
    for (const QString name : {"d.Bmp", "e.DIB"}) {
        const std::optional<QImage> picture = LoadPictureFile(Write(name, bmp));
        ASSERT_TRUE(picture.has_value()) << name.toStdString();
        EXPECT_EQ(Pattern(5, 4), *picture);
    }

    // Not in the table: pcx, no extension, a BMP named as JPEG.
    QImage pcx(4, 4, QImage::Format_RGB32);
    pcx.fill(Qt::red);
    const QString pcxPath = folder_.filePath("f.pcx");
    ASSERT_TRUE(pcx.save(pcxPath, "PNG"));
    EXPECT_FALSE(LoadPictureFile(pcxPath).has_value());
    EXPECT_FALSE(LoadPictureFile(Write("g", bmp)).has_value());
    EXPECT_FALSE(LoadPictureFile(Write("h.jpg", bmp)).has_value());
    EXPECT_FALSE(LoadPictureFile(folder_.filePath("missing.jpg")).has_value());
    EXPECT_FALSE(LoadPictureFile(folder_.path()).has_value()) << "a folder is no file";
}

TEST_F(PictureLoaderTest, RejectedFilesGiveNoneAndTransparencyLiesOnWhite) {
    // A header claiming 100000 × 100000 pixels.
    const QByteArray bomb = BmpFile(100000, 100000, 24, 0, {}, Bytes({1, 2, 3, 0}));
    EXPECT_FALSE(LoadPictureFile(Write("bomb.bmp", bomb)).has_value());
    EXPECT_FALSE(LoadPictureFile(Write("empty.gif", QByteArray())).has_value());
    EXPECT_FALSE(LoadPictureFile(Write("empty.ico", QByteArray())).has_value());
    // The busy cursor is gone again after a file that failed.
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    QImage bitmap(3, 2, QImage::Format_RGB32);
    bitmap.fill(qRgb(255, 0, 0));
    bitmap.setPixel(2, 1, qRgb(0, 0, 255));
    const QString bmp = Write("source.bmp", BitmapToBmpBytes(bitmap));
    const QString gif = folder_.filePath("t.gif");
    ASSERT_TRUE(RunCommand(QString("convert '%1' -transparent red '%2'").arg(bmp, gif)));
    const std::optional<QImage> picture = LoadPictureFile(gif);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(qRgb(255, 255, 255), picture->pixel(0, 0));
    EXPECT_EQ(qRgb(0, 0, 255), picture->pixel(2, 1));
}

TEST_F(PictureLoaderTest, GraphicsAndTheirBitmaps) {
    EXPECT_FALSE(GraphicToBitmap(nullptr).has_value());
    EXPECT_EQ(nullptr, TGraphic::ForFileName("x.pcx"));
    EXPECT_EQ(nullptr, TGraphic::ForFileName("x.jpeg.txt"));

    const std::unique_ptr<TGraphic> graphic = TGraphic::ForFileName("x.jpeg");
    ASSERT_NE(nullptr, graphic);
    EXPECT_FALSE(GraphicToBitmap(graphic.get()).has_value()) << "nothing loaded yet";
    EXPECT_FALSE(LoadGraphicFile(*graphic, folder_.filePath("missing.jpeg")));
    EXPECT_TRUE(LoadGraphicFile(*graphic, Write("x.jpeg", PictureToJpegBytes(Pattern(7, 3)))));
    EXPECT_EQ(7, graphic->Width());
    EXPECT_EQ(3, graphic->Height());
    const std::optional<QImage> bitmap = GraphicToBitmap(graphic.get());
    ASSERT_TRUE(bitmap.has_value());
    EXPECT_EQ(QSize(7, 3), bitmap->size());
}

TEST_F(PictureLoaderTest, OpaqueBitmapsAreTheGraphicDrawnOverWhiteAndTheCallersOwn) {
    const auto drawn = [](const QImage& image) {
        QImage bitmap(image.size(), QImage::Format_RGB888);
        bitmap.fill(Qt::white);
        QPainter painter(&bitmap);
        painter.drawImage(0, 0, image);
        painter.end();
        return bitmap;
    };
    // A JPEG reads as a 24-bit bitmap, a BMP as a 32-bit one.
    const QImage pattern = Pattern(37, 23);
    const std::pair<QString, QByteArray> files[] = {{"p.jpg", PictureToJpegBytes(pattern)},
                                                    {"p.bmp", BitmapToBmpBytes(pattern)}};
    for (const auto& [name, bytes] : files) {
        const std::unique_ptr<TGraphic> graphic = TGraphic::ForFileName(name);
        ASSERT_TRUE(LoadGraphicFile(*graphic, Write(name, bytes))) << name.toStdString();
        std::optional<QImage> bitmap = GraphicToBitmap(graphic.get());
        ASSERT_TRUE(bitmap.has_value()) << name.toStdString();
        EXPECT_EQ(QImage::Format_RGB888, bitmap->format());
        EXPECT_EQ(drawn(graphic->Image()), *bitmap) << name.toStdString();

        // Drawing on the bitmap leaves the graphic as it was read.
        const QImage read = graphic->Image().copy();
        bitmap->fill(Qt::black);
        EXPECT_EQ(read, graphic->Image()) << name.toStdString();
    }
}

TEST_F(PictureLoaderTest, PicturesWiderOrHigherThanAJpegHoldsAreRefusedWithTheReason) {
    // 24-bit bitmaps one pixel across: small files, up to a side of 65500.
    const auto line = [](int width, int height) {
        const int stride = (width * 3 + 3) / 4 * 4;
        return BmpFile(width, height, 24, 0, {}, QByteArray(stride * height, '\x40'));
    };
    const std::pair<QSize, bool> cases[] = {{QSize(65500, 1), true},
                                            {QSize(1, 65500), true},
                                            {QSize(65501, 1), false},
                                            {QSize(1, 65501), false}};
    for (const auto& [size, loads] : cases) {
        const QString name = QString("line%1x%2.bmp").arg(size.width()).arg(size.height());
        QString failure;
        const std::optional<QImage> picture =
            LoadPictureFile(Write(name, line(size.width(), size.height())), &failure);
        EXPECT_EQ(loads, picture.has_value()) << name.toStdString();
        if (!loads) {
            EXPECT_TRUE(failure.contains("65500")) << failure.toStdString();
        }
    }

    // Other failures say why as well.
    QString failure;
    EXPECT_FALSE(LoadPictureFile(folder_.filePath("missing.jpg"), &failure).has_value());
    EXPECT_EQ(failure, "The file does not exist.");
    EXPECT_FALSE(LoadPictureFile(Write("bad.gif", "GIF89a"), &failure).has_value());
    EXPECT_TRUE(failure.startsWith("GIF error")) << failure.toStdString();
}
