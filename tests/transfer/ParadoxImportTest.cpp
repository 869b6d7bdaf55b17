#include "ParadoxImport.h"

#include "AutoThumbnail.h"
#include "JpegDecoder.h"
#include "JpegEncoder.h"

#include "ParadoxFixture.h"
#include "ParadoxTable.h"
#include "TempDatabaseTest.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>

namespace {

const QString Figure1 = QString(32, QLatin1Char('1'));
const QString Figure2 = QString(32, QLatin1Char('2'));
const QString Figure3 = QString(32, QLatin1Char('3'));
const QString Maker = QString(32, QLatin1Char('M'));
const QString Genre = QString(32, QLatin1Char('G'));
const QByteArray Jpeg = QByteArray("\xFF\xD8\xFF\xE0jpeg bytes", 14) + QByteArray(3000, 'j');
const QByteArray Bmp = QByteArray("BM") + QByteArray(400, 'b');

class ParadoxImportTest : public TempDatabaseTest {
protected:
    void SetUp() override {
        TempDatabaseTest::SetUp();
        ASSERT_TRUE(old_.isValid());
    }

    // An older installation's data folder: names in upper case, producers
    // in code page 1251, genres without their epoch columns, an empty
    // scales table.
    void WriteInstallation() {
        const QString folder = old_.path();
        ParadoxFixture::Write(
            folder, "PRODUCERS", ParadoxFixture::ProducersColumns(),
            {{Maker, QString::fromUtf8("Звезда"), "http://z", "Описание", QDate(2004, 5, 6)}},
            {12, 1251, 4});
        std::vector<ParadoxFixture::Column> genres = ParadoxFixture::GenresColumns();
        genres.erase(genres.begin() + 6, genres.begin() + 8);
        ParadoxFixture::Write(folder, "Genres", genres,
                              {{Genre, "Napoleonic", 10, 20, 30, 40, "RR"}}, {9, 1252, 2});
        ParadoxFixture::Write(folder, "scales", ParadoxFixture::ScalesColumns(), {});
        std::vector<ParadoxFixture::Column> figures = ParadoxFixture::FiguresColumns();
        figures.push_back({"old_notes", ParadoxTable::Alpha, 10});
        const QString memo(110 * 1024, QLatin1Char('d'));
        ParadoxFixture::Write(
            folder, "FIGURES", figures,
            {{Figure1, "Hussar", Maker, Genre, "cavalry", "54-mm", memo, "/a.txt\r\n/b.txt\r\n",
              "<SHEME></SHEME>", Bmp, ParadoxFixture::WithGraphicHeader(Jpeg), "S", "P", 1.5, 2.0,
              3.25, "x"},
             {Figure2, "Bare", QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
              QVariant(), QVariant(), ParadoxFixture::WithGraphicHeader(Bmp), Jpeg},
             {Figure3, "Odd", QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
              QVariant(), QVariant(), QVariant(), QByteArray("GIF89a odd picture")}},
            {12, 1252, 4});
        QFile index(QDir(folder).filePath("FIGURES.PX"));
        ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    }

