// Quarter turns pixel for pixel and nearest-neighbour stretching.

#include "PictureGeometry.h"
#include "PictureTestSupport.h"

#include <gtest/gtest.h>

using namespace picturetest;

TEST(PictureGeometryTest, QuarterTurnsMovePixelsAsTheTablesSay) {
    const QImage source = Pattern(300, 200);
    QImage right;
    RotateRight(source, right);
    ASSERT_EQ(QSize(200, 300), right.size());
    EXPECT_EQ(QImage::Format_RGB888, right.format());
    // (x, y) goes to column h - 1 - y, row x.
    for (const QPoint p : {QPoint(0, 0), QPoint(299, 0), QPoint(0, 199), QPoint(123, 45)})
        EXPECT_EQ(source.pixel(p), right.pixel(199 - p.y(), p.x()));

    QImage left;
    RotateLeft(source, left);
    ASSERT_EQ(QSize(200, 300), left.size());
    // (x, y) goes to column y, row w - 1 - x.
    for (const QPoint p : {QPoint(0, 0), QPoint(299, 0), QPoint(0, 199), QPoint(123, 45)})
        EXPECT_EQ(source.pixel(p), left.pixel(p.y(), 299 - p.x()));

    QImage back;
    RotateLeft(right, back);
    EXPECT_EQ(source, back) << "clockwise and back";
    RotateRight(left, back);
    EXPECT_EQ(source, back);

    // A 2 × 1 picture turned right puts the left pixel on top; a 1 × 1
    // picture stays itself. Other formats are made 24-bit first.
    QImage pair(2, 1, QImage::Format_RGB32);
    pair.setPixel(0, 0, qRgb(1, 2, 3));
    pair.setPixel(1, 0, qRgb(4, 5, 6));
    RotateRight(pair, back);
    ASSERT_EQ(QSize(1, 2), back.size());
    EXPECT_EQ(qRgb(1, 2, 3), back.pixel(0, 0));
    EXPECT_EQ(qRgb(4, 5, 6), back.pixel(0, 1));
    RotateLeft(pair.copy(1, 0, 1, 1), back);
    EXPECT_EQ(QSize(1, 1), back.size());
    EXPECT_EQ(qRgb(4, 5, 6), back.pixel(0, 0));

    // Source and destination may even be the same bitmap.
    QImage same = source;
    RotateRight(same, same);
    EXPECT_EQ(right, same);
}

TEST(PictureGeometryTest, StretchingRepeatsOrDropsPixelsWithoutFiltering) {
    QImage source(3, 2, QImage::Format_RGB888);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            source.setPixel(x, y, qRgb(x * 100, y * 100, 7));

    const QImage doubled = StretchDraw(source, QSize(6, 4));
    ASSERT_EQ(QSize(6, 4), doubled.size());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(source.pixel(x / 2, y / 2), doubled.pixel(x, y)) << x << "," << y;

    // Shrinking takes the pixel under each target pixel's centre.
    const QImage shrunk = StretchDraw(Pattern(9, 9), QSize(3, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Pattern(9, 9).pixel(3 * x + 1, 3 * y + 1), shrunk.pixel(x, y));

    const QImage thumbnail = StretchDraw(Pattern(301, 201), QSize(123, 123));
    EXPECT_EQ(QSize(123, 123), thumbnail.size());
    EXPECT_EQ(Pattern(301, 201).pixel(299, 200), thumbnail.pixel(122, 122));

    EXPECT_TRUE(StretchDraw(QImage(), QSize(5, 5)).isNull());
    EXPECT_TRUE(StretchDraw(source, QSize(0, 5)).isNull());
}

TEST(PictureGeometryTest, QuarterTurnsMoveEveryPixelAcrossBlockEdges) {
    // Sides below, at and past the blocks the turns work in, and odd ones.
    const QSize sizes[] = {{1, 70}, {70, 1}, {31, 33}, {32, 32}, {33, 65}, {97, 40}};
    for (const QSize size : sizes) {
        const QImage source = Pattern(size.width(), size.height());
        QImage left;
        QImage right;
        RotateLeft(source, left);
        RotateRight(source, right);
        ASSERT_EQ(size.transposed(), left.size());
        ASSERT_EQ(size.transposed(), right.size());
        int wrong = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                wrong += left.pixel(y, size.width() - 1 - x) != source.pixel(x, y);
                wrong += right.pixel(size.height() - 1 - y, x) != source.pixel(x, y);
            }
        EXPECT_EQ(0, wrong) << size.width() << " x " << size.height();
    }
}
