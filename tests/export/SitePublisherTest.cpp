#include "SitePublisher.h"
#include "BmpWriter.h"
#include "EFileError.h"
#include "JpegEncoder.h"
#include "QueryTestFixture.h"
#include "SiteNames.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SitePublisherTest : public QueryTestFixture {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        Exec("create table add_pictures (add_picture_id char(32), add_picture_name char(32), "
             "figure_id char(32), picture_th blob(1,5), picture blob(1,5), "
             "primary key (add_picture_id))");
        out_ = folder_.filePath("site");
    }

    bool Publish(SitePublisher::Options options = {}) {
        options.locale = QLocale(QLocale::English);
        options.useMap = false;
        return SitePublisher(out_, options).Publish();
    }

    QString FigurePage(const QString& key, const QString& name) const {
        return out_ + "/figures/" + SiteNames::Readable(name, "figure") + "-" +
               SiteNames::KeyPiece(key) + ".html";
    }

    QString out_;
};

TEST_F(SitePublisherTest, IndexGroupsEveryFigureUnderItsGenre) {
    Exec("insert into genres (genre_id, genre_name, TB, TE) values ('N', 'Napoleonic', 1799, "
         "1815), ('A', 'Antiquity', -500, 400)");
    Exec("insert into figures (figure_id, figure_name, genre_id) values ('1', 'Hussar', 'N'), "
         "('2', 'Hoplite', 'A'), ('3', 'Dragoon', 'N'), ('4', 'Stray', null)");
    ASSERT_TRUE(Publish());
    const QString index = QString::fromUtf8(ReadFile(out_ + "/index.html"));
    QStringList seen;
    static const QRegularExpression parts(
        R"re(<section class="group" id="([^"]+)"|class="card" data-key="([^"]+)")re");
    for (const QRegularExpressionMatch& match : parts.globalMatch(index))
        seen << (match.captured(1).isEmpty() ? match.captured(2) : "|");
    EXPECT_EQ(seen.join(' '), "| 2 | 3 1 | 4");
    EXPECT_TRUE(index.startsWith("<!DOCTYPE html>\n<html lang=\"en\">"));
    EXPECT_NE(ReadFile(out_ + "/site-index.js").indexOf("window.VELMORA_INDEX = ["), -1);
}

TEST_F(SitePublisherTest, FigurePageKeepsTheDescriptionAndShowsPictures) {
    QImage image(40, 30, QImage::Format_RGB888);
    image.fill(Qt::blue);
    Exec("insert into figures (figure_id, figure_name, figure_dsc, picture, picture_th) values "
         "('1', 'Hussar', ?, ?, ?)",
         {"Line <one> & more\r\nSecond line", PictureToJpegBytes(image), BitmapToBmpBytes(image)});
    Exec("insert into add_pictures values ('P', 'Back view', '1', null, ?)",
         {PictureToJpegBytes(image)});
    ASSERT_TRUE(Publish());
    const QByteArray page = ReadFile(FigurePage("1", "Hussar"));
    for (const char* part :
         {"id=\"description\">Line &lt;one&gt; &amp; more\nSecond line</div>",
          "width=\"40\" height=\"30\"", "alt=\"Back view\"", "href=\"../index.html\""})
        EXPECT_NE(page.indexOf(part), -1) << part;
    EXPECT_TRUE(ReadFile(out_ + "/thumbs/hussar-" + SiteNames::KeyPiece("1") + ".jpg")
                    .startsWith("\xFF\xD8"));
}

TEST_F(SitePublisherTest, EachFigurePageShowsItsOwnMakersAndPicture) {
    struct Case {
        const char* key;
        const char* name;
        const char* sculptor;
        const char* painter;
        int width;
    };
    const Case cases[] = {{"1", "Hussar", "Ann", "Bo", 40}, {"2", "Lancer", "Cy", "", 50}};
    for (const Case& c : cases) {
        QImage image(c.width, 30, QImage::Format_RGB888);
        image.fill(Qt::red);
        Exec("insert into figures (figure_id, figure_name, sculpter_name, painter_name, picture) "
             "values (?, ?, ?, ?, ?)",
             {c.key, c.name, c.sculptor, c.painter, PictureToJpegBytes(image)});
    }
    ASSERT_TRUE(Publish());
    for (const Case& c : cases) {
        const QString page = QString::fromUtf8(ReadFile(FigurePage(c.key, c.name)));
        EXPECT_TRUE(page.contains(QString("<dt>Sculptor</dt><dd>%1</dd>").arg(c.sculptor)))
            << c.name;
        EXPECT_EQ(page.contains("<dt>Painter</dt><dd>Bo</dd>"), QString(c.painter) == "Bo")
            << c.name;
        EXPECT_TRUE(page.contains(QString("width=\"%1\" height=\"30\"").arg(c.width))) << c.name;
    }
}

TEST_F(SitePublisherTest, RepublishRemovesOnlyItsOwnStaleFiles) {
    Exec("insert into figures (figure_id, figure_name) values ('1', 'Hussar'), ('2', 'Lancer')");
    ASSERT_TRUE(Publish());
    const QString foreign = out_ + "/figures/notes.html";
    QFile file(foreign);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    Exec("delete from figures where figure_id = '2'");
    ASSERT_TRUE(Publish());
    EXPECT_TRUE(QFile::exists(foreign));
    EXPECT_TRUE(QFile::exists(FigurePage("1", "Hussar")));
    EXPECT_FALSE(QFile::exists(FigurePage("2", "Lancer")));
    EXPECT_EQ(ReadFile(out_ + "/velmora-site.json").indexOf("lancer"), -1);
}

TEST_F(SitePublisherTest, StoppedPublishWritesNoIndex) {
    Exec("insert into figures (figure_id, figure_name) values ('1', 'Hussar'), ('2', 'Lancer')");
    SitePublisher::Options options;
    options.progress = [](int done, int) { return done < 1; };
    EXPECT_FALSE(Publish(options));
    EXPECT_FALSE(QFile::exists(out_ + "/index.html"));
    EXPECT_NE(ReadFile(out_ + "/velmora-site.json").indexOf("hussar"), -1);
}

TEST_F(SitePublisherTest, AFileThatCannotBeWrittenStopsThePublishWithItsName) {
    Exec("insert into figures (figure_id, figure_name) values ('1', 'Hussar'), ('2', 'Lancer')");
    // A plain file where the figures' folder goes.
    ASSERT_TRUE(QDir().mkpath(out_));
    QFile blocker(out_ + "/figures");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        Publish();
        ADD_FAILURE() << "published";
    } catch (const EFileError& error) {
        EXPECT_TRUE(QString::fromStdString(error.what()).contains("figures")) << error.what();
    }
    EXPECT_FALSE(QFile::exists(out_ + "/index.html"));
}

} // namespace
