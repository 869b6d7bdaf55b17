// The whole catalog written in open forms and read back into an empty one.

#include "CatalogExport.h"
#include "OpenFolderImport.h"
#include "RowImporter.h"
#include "TZunPigger.h"
#include "TempDatabaseTest.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QByteArray Scheme(bool withVersion) {
    TZunPigger scheme;
    scheme.SetName("SHEME");
    scheme.SetAttribute("HEIGHT", "400");
    scheme.SetAttribute("WIDTH", "600");
    if (withVersion)
        scheme.SetAttribute("VERSION", "2");
    const std::string text = scheme.SaveToString();
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

class OpenExportTest : public TempDatabaseTest {
protected:
    // Every row of a table in key order, each value with its type; NULL
    // apart from empty.
    static std::vector<std::string> Dump(const TDatabase& connection, const QString& table,
                                         const QString& key) {
        std::vector<std::string> rows;
        for (const QVariantList& row :
             SqlRows(connection, QString("select * from %1 order by %2").arg(table, key))) {
            QStringList values;
            for (const QVariant& value : row) {
                values << (value.isNull() ? QString("NULL")
                                          : QString("%1:%2").arg(value.typeName(),
                                                                 value.toByteArray().toHex()));
            }
            rows.push_back(values.join(',').toStdString());
        }
        return rows;
    }
};

TEST_F(OpenExportTest, AnExportReadIntoAnEmptyCatalogGivesTheSameRows) {
    {
        RowImporter structure;
        ASSERT_TRUE(structure.Begin());
        ASSERT_TRUE(structure.Commit());
    }
    QByteArray picture(5 * 1024 * 1024, '\0');
    for (char& byte : picture)
        byte = static_cast<char>(QRandomGenerator::global()->bounded(256));
    picture.replace(0, 3, "\xFF\xD8\xFF");
    const QByteArray thumbnail = QByteArray("BM") + QByteArray(300, '\x7f');
    Exec("insert into producers values ('P1', 'Мастерская \"Ростов\"', 'http://x', "
         "'line one\r\nline two', '2024-05-01'), ('P2', '', null, null, null)");
    Exec("insert into genres values ('G1', 'Эпоха, 1812', 170, 90, 50, 40, 1800, 1815, 'RR'),"
         "('G2', 'Empty', null, null, null, null, null, null, '')");
    Exec("insert into scales values ('S1', '54-mm')");
    Exec("insert into figures values ('F1', 'Гусар', 'P1', 'G1', 'cavalry', '54-mm', "
         "?, ?, ?, ?, ?, 'Скульптор', '', 12.5, 3, null)",
         {"Описание \"в кавычках\"\r\nвторая строка, с запятой",
          "/home/me/a.txt\r\n/home/me/b c.pdf\r\n", Scheme(true), thumbnail, picture});
    Exec("insert into figures (figure_id, figure_name, figure_dsc, picture_th, picture) "
         "values ('F2', ' padded ', '', ?, null)",
         {QByteArray("")});
    Exec("insert into add_pictures values ('A1', 'Вид сзади', 'F1', ?, ?),"
         "('A2', 'second', 'F1', null, ?)",
         {thumbnail, QByteArray("\xFF\xD8 extra"), QByteArray("\xFF\xD8 more")});

    const QString out = folder_.filePath("out");
    QList<int> progress;
    CatalogExport exporter(out, CatalogExport::Scope::Everything);
    exporter.SetProgress([&](int done, int total) { progress << done * 10 + total; });
    exporter.Run();
    EXPECT_EQ(progress, QList<int>({14, 24, 34, 44}));
    EXPECT_EQ(ReadFile(out + "/pictures/F1.jpg"), picture);
    EXPECT_EQ(ReadFile(out + "/pictures/F1-thumb.bmp"), thumbnail);
    EXPECT_EQ(ReadFile(out + "/pictures/F1-2.jpg"), QByteArray("\xFF\xD8 more"));
    EXPECT_EQ(ReadFile(out + "/manuals/F1.APSH"), Scheme(true));

    QTemporaryDir emptyFolder;
    TDatabase target(QStringLiteral("TARGET"));
    target.DriverName = QStringLiteral("STANDARD");
    target.Params = {QStringLiteral("PATH=") + emptyFolder.path()};
    target.Open();
    OpenFolderImport import(out, QStringLiteral("TARGET"));
    ASSERT_TRUE(import.Run()) << import.Error().toStdString();
    EXPECT_EQ(import.Added(), 9) << import.SummaryLines().join('\n').toStdString();

    const TDatabase& source = database_;
    for (const auto& [table, key] : {std::pair{"figures", "figure_id"},
                                     {"add_pictures", "add_picture_id"},
                                     {"producers", "producer_id"},
                                     {"genres", "genre_id"},
                                     {"scales", "scale_id"}})
        EXPECT_EQ(Dump(target, table, key), Dump(source, table, key)) << table;
}

TEST_F(OpenExportTest, ReadsNoFileOutsideTheFolder) {
    const QString out = folder_.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    QFile csv(out + "/figures.csv");
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("figure_id,picture\r\nF1,../velmora.db\r\nF2,/etc/hostname\r\nF3,link\r\n");
    csv.close();
    ASSERT_TRUE(QFile::link(folder_.filePath("velmora.db"), out + "/link"));
    OpenFolderImport import(out);
    ASSERT_TRUE(import.Run()) << import.Error().toStdString();
    EXPECT_EQ(import.SummaryLines(),
              QStringList({"figures: 0 added, 3 skipped",
                           "  skipped figures.csv line 2: the file ../velmora.db lies outside "
                           "the folder",
                           "  skipped figures.csv line 3: the file /etc/hostname lies outside "
                           "the folder",
                           "  skipped figures.csv line 4: the file link lies outside the folder"}));
}

TEST(ManualFileTest, GivesTheManualWindowsExportForm) {
    const QByteArray notAScheme = "<CONFIG A=\"1\"></CONFIG>";
    const struct {
        QByteArray stored;
        QByteArray written;
    } cases[] = {
        {Scheme(false), Scheme(true)},
        {Scheme(true), Scheme(true)},
        {notAScheme, notAScheme},
        {"<SHEME", "<SHEME"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CatalogExport::ManualFile(c.stored), c.written) << c.stored.toStdString();
}

} // namespace