    QTemporaryDir old_;
};

TEST_F(ParadoxImportTest, BringsEveryTableInAsItWas) {
    WriteInstallation();
    ParadoxImport import;
    ASSERT_TRUE(import.Run(old_.path())) << import.Error().toStdString();

    EXPECT_EQ(Column("select producer_name || '|' || producer_dsc || '|' || insert_time "
                     "from producers"),
              QString::fromUtf8("Звезда|Описание|2004-05-06"));
    EXPECT_EQ(Column("select genre_name || '|' || RX || '|' || RW || '|' || location_shape || "
                     "'|' || coalesce(TB, 'null') from genres"),
              "Napoleonic|10|40|RR|null");
    EXPECT_EQ(Scalar("select length(figure_dsc) from figures where figure_id='" + Figure1 + "'"),
              110 * 1024);
    EXPECT_EQ(Column("select figure_files || manual_sheme || prc_pe from figures where "
                     "figure_id='" +
                     Figure1 + "'"),
              "/a.txt\r\n/b.txt\r\n<SHEME></SHEME>3.25");
    EXPECT_EQ(Column("select producer_id = '" + Maker + "' from figures where figure_id='" +
                     Figure1 + "'"),
              "1");
    struct Picture {
        QString figure;
        const char* column;
        QByteArray bytes;
    };
    for (const Picture& picture :
         {Picture{Figure1, "picture", Jpeg}, Picture{Figure1, "picture_th", Bmp},
          Picture{Figure2, "picture", Jpeg}, Picture{Figure2, "picture_th", Bmp},
          Picture{Figure3, "picture", "GIF89a odd picture"}})
        EXPECT_EQ(Scalar(QStringLiteral("select %1 from figures where figure_id='%2'")
                             .arg(picture.column, picture.figure))
                      .toByteArray(),
                  picture.bytes)
            << picture.column;
    EXPECT_EQ(import.SummaryLines(),
              QStringList({"producers: 1 added, 0 skipped", "genres: 1 added, 0 skipped",
                           "scales: 0 added, 0 skipped", "  the table holds no rows",
                           "figures: 3 added, 0 skipped", "  unknown column old_notes left out",
                           "  record 3: picture holds neither a JPEG nor a BMP picture; kept as "
                           "it is"}));
}

TEST_F(ParadoxImportTest, ImportingTwiceAddsNothing) {
    WriteInstallation();
    ASSERT_TRUE(ParadoxImport().Run(old_.path()));
    ParadoxImport again;
    ASSERT_TRUE(again.Run(old_.path()));
    EXPECT_EQ(again.Added(), 0);
    EXPECT_EQ(Scalar("select count(*) from figures").toInt(), 3);
    EXPECT_TRUE(again.SummaryLines().contains("  skipped record 2: the key " + Figure2 +
                                              " is already in the catalog"));
}

TEST_F(ParadoxImportTest, ADamagedTableImportsNothing) {
    WriteInstallation();
    QFile::remove(QDir(old_.path()).filePath("FIGURES.mb"));
    ParadoxImport import;
    EXPECT_FALSE(import.Run(old_.path()));
    EXPECT_EQ(import.Error(), "FIGURES.db: record 1, field figure_dsc: its blob file is missing");
    EXPECT_EQ(Scalar("select count(*) from producers").toInt(), 0);
}

TEST_F(ParadoxImportTest, AFolderWithoutTablesIsRefused) {
    ParadoxImport import;
    EXPECT_FALSE(import.Run(old_.path()));
    EXPECT_TRUE(import.Error().contains("holds no table of an older version"));
}

TEST_F(ParadoxImportTest, AJpegPictureWithoutThumbnailGetsTheAutomaticOne) {
    WriteInstallation();
    QImage image(160, 90, QImage::Format_RGB888);
    image.fill(Qt::darkCyan);
    const QByteArray picture = PictureToJpegBytes(image);
    ParadoxFixture::Write(old_.path(), "add_pictures", ParadoxFixture::AddPicturesColumns(),
                          {{"A1", "side", Figure1, QVariant(), picture},
                           {"A2", "back", Figure1, Bmp, picture},
                           {"A3", "odd", Figure1, QVariant(), Jpeg}});
    ParadoxImport import;
    ASSERT_TRUE(import.Run(old_.path())) << import.Error().toStdString();
    const struct {
        const char* id;
        QByteArray thumbnail;
    } cases[] = {
        {"A1", AutoThumbnailBytes(ReadJpeg(picture))},
        {"A2", Bmp},
        {"A3", QByteArray()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Scalar(QStringLiteral("select picture_th from add_pictures where "
                                        "add_picture_id='%1'")
                             .arg(c.id))
                      .toByteArray(),
                  c.thumbnail)
            << c.id;
}

} // namespace
