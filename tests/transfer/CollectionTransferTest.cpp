// A figure's collection row through the CSV and open export and import.

#include "CatalogExport.h"
#include "CollectionColumns.h"
#include "CsvImport.h"
#include "CsvImportFile.h"
#include "CsvImportMapping.h"
#include "OpenFolderImport.h"
#include "RowImporter.h"
#include "TempDatabaseTest.h"

#include <QDir>
#include <QFile>

#include <functional>
#include <iterator>

namespace {

class CollectionTransferTest : public TempDatabaseTest {
protected:
    void SetUp() override {
        TempDatabaseTest::SetUp();
        ASSERT_TRUE(targetFolder_.isValid());
        target_.DriverName = QStringLiteral("STANDARD");
        target_.Params = {QStringLiteral("PATH=") + targetFolder_.path()};
        target_.Open();
        for (const char* name : {"ADB", "TARGET"}) {
            RowImporter structure(QString::fromLatin1(name));
            ASSERT_TRUE(structure.Begin());
            ASSERT_TRUE(structure.Commit());
        }
    }

    // The collection rows of a catalog, each value quoted as the engine
    // holds it, so that text, numbers and NULL stay apart.
    static QString Collection(const TDatabase& catalog) {
        const QString values =
            QStringLiteral("quote(") +
            CollectionColumns::Names().join(QStringLiteral(") || ',' || quote(")) +
            QStringLiteral(")");
        QStringList rows;
        for (const QVariantList& row :
             SqlRows(catalog, QStringLiteral("select figure_id || ':' || %1 from "
                                             "figure_collection order by figure_id")
                                  .arg(values)))
            rows << row.value(0).toString();
        return rows.join(QLatin1Char('\n'));
    }

    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = folder_.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // The file brought into the target catalog with its columns guessed.
    QStringList ImportCsv(const QString& fileName) {
        CsvImportFile file;
        EXPECT_TRUE(file.Load(fileName)) << file.Error().toStdString();
        const CsvImportSummary summary =
            CsvImport(QStringLiteral("TARGET")).Run(file, CsvImportMapping::Guess(file.Header()));
        EXPECT_TRUE(summary.Imported()) << summary.failure.toStdString();
        return summary.Lines();
    }

    QStringList ImportFolder(const QString& folder) {
        OpenFolderImport import(folder, QStringLiteral("TARGET"));
        EXPECT_TRUE(import.Run()) << import.Error().toStdString();
        return import.SummaryLines();
    }

