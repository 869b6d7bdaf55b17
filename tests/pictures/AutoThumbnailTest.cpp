// The thumbnail made without the image dialog: the middle square, 123 × 123.

#include "AutoThumbnail.h"
#include "BmpWriter.h"
#include "PictureGeometry.h"
#include "PictureTestSupport.h"

#include <gtest/gtest.h>

using namespace picturetest;

TEST(AutoThumbnailTest, TakesTheMiddleSquareStretchedToTheThumbnailSize) {
    struct Case {
        QSize picture;
        QRect square;
    };
    const Case cases[] = {
        {{300, 200}, {50, 0, 200, 200}}, // wide: the middle columns
        {{200, 301}, {0, 50, 200, 200}}, // high: the middle rows
        {{123, 123}, {0, 0, 123, 123}},  // already the size: pixel for pixel
        {{7, 9}, {0, 1, 7, 7}},          // small: stretched up
    };
    for (const Case& c : cases) {
        const QImage picture = Pattern(c.picture.width(), c.picture.height());
        const QImage expected = StretchDraw(picture.copy(c.square), QSize(123, 123));
        const QImage thumbnail = AutoThumbnail(picture);
        EXPECT_EQ(QImage::Format_RGB888, thumbnail.format());
        EXPECT_EQ(expected, thumbnail) << c.picture.width() << "x" << c.picture.height();
        EXPECT_EQ(BitmapToBmpBytes(expected), AutoThumbnailBytes(picture));
    }
    EXPECT_TRUE(AutoThumbnail(QImage()).isNull());
    EXPECT_TRUE(AutoThumbnailBytes(QImage()).isEmpty());
}
