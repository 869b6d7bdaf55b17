// Backing up and restoring a catalog kept on a database server.

#include "Archive.h"
#include "CatalogRows.h"
#include "TChangeWriter.h"
#include "TempDatabaseTest.h"

#include <QDir>
#include <QSet>
#include <QThread>

namespace {

using namespace catalogrows;

class ServerArchiveTest : public TempDatabaseTest {
protected:
    TestEngine Engine() const override { return TestEngine::PostgreSql; }
    EngineConnection& Server() { return *database_.Handle(); }
    QString Path(const QString& name) const { return folder_.filePath(name); }
};

TEST_F(ServerArchiveTest, BackupRestoresIntoADataFolderAndBackIdentically) {
    MakeTables(Server());
    ASSERT_EQ("", AddFigure(Server(), QStringLiteral("Knight")));
    ASSERT_EQ("", AddFigure(Server(), QStringLiteral("Archer"), 10));
    const QStringList rows = Rows(Server());
    ASSERT_EQ(8, rows.size());

    QString fault;
    ASSERT_EQ(ArchiveResult::Done, PackServer(Server(), Path("a.tba"), {}, fault))
        << fault.toStdString();
    ASSERT_EQ(ArchiveResult::Done, UnpackArchive(Path("a.tba"), Path("data"), {}, fault))
        << fault.toStdString();
    EXPECT_EQ(QStringList{"velmora.db"}, QDir(Path("data")).entryList(QDir::Files));
    EXPECT_EQ(rows, Rows(*OpenFolder(Path("data"))));

    // Back from the data folder's archive, over other rows; the programs
    // open on the server hear that every table changed.
    ASSERT_EQ(ArchiveResult::Done, PackFolder(Path("data"), Path("b.tba"), {}, fault));
    Exec(QStringLiteral("delete from figures"));
    ASSERT_EQ("", AddFigure(Server(), QStringLiteral("Other")));
    QString error;
    const auto listener =
        EngineConnection::OpenServer(ServerWithSearchPath(server_, schema_), &error);
    ASSERT_TRUE(listener) << error.toStdString();
    ASSERT_EQ(EngineCode::Ok, listener->Listen(TChangeWriter::ChangesChannel()));
    ASSERT_EQ(ArchiveResult::Done, UnpackIntoServer(Path("b.tba"), Server(), {}, fault))
        << fault.toStdString();
    EXPECT_EQ(rows, Rows(Server()));
    const QSet<QString> expected{"figures", "add_pictures", "producers",
                                 "genres",  "scales",       "figure_collection"};
    QSet<QString> heard;
    for (int tries = 0; !heard.contains(expected) && tries < 200; ++tries) {
        QThread::msleep(10);
        for (const auto& note : listener->TakeNotifications())
            heard.insert(TChangeWriter::TableOf(note.Payload));
    }
    EXPECT_TRUE(heard.contains(expected)) << heard.values().join(' ').toStdString();
}

TEST_F(ServerArchiveTest, RestoreTheServerRefusesLeavesItsRows) {
    MakeTables(Server());
    ASSERT_EQ("", AddFigure(Server(), QStringLiteral("Knight")));
    const QStringList rows = Rows(Server());
    // The file takes a genre name longer than its column; the server does
    // not, after the figures were replaced.
    const auto file = OpenFolder(Path("data"));
    MakeTables(*file);
    ASSERT_EQ("", AddFigure(*file, QStringLiteral("Archer")));
    ASSERT_EQ("", RunSql(file.get(), QStringLiteral("update genres set genre_name = ?"),
                         {QString(40, QLatin1Char('g'))}));
    QString fault;
    ASSERT_EQ(ArchiveResult::Done, PackFolder(Path("data"), Path("a.tba"), {}, fault));

    EXPECT_EQ(ArchiveResult::InputOutputError,
              UnpackIntoServer(Path("a.tba"), Server(), {}, fault));
    EXPECT_TRUE(fault.startsWith("the catalog on the server could not take"))
        << fault.toStdString();
    EXPECT_EQ(rows, Rows(Server()));
}

} // namespace