    QTemporaryDir targetFolder_;
    TDatabase target_{QStringLiteral("TARGET")};
};

TEST_F(CollectionTransferTest, EveryColumnComesBackThroughCsvAndTheOpenExport) {
    Exec("insert into figures (figure_id, figure_name) values ('F1', 'Hussar'), "
         "('F2', 'Dragoon'), ('F3', 'Knight')");
    Exec("insert into figure_collection values "
         "('F1', 'finished', 3, '2024-03-01', 12.5, 20, 'Shelf, top', ?), "
         "('F2', 'wanted', 1, null, null, 7.99, '', null)",
         {"boxed \"as new\"\r\nsecond line"});
    const QString expected = Collection(database_);
    ASSERT_EQ(Column("select figure_id from figure_collection order by 1"), "F1,F2");

    const struct {
        CatalogExport::Scope scope;
        std::function<QStringList(const QString& out)> import;
    } ways[] = {
        {CatalogExport::Scope::Spreadsheets,
         [this](const QString& out) { return ImportCsv(out + "/figures.csv"); }},
        {CatalogExport::Scope::Everything,
         [this](const QString& out) { return ImportFolder(out); }},
    };
    for (const auto& way : ways) {
        const QString out = folder_.filePath(QString("out%1").arg(int(way.scope)));
        CatalogExport(out, way.scope).Run();
        QFile csv(out + "/figures.csv");
        ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
        EXPECT_TRUE(csv.readAll().contains("finished,3,2024-03-01,12.50,20.00,\"Shelf, top\","));

        SqlRows(target_, "delete from figures");
        SqlRows(target_, "delete from figure_collection");
        const QStringList summary = way.import(out);
        EXPECT_EQ(Collection(target_), expected) << summary.join('\n').toStdString();
    }
}

TEST_F(CollectionTransferTest, AFileWithoutTheColumnsImportsAsBefore) {
    EXPECT_EQ(ImportCsv(Write("old.csv", "figure_name,scale\r\nHussar,54-mm\r\n")).value(0),
              "Figures added: 1; rows skipped: 0.");
    Write("open/figures.csv", "figure_id,figure_name,add_pictures\r\nF9,Dragoon,\r\n");
    EXPECT_EQ(ImportFolder(folder_.filePath("open")), QStringList{"figures: 1 added, 0 skipped"});
    EXPECT_EQ(SqlRows(target_, "select count(*) from figures").value(0).value(0), 2);
    EXPECT_EQ(Collection(target_), "");
}

TEST_F(CollectionTransferTest, ABadValueSkipsItsRowWithTheReason) {
    const struct {
        const char* column;
        QByteArray cell;
        QString reason;
    } cases[] = {
        {"collection_status", "glued",
         "collection_status is not one of wanted, unbuilt, assembled, primed, painting, "
         "finished, sold: \"glued\""},
        {"collection_quantity", "2.5", "collection_quantity is not a whole number: \"2.5\""},
        {"collection_acquired", "2024-02-30",
         "collection_acquired is not a date (YYYY-MM-DD): \"2024-02-30\""},
        {"collection_price", "cheap", "collection_price is not a number: \"cheap\""},
        {"collection_value", "1.2.3", "collection_value is not a number: \"1.2.3\""},
        {"collection_place", QByteArray(65, 'p'), "collection_place is longer than 64 characters"},
        {"collection_note", QByteArray(129, 'n'), "collection_note is longer than 128 characters"},
    };
    QByteArray rows = "figure_id,figure_name," + CollectionColumns::Names().join(',').toUtf8();
    QStringList csvSkips;
    QStringList folderSkips;
    int line = 1;
    for (const auto& c : cases) {
        const int column = static_cast<int>(CollectionColumns::Names().indexOf(c.column));
        QList<QByteArray> cells(CollectionColumns::Count);
        cells[column] = c.cell;
        rows += "\r\nB" + QByteArray::number(++line) + ",Bad," + cells.join(',');
        csvSkips << QString("Line %1 skipped: %2").arg(line).arg(c.reason);
        folderSkips << QString("  skipped figures.csv line %1: %2").arg(line).arg(c.reason);
    }
    rows += "\r\nG1,Good,Painting,,,,,,\r\n";

    EXPECT_EQ(ImportCsv(Write("bad.csv", rows)).mid(2), csvSkips);
    EXPECT_EQ(Collection(target_), "G1:'painting',1,NULL,NULL,NULL,NULL,NULL");
    SqlRows(target_, "delete from figures");
    SqlRows(target_, "delete from figure_collection");
    Write("open/figures.csv", rows);
    EXPECT_EQ(ImportFolder(folder_.filePath("open")).mid(1, std::ssize(cases)), folderSkips);
    EXPECT_EQ(Collection(target_), "G1:'painting',1,NULL,NULL,NULL,NULL,NULL");
}

TEST_F(CollectionTransferTest, ACatalogMadeBeforeTheCollectionExportsEmptyCells) {
    Exec("insert into figures (figure_id, figure_name) values ('F1', 'Hussar')");
    Exec("drop table figure_collection");
    const QString out = folder_.filePath("out");
    CatalogExport(out, CatalogExport::Scope::Spreadsheets).Run();
    QFile csv(out + "/figures.csv");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    EXPECT_TRUE(lines.value(0).contains(",collection_note,add_pictures\r"));
    EXPECT_EQ(lines.value(1), "F1,Hussar" + QByteArray(lines[0].count(',') - 1, ',') + "\r");
}

} // namespace
