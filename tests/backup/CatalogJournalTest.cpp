// A catalog whose writer stopped part way, leaving a journal beside it:
// backed up as its last committed state, and restored from an archive that
// holds both files.

#include "Archive.h"
#include "ArchiveTestSupport.h"
#include "RawSqlite.h"

#include <QDir>
#include <QFileInfo>

namespace {

using namespace archivetest;

constexpr int Rows = 300;

class CatalogJournalTest : public ArchiveTest {
protected:
    // The files a writer killed in the middle of a transaction leaves: the
    // catalog with pages of the transaction already written, and its
    // journal holding the pages as they were.
    std::vector<File> TornCatalog() {
        const QString file = Write("writer/velmora.db", DatabaseBytes(Rows));
        sqlite3* db = nullptr;
        EXPECT_EQ(SQLITE_OK, sqlite3_open(QFile::encodeName(file).constData(), &db));
        // A small cache spills the changes into the file before the commit.
        sqlite3_exec(db, "pragma cache_size = 2; begin; update figures set figure_name = 'lost'",
                     nullptr, nullptr, nullptr);
        std::vector<File> files = {{"velmora.db", Read("writer/velmora.db")},
                                   {"velmora.db-journal", Read("writer/velmora.db-journal")}};
        EXPECT_FALSE(files[1].second.isEmpty());
        sqlite3_close(db);
        return files;
    }

    // How many figures the catalog in folder holds, and how many of them
    // carry the uncommitted name.
    std::pair<int, int> Figures(const QString& folder) {
        sqlite3* db = nullptr;
        const QByteArray file = QFile::encodeName(Path(folder + "/velmora.db"));
        EXPECT_EQ(SQLITE_OK,
                  sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr));
        std::pair<int, int> counts{-1, -1};
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(
            db, "select count(*), count(case when figure_name = 'lost' then 1 end) from figures",
            -1, &statement, nullptr);
        if (statement && sqlite3_step(statement) == SQLITE_ROW)
            counts = {sqlite3_column_int(statement, 0), sqlite3_column_int(statement, 1)};
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return counts;
    }
};

TEST_F(CatalogJournalTest, ArchiveWithALeftoverJournalRestoresTheCommittedState) {
    Write("torn.tba", ExpectedArchive(TornCatalog()));
    MakeFolder("ldb", {{"velmora.db", CatalogBytes()}});
    ASSERT_EQ(ArchiveResult::Done, UnpackArchive(Path("torn.tba"), Path("ldb")));
    EXPECT_EQ(std::make_pair(Rows, 0), Figures("ldb"));
}

TEST_F(CatalogJournalTest, BackupAfterACrashPacksTheCommittedStateWithoutTheJournal) {
    MakeFolder("data", TornCatalog());
    ASSERT_EQ(ArchiveResult::Done, PackFolder(Path("data"), Path("a.tba")));
    ASSERT_EQ(ArchiveResult::Done, UnpackArchive(Path("a.tba"), Path("ldb")));
    EXPECT_EQ(QStringList{"velmora.db"}, QDir(Path("ldb")).entryList(QDir::Files | QDir::Hidden));
    EXPECT_EQ(std::make_pair(Rows, 0), Figures("ldb"));
}

TEST_F(CatalogJournalTest, CatalogKeptInWriteAheadLogModeIsBackedUpWithWhatTheLogHolds) {
    const QString file = Write("data/velmora.db", DatabaseBytes(Rows));
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(QFile::encodeName(file).constData(), &db));
    // The writer stays open, so its commit is in the log only.
    sqlite3_exec(db,
                 "pragma journal_mode = wal; pragma wal_autocheckpoint = 0; "
                 "update figures set figure_name = 'lost'",
                 nullptr, nullptr, nullptr);
    ASSERT_TRUE(QFileInfo(Path("data/velmora.db-wal")).size() > 0);
    const int result = PackFolder(Path("data"), Path("a.tba"));
    sqlite3_close(db);
    ASSERT_EQ(ArchiveResult::Done, result);
    ASSERT_EQ(ArchiveResult::Done, UnpackArchive(Path("a.tba"), Path("ldb")));
    EXPECT_EQ(QStringList{"velmora.db"}, QDir(Path("ldb")).entryList(QDir::Files | QDir::Hidden));
    EXPECT_EQ(std::make_pair(Rows, Rows), Figures("ldb"));
}

TEST_F(CatalogJournalTest, BackupThatARestoreWouldRefuseIsNoArchive) {
    MakeFolder("data", {{"notes.txt", "n"}});
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(QFile::encodeName(Path("data/velmora.db")), &db));
    sqlite3_exec(db, "create table other (x)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(ArchiveResult::InputOutputError, PackFolder(Path("data"), Path("a.tba")));
    EXPECT_EQ(QStringList{"data"},
              QDir(Path("")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

} // namespace
