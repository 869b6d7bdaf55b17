// velmora-tool picture as a process: the stored picture and thumbnail it
// writes, and its exit codes.

#include "BmpReader.h"
#include "BmpWriter.h"
#include "JpegDecoder.h"
#include "JpegEncoder.h"
#include "PictureGeometry.h"
#include "PictureTestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>

using namespace picturetest;

namespace {

int Tool(const QString& arguments) {
    const int status = std::system(
        QString("'%1' picture %2 2>/dev/null").arg(VELMORA_TOOL_PATH, arguments).toLocal8Bit());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(PictureToolTest, WritesTheStoredPictureAndThumbnailOrFailsWithExitCodes) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QImage bitmap = Pattern(250, 140);
    const QString in = folder.filePath("in.BMP");
    const QString jpg = folder.filePath("out.jpg");
    const QString bmp = folder.filePath("thumb.bmp");
    WriteFile(in, BitmapToBmpBytes(bitmap));

    ASSERT_EQ(0, Tool(QString("'%1' '%2' --thumbnail '%3'").arg(in, jpg, bmp)));
    EXPECT_EQ(PictureToJpegBytes(bitmap), ReadFile(jpg));
    EXPECT_EQ(BitmapToBmpBytes(StretchDraw(bitmap, QSize(123, 123))), ReadFile(bmp));

    const QString other = folder.filePath("other.jpg");
    EXPECT_EQ(0, Tool(QString("'%1' '%2'").arg(jpg, other)));
    EXPECT_EQ(QSize(250, 140), ReadJpegSize(ReadFile(other)));

    EXPECT_EQ(1, Tool(QString("'%1' '%2'").arg(folder.filePath("missing.bmp"), other)));
    WriteFile(folder.filePath("in.png"), ReadFile(in));
    EXPECT_EQ(1, Tool(QString("'%1' '%2'").arg(folder.filePath("in.png"), other)));
    EXPECT_EQ(2, Tool(QString("'%1' '%2'").arg(in, folder.filePath("no/such/folder.jpg"))));
    EXPECT_EQ(64, Tool(QString("'%1'").arg(in)));
    EXPECT_EQ(64, Tool(QString("'%1' '%2' --thumbnail").arg(in, jpg)));
}
