// Importing the rows of a CSV file into the figures of a catalog.

#include "CsvImport.h"
#include "AutoThumbnail.h"
#include "BmpWriter.h"
#include "CsvImportFile.h"
#include "CsvImportMapping.h"
#include "DatabaseStructure.h"
#include "JpegDecoder.h"
#include "TQuery.h"
#include "TTable.h"
#include "TZunPigger.h"
#include "TempDatabaseTest.h"

#include <QDir>
#include <QFile>

namespace {

class CsvImportTest : public TempDatabaseTest {
protected:
    void SetUp() override {
        TempDatabaseTest::SetUp();
        TZunPigger structure;
        DatabaseStructure::Build(structure);
        TTable table;
        TQuery query;
        DatabaseStructure::Check(structure, table, query, {});
        Exec("insert into producers (producer_id, producer_name) values ('P1', 'Hat Miniatures')");
    }

    CsvImportSummary Import(const QByteArray& bytes, const QString& map,
                            const CsvImport::Progress& progress = {}) {
        EXPECT_TRUE(file_.LoadBytes(bytes, folder_.path())) << file_.Error().toStdString();
        QString error;
        const CsvImportMapping mapping = CsvImportMapping::Parse(map, file_.Header(), &error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return CsvImport().Run(file_, mapping, progress);
    }

    QString Catalog() {
        return Column("select f.figure_name || '|' || ifnull(p.producer_name, '-') || '|' || "
                      "ifnull(g.genre_name, '-') || '|' || ifnull(f.scale, '-') from figures f "
                      "left join producers p on p.producer_id = f.producer_id "
                      "left join genres g on g.genre_id = f.genre_id order by f.figure_name");
    }

    CsvImportFile file_;
};

const QByteArray Rows = "Name,Maker,Era,Size,Cost\r\n"
                        "Hussar,hat miniatures,Napoleonic,54-mm,12.50\r\n"
                        "Dragoon,Zvezda,napoleonic,,\r\n"
                        "\"Long\r\nname that is far longer than thirty-two characters\",,,,\r\n"
                        ",Zvezda,,,\r\n"
                        "Knight,,,,cheap\r\n"
                        "Archer,Zvezda,Medieval,54-mm,3,extra\r\n"
                        "Samurai,ZVEZDA,,90-mm,7,5\r\n";
const QString Map = "Name=figure_name,Maker=producer_name,Era=genre_name,Size=scale,Cost=prc_kit";

TEST_F(CsvImportTest, AddsRowsWithLookupsByNameAndNamesEverySkippedRow) {
    const CsvImportSummary summary = Import(Rows, Map);
    ASSERT_TRUE(summary.Imported()) << summary.failure.toStdString();
    EXPECT_EQ("Dragoon|Zvezda|Napoleonic|-,Hussar|Hat Miniatures|Napoleonic|54-mm", Catalog());
    EXPECT_EQ(1, summary.producersCreated);
    EXPECT_EQ(1, summary.genresCreated);
    EXPECT_EQ(QVariant(12.5), Scalar("select prc_kit from figures where figure_name = 'Hussar'"));
    EXPECT_EQ(QStringList({
                  "Figures added: 2; rows skipped: 5.",
                  "Manufacturers created: 1; genres created: 1.",
                  "Line 4 skipped: figure_name is longer than 32 characters",
                  "Line 6 skipped: the figure has no name",
                  "Line 7 skipped: prc_kit is not a number: \"cheap\"",
                  "Line 8 skipped: 6 fields where the first line names 5 columns",
                  "Line 9 skipped: 6 fields where the first line names 5 columns",
              }),
              summary.Lines());
}

TEST_F(CsvImportTest, StopOrAFailureLeavesTheCatalogAsItWas) {
    const QString before = Column("select producer_name from producers");
    // Stopped after the first rows went in.
    int calls = 0;
    CsvImportSummary summary = Import(Rows, Map, [&calls](int, int) { return ++calls < 2; });
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ("", Catalog());
    EXPECT_EQ(before, Column("select producer_name from producers"));

    // The engine refuses the last row.
    Exec("create trigger refuse before insert on figures when new.figure_name = 'Dragoon' "
         "begin select raise(abort, 'refused'); end");
    summary = Import(Rows, Map);
    EXPECT_EQ(QStringList{"Nothing was imported: refused"}, summary.Lines());
    EXPECT_EQ("", Catalog());
    EXPECT_EQ(before, Column("select producer_name from producers"));
    EXPECT_EQ("", Column("select genre_name from genres"));
}

TEST_F(CsvImportTest, ALargeImportLeavesTheTablesIndexesAsTheyWere) {
    // Many rows go in with the indexes set aside and made again after.
    const QString indexes = QStringLiteral("select name || ':' || sql from sqlite_master where "
                                           "type = 'index' and tbl_name = 'figures'");
    const QString before = Column(indexes);
    ASSERT_NE("", before);
    QByteArray many = "Name\r\n";
    for (int row = 0; row < 6000; ++row)
        many += "Figure " + QByteArray::number(row) + "\r\n";
    ASSERT_TRUE(Import(many, "Name=figure_name").Imported());
    EXPECT_EQ(before, Column(indexes));
    EXPECT_EQ(QVariant(6000), Scalar("select count(*) from figures indexed by figures_list"));
    EXPECT_EQ(QVariant("ok"), Scalar("pragma integrity_check"));

    // A failure after the rows went in brings them back too.
    Exec("create trigger refuse before insert on figures when new.figure_name = 'Figure 5999' "
         "begin select raise(abort, 'refused'); end");
    EXPECT_FALSE(Import(many, "Name=figure_name").Imported());
    EXPECT_EQ(before, Column(indexes));
    EXPECT_EQ(QVariant(6000), Scalar("select count(*) from figures"));
}

TEST_F(CsvImportTest, PicturePathsAreLoadedWithTheirThumbnail) {
    QImage image(40, 20, QImage::Format_RGB888);
    image.fill(qRgb(200, 30, 30));
    QFile bmp(QDir(folder_.path()).filePath("red.bmp"));
    ASSERT_TRUE(bmp.open(QIODevice::WriteOnly));
    bmp.write(BitmapToBmpBytes(image));
    bmp.close();

    const CsvImportSummary summary = Import("Name,Photo\r\nRed,red.bmp\r\nGone,missing.jpg\r\n",
                                            "Name=figure_name,Photo=picture");
    EXPECT_EQ("Line 3 skipped: the picture file missing.jpg does not exist",
              summary.Lines().value(2));
    const QByteArray jpeg = Scalar("select picture from figures").toByteArray();
    EXPECT_TRUE(jpeg.startsWith("\xFF\xD8"));
    EXPECT_EQ(AutoThumbnailBytes(image), Scalar("select picture_th from figures").toByteArray());
}

} // namespace
