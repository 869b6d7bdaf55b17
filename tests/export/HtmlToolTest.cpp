// velmora-tool html as a process, on a catalog held open by this process.

#include "BmpWriter.h"
#include "JpegEncoder.h"
#include "QueryTestFixture.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class HtmlToolTest : public QueryTestFixture {
protected:
    int Tool(const QString& arguments) {
        const int status =
            std::system(QString("'%1' html %2 >'%3' 2>'%4'")
                            .arg(VELMORA_TOOL_PATH, arguments, folder_.filePath("stdout"),
                                 folder_.filePath("stderr"))
                            .toLocal8Bit());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(HtmlToolTest, PublishesEveryFigureWithAnIndex) {
    Exec("insert into genres values ('G', 'West Europe', 170, 90, 50, 50, 1100, 1500, null)");
    QImage thumbnail(123, 123, QImage::Format_RGB888);
    thumbnail.fill(Qt::red);
    const QByteArray picture = PictureToJpegBytes(thumbnail);
    Exec("insert into figures (figure_id, figure_name, genre_id, scale, picture, picture_th) "
         "values ('A', 'Knight', 'G', '54mm', ?, ?), ('B', 'knight', 'G', '', ?, null), "
         "('C', 'Index', '', '', null, null)",
         {picture, BitmapToBmpBytes(thumbnail), picture});
    const QString out = folder_.filePath("out");

    ASSERT_EQ(Tool(QString("'%1' '%2'").arg(folder_.path(), out)), 0)
        << ReadFile(folder_.filePath("stderr")).toStdString();
    QStringList files = QDir(out).entryList(QDir::Files);
    files << QDir(out + "/images").entryList(QDir::Files);
    EXPECT_EQ(files.join(' '), "index-2.html index.html knight-2.html knight.html genre.jpg "
                               "index-2.jpg knight-2.jpg knight.bmp knight.jpg west-europe.jpg");
    EXPECT_EQ(ReadFile(out + "/images/knight.jpg"), picture);
    const QByteArray index = ReadFile(out + "/index.html");
    for (const char* part :
         {"<A HREF=\"knight.html\">Knight", "<A HREF=\"knight-2.html\">knight",
          "<A HREF=\"index-2.html\">Index", "SRC=\"images/knight.bmp\"", "<TD>West Europe"})
        EXPECT_NE(index.indexOf(part), -1) << part;
    EXPECT_NE(ReadFile(out + "/knight-2.html").indexOf("SRC=\"images/west-europe.jpg\""), -1);

    EXPECT_EQ(Tool(QString("'%1' '%2' --figure B --no-map").arg(folder_.path(), out + "/one")), 0);
    EXPECT_EQ(QDir(out + "/one").entryList(QDir::Files).join(' '), "knight.html");
}

TEST_F(HtmlToolTest, RefusesBadArgumentsAndUnwritableFolders) {
    Exec("insert into figures (figure_id, figure_name) values ('A', 'Knight')");
    QFile blocker(folder_.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(Tool(QString("'%1' '%2/out'").arg(folder_.path(), blocker.fileName())), 2);
    // The toolkit may warn about the environment before the one line.
    const QByteArray message = ReadFile(folder_.filePath("stderr")).trimmed().split('\n').last();
    EXPECT_TRUE(message.startsWith("velmora-tool: Cannot create file ")) << message.toStdString();
    EXPECT_NE(message.indexOf("blocker/out/"), -1) << message.toStdString();
    EXPECT_EQ(Tool(QString("'%1'").arg(folder_.path())), 64);
    EXPECT_EQ(Tool(QString("'%1' out --figure").arg(folder_.path())), 64);
}

} // namespace
