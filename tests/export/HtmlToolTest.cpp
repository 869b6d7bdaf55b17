// velmora-tool html as a process, on a catalog held open by this process.

#include "BmpWriter.h"
#include "JpegEncoder.h"
#include "QueryTestFixture.h"
#include "SiteNames.h"

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

TEST_F(HtmlToolTest, PublishesTheSiteOrOneFigurePage) {
    Exec("create table add_pictures (add_picture_id char(32), add_picture_name char(32), "
         "figure_id char(32), picture_th blob(1,5), picture blob(1,5))");
    Exec("insert into genres values ('G', 'West Europe', 170, 90, 50, 50, 1100, 1500, null)");
    QImage thumbnail(123, 123, QImage::Format_RGB888);
    thumbnail.fill(Qt::red);
    const QByteArray picture = PictureToJpegBytes(thumbnail);
    Exec("insert into figures (figure_id, figure_name, genre_id, scale, picture, picture_th) "
         "values ('A', 'Knight', 'G', '54mm', ?, ?), ('B', 'knight', 'G', '', ?, null)",
         {picture, BitmapToBmpBytes(thumbnail), picture});
    const QString out = folder_.filePath("out");

    ASSERT_EQ(Tool(QString("'%1' '%2' --title 'My figures'").arg(folder_.path(), out)), 0)
        << ReadFile(folder_.filePath("stderr")).toStdString();
    const QString a = "knight-" + SiteNames::KeyPiece("A");
    const QString b = "knight-" + SiteNames::KeyPiece("B");
    for (const QString& file : QStringList{
             "index.html", "site.css", "site.js", "site-index.js", "by-maker.html", "by-scale.html",
             "velmora-site.json", "genres/west-europe-" + SiteNames::KeyPiece("G") + ".html",
             "figures/" + a + ".html", "figures/" + b + ".html", "thumbs/" + a + ".jpg"})
        EXPECT_TRUE(QFile::exists(out + "/" + file)) << file.toStdString();
    EXPECT_EQ(ReadFile(out + "/pictures/" + a + ".jpg"), picture);
    const QByteArray index = ReadFile(out + "/index.html");
    for (const QString& part :
         {QString("<title>My figures</title>"), "href=\"figures/" + a + ".html\">Knight</a>",
          "src=\"thumbs/" + a + ".jpg\" alt=\"Knight\" width=\"123\""})
        EXPECT_NE(index.indexOf(part.toUtf8()), -1) << part.toStdString();

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
