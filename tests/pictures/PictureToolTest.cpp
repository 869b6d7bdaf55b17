// velmora-tool picture as a process: the stored picture and thumbnail it
// writes, and its exit codes.

#include "BmpReader.h"
#include "BmpWriter.h"
#include "JpegDecoder.h"
#include "JpegEncoder.h"
#include "PictureGeometry.h"
#include "PictureLoader.h"
#include "PictureTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace picturetest;

namespace {

int Tool(const QString& arguments) {
    const int status = std::system(
        QString("'%1' picture %2 2>/dev/null").arg(VELMORA_TOOL_PATH, arguments).toLocal8Bit());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct ToolRun {
    int exitCode = -1;
    QByteArray err;
};

ToolRun ToolWithErrors(const QTemporaryDir& folder, const QString& arguments) {
    const QString err = folder.filePath("stderr");
    const int status = std::system(
        QString("'%1' picture %2 2>'%3'").arg(VELMORA_TOOL_PATH, arguments, err).toLocal8Bit());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(err)};
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
    WriteFile(folder.filePath("in.pcx"), ReadFile(in));
    EXPECT_EQ(1, Tool(QString("'%1' '%2'").arg(folder.filePath("in.pcx"), other)));
    EXPECT_EQ(2, Tool(QString("'%1' '%2'").arg(in, folder.filePath("no/such/folder.jpg"))));
    EXPECT_EQ(64, Tool(QString("'%1'").arg(in)));
    EXPECT_EQ(64, Tool(QString("'%1' '%2' --thumbnail").arg(in, jpg)));
}

TEST(PictureToolTest, TellsWhyAPictureCannotBeLoaded) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString missing = folder.filePath("missing.bmp");
    const QString unknown = folder.filePath("in.pcx");
    const QString damaged = folder.filePath("damaged.bmp");
    WriteFile(unknown, BitmapToBmpBytes(Pattern(20, 10)));
    WriteFile(damaged, BitmapToBmpBytes(Pattern(20, 10)).left(40));
    QString damage;
    ASSERT_FALSE(LoadPictureFile(damaged, &damage));
    const std::pair<QString, QString> cases[] = {
        {missing, "The file does not exist."},
        {unknown, "Pictures of this kind cannot be read."},
        {damaged, damage},
    };
    for (const auto& [in, why] : cases) {
        const ToolRun run =
            ToolWithErrors(folder, QString("'%1' '%2'").arg(in, folder.filePath("out.jpg")));
        EXPECT_EQ(1, run.exitCode);
        EXPECT_EQ(QString("Cannot load picture %1: %2\n").arg(in, why).toLocal8Bit(), run.err);
    }
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("out.jpg")));
}

TEST(PictureToolTest, NeverWritesOverTheInputNorToAWrongExtensionUnlessForced) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QImage bitmap = Pattern(60, 40);
    const QString in = folder.filePath("in.jpg");
    const QString gif = folder.filePath("in.gif");
    WriteFile(in, PictureToJpegBytes(bitmap));
    WriteFile(gif, "GIF89a and the rest");
    ASSERT_TRUE(QDir().mkdir(folder.filePath("sub")));
    ASSERT_TRUE(QFile::link(in, folder.filePath("link.jpg")));
    ASSERT_EQ(0, ::link(QFile::encodeName(in).constData(),
                        QFile::encodeName(folder.filePath("hard.jpg")).constData()));
    const QString refused[] = {
        QString("'%1' '%2'").arg(in, gif), // swapped operands
        QString("'%1' '%1'").arg(in),
        QString("'%1' '%2' --force").arg(in, folder.filePath("sub/../in.jpg")),
        QString("'%1' '%2' --force").arg(in, folder.filePath("link.jpg")),
        QString("--force '%1' '%2'").arg(folder.filePath("link.jpg"), folder.filePath("hard.jpg")),
        QString("'%1' '%2' --thumbnail '%1' --force").arg(in, folder.filePath("new.jpg")),
        QString("'%1' '%2' --thumbnail '%2' --force").arg(in, folder.filePath("new.jpg")),
        QString("'%1' '%2'").arg(in, folder.filePath("new.png")),
        QString("'%1' '%2' --thumbnail '%3'")
            .arg(in, folder.filePath("new.jpg"), folder.filePath("new.jpg.png")),
    };
    for (const QString& arguments : refused) {
        const ToolRun run = ToolWithErrors(folder, arguments);
        EXPECT_EQ(64, run.exitCode) << arguments.toStdString();
        EXPECT_NE(-1, run.err.indexOf("velmora-tool: ")) << arguments.toStdString();
        EXPECT_EQ(PictureToJpegBytes(bitmap), ReadFile(in));
        EXPECT_EQ("GIF89a and the rest", ReadFile(gif));
        EXPECT_EQ(
            QStringList({"hard.jpg", "in.gif", "in.jpg", "link.jpg", "stderr", "sub"}),
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System));
    }

    // Names are compared without regard to case, and --force writes any name.
    EXPECT_EQ(0, Tool(QString("'%1' '%2' --thumbnail '%3'")
                          .arg(in, folder.filePath("a.JPEG"), folder.filePath("a.Bmp"))));
    EXPECT_EQ(0, Tool(QString("'%1' '%2' --force --thumbnail '%3'")
                          .arg(in, folder.filePath("b.png"), folder.filePath("b.jpg"))));
    EXPECT_EQ(ReadFile(folder.filePath("a.JPEG")), ReadFile(folder.filePath("b.png")));
    EXPECT_EQ(ReadFile(folder.filePath("a.Bmp")), ReadFile(folder.filePath("b.jpg")));
}
