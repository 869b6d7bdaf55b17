// Restoring archives into a populated data folder: complete archives replace
// its files, and no faulty or hostile archive changes anything.

#include "Archive.h"
#include "ArchiveFormat.h"
#include "ArchiveTestSupport.h"
#include "RawSqlite.h"

#include <QDir>
#include <QFileInfo>

namespace {

using namespace archivetest;

class ArchiveRestoreTest : public ArchiveTest {
protected:
    void SetUp() override {
        target_ = MakeFolder(QStringLiteral("ldb"), {{"catalog.db", "current database"},
                                                     {"old.jpg", RandomBytes(3000, 8)}});
        Write(QStringLiteral("ldb/pictures/keep.jpg"), "kept as it is");
    }

    // Writes the bytes as an archive and restores it into the data folder;
    // before_ is everything in the temporary folder just before.
    int Restore(const QByteArray& archive, const TArchiveProgress& progress = {}) {
        Write(QStringLiteral("in.tba"), archive);
        before_ = Take(Path(QString()));
        return UnpackArchive(Path(QStringLiteral("in.tba")), target_, progress);
    }

    void ExpectRefused(int code, const QByteArray& archive) {
        EXPECT_EQ(code, Restore(archive));
        EXPECT_EQ(before_, Take(Path(QString())));
    }

    QString target_;
    Snapshot before_;
};

TEST_F(ArchiveRestoreTest, RoundTripReplacesTheFilesAndKeepsSubfolders) {
    const QString source = MakeFolder(QStringLiteral("source"), CatalogFiles());
    ASSERT_EQ(ArchiveResult::Done, PackFolder(source, Path(QStringLiteral("a.tba"))));
    ASSERT_EQ(ArchiveResult::Done, UnpackArchive(Path(QStringLiteral("a.tba")), target_ + "/"));

    Snapshot expected = Take(source);
    expected[QStringLiteral("pictures")] = "/";
    expected[QStringLiteral("pictures/keep.jpg")] = "kept as it is";
    EXPECT_EQ(expected, Take(target_));
    // Nothing is left beside the data folder.
    EXPECT_EQ(
        (QStringList{"a.tba", "ldb", "source"}),
        QDir(Path(QString())).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST_F(ArchiveRestoreTest, MissingFolderIsCreatedAndGoesAgainWhenTheRestoreFails) {
    Write(QStringLiteral("bad.tba"), "BACKUQ");
    Write(QStringLiteral("good.tba"),
          ExpectedArchive({{"a.txt", "abc"}, {"velmora.db", CatalogBytes()}}));
    EXPECT_EQ(ArchiveResult::NotAnArchive,
              UnpackArchive(Path(QStringLiteral("bad.tba")), Path(QStringLiteral("new"))));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("new"))));
    ASSERT_EQ(ArchiveResult::Done,
              UnpackArchive(Path(QStringLiteral("good.tba")), Path(QStringLiteral("new"))));
    EXPECT_EQ("abc", Read(QStringLiteral("new/a.txt")));
    // One level only: a folder under a file cannot be made.
    EXPECT_EQ(ArchiveResult::InputOutputError,
              UnpackArchive(Path(QStringLiteral("good.tba")), Path(QStringLiteral("good.tba/x"))));
    EXPECT_EQ(ArchiveResult::NoArchive, UnpackArchive(Path(QStringLiteral("none.tba")), target_));
}

TEST_F(ArchiveRestoreTest, WrongSignatureLeavesTheFolderAsItWas) {
    ExpectRefused(ArchiveResult::NotAnArchive,
                  "BACKUQ" + ExpectedArchive({{"catalog.db", "other"}}).mid(6));
    ExpectRefused(ArchiveResult::InputOutputError, "BACK");
}

TEST_F(ArchiveRestoreTest, NamesThatAreNotBareFileNamesAreRefusedBeforeAnythingIsWritten) {
    const QByteArray names[] = {"../escaped\r\n",
                                "sub/x\r\n",
                                "sub\\x\r\n",
                                ".\r\n",
                                "..\r\n",
                                "a\r\n\r\nb\r\n",
                                "a\r\na\n",
                                "\xFF\xFE\r\n",
                                QByteArray("a\0b\r\n", 5),
                                ""};
    for (const QByteArray& text : names) {
        SCOPED_TRACE(text.toStdString());
        ExpectRefused(ArchiveResult::NotAnArchive,
                      "BACKUP" + Block(text) + Int32(1) + Block("z") + Int32(1) + Block("z"));
    }
}

TEST_F(ArchiveRestoreTest, DamagedLengthsAndSizesAreRefused) {
    const QByteArray head = "BACKUP" + Block("a\r\n");
    const QByteArray big = TextBytes(BlockSize + 1, 3);
    QByteArray longNames;
    while (longNames.size() <= BlockSize)
        longNames += "name" + QByteArray::number(longNames.size()) + "\r\n";
    const QByteArray stream = Block("abc").mid(4);
    const std::pair<int, QByteArray> cases[] = {
        {ArchiveResult::InputOutputError, head + Int32(3) + Int32(-5) + "abc"},
        {ArchiveResult::InputOutputError, head + Int32(3) + Int32(0)},
        {ArchiveResult::InputOutputError, head + Int32(3) + Int32(1000) + stream},
        {ArchiveResult::InputOutputError, head + Int32(3) +
                                              Int32(int(ArchiveFormat::MaxBlockLength() + 1)) +
                                              QByteArray(ArchiveFormat::MaxBlockLength() + 1, 'x')},
        {ArchiveResult::InputOutputError, head + Int32(BlockSize + 1) + Block(big)},
        {ArchiveResult::InputOutputError, "BACKUP" + Block(longNames)},
        {ArchiveResult::InputOutputError,
         head + Int32(3) + Int32(int(stream.size()) + 2) + stream + "zz"},
        {ArchiveResult::InputOutputError, ExpectedArchive({{"a", "abc"}}) + "x"},
        {ArchiveResult::NotAnArchive, head + Int32(-1)},
        {ArchiveResult::NotAnArchive, head + Int32(10) + Block("12345")},
        {ArchiveResult::NotAnArchive, head + Int32(2) + Block("abc")},
    };
    for (const auto& [code, archive] : cases) {
        SCOPED_TRACE(archive.left(80).toHex().toStdString());
        ExpectRefused(code, archive);
    }
}

TEST_F(ArchiveRestoreTest, StopLeavesTheFolderAsItWas) {
    int calls = 0;
    const auto stopAtOnce = [&calls](int, bool& stop) {
        ++calls;
        stop = true;
    };
    EXPECT_EQ(ArchiveResult::Stopped,
              Restore(ExpectedArchive({{"a", TextBytes(3 * BlockSize, 1)}}), stopAtOnce));
    EXPECT_EQ(1, calls);
    EXPECT_EQ(before_, Take(Path(QString())));
}

TEST_F(ArchiveRestoreTest, FailedSwapPutsTheOldFilesBack) {
    // The archive's second file cannot take the place of the subfolder of
    // that name, after the first one has moved in already.
    ExpectRefused(ArchiveResult::InputOutputError,
                  ExpectedArchive({{"velmora.db", CatalogBytes()}, {"pictures", "x"}}));
}

// Any folder packed with the backup command unpacks whole; only a catalog
// that opens, passes SQLite's quick check and has the catalog's tables may
// take the data folder's place.
TEST_F(ArchiveRestoreTest, ArchiveWithoutACatalogIsRefusedBeforeAnythingIsReplaced) {
    const QString photos =
        MakeFolder(QStringLiteral("photos"),
                   {{"IMG_0001.jpg", RandomBytes(700000, 1)}, {"notes.txt", TextBytes(2000, 2)}});
    ASSERT_EQ(ArchiveResult::Done, PackFolder(photos, Path(QStringLiteral("photos.tba"))));
    const QByteArray packed = Read(QStringLiteral("photos.tba"));

    // A catalog whose first table page is overwritten.
    QByteArray damaged = CatalogBytes();
    ASSERT_GT(damaged.size(), 3 * 4096);
    damaged.replace(4096, 4096, QByteArray(4096, '\x5A'));
    // The catalog's file with one table gone.
    QByteArray oneShort = DatabaseBytes(3);
    {
        const QString file = Write(QStringLiteral("short/velmora.db"), oneShort);
        sqlite3* db = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open(QFile::encodeName(file).constData(), &db));
        EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, "drop table genres", nullptr, nullptr, nullptr));
        sqlite3_close(db);
        oneShort = Read(QStringLiteral("short/velmora.db"));
    }
    const std::pair<QByteArray, QString> cases[] = {
        {packed, "the archive holds no catalog database (velmora.db)"},
        {ExpectedArchive({{"Velmora.DB", CatalogBytes()}, {"notes.txt", "n"}}),
         "the archive holds no catalog database (velmora.db)"},
        {ExpectedArchive({{"velmora.db", TextBytes(9000, 3)}, {"notes.txt", "n"}}),
         "velmora.db in the archive is not a readable database (file is not a database)"},
        {ExpectedArchive({{"velmora.db", ""}}),
         "velmora.db in the archive is no Velmora catalog (no table figures, add_pictures, "
         "producers, genres, scales)"},
        {ExpectedArchive({{"velmora.db", oneShort}}),
         "velmora.db in the archive is no Velmora catalog (no table genres)"},
        {ExpectedArchive({{"velmora.db", damaged}}), "velmora.db in the archive is "},
    };
    for (const auto& [archive, told] : cases) {
        SCOPED_TRACE(told.toStdString());
        Write(QStringLiteral("in.tba"), archive);
        before_ = Take(Path(QString()));
        QString fault;
        EXPECT_EQ(ArchiveResult::NoCatalog,
                  UnpackArchive(Path(QStringLiteral("in.tba")), target_, {}, fault));
        EXPECT_TRUE(fault.startsWith(told)) << fault.toStdString();
        EXPECT_EQ(before_, Take(Path(QString())));
    }
    // Into a folder that does not exist yet: it goes again.
    Write(QStringLiteral("in.tba"), packed);
    EXPECT_EQ(ArchiveResult::NoCatalog,
              UnpackArchive(Path(QStringLiteral("in.tba")), Path(QStringLiteral("new"))));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("new"))));

    // A catalog with other files restores; the catalog is read, not written.
    const QByteArray catalog = DatabaseBytes(40);
    Write(QStringLiteral("in.tba"),
          ExpectedArchive({{"IMG_0001.jpg", "photo"}, {"velmora.db", catalog}}));
    QString fault = "stale";
    ASSERT_EQ(ArchiveResult::Done,
              UnpackArchive(Path(QStringLiteral("in.tba")), target_, {}, fault));
    EXPECT_EQ("", fault);
    EXPECT_EQ(catalog, Read(QStringLiteral("ldb/velmora.db")));
    EXPECT_EQ((QStringList{"IMG_0001.jpg", "velmora.db"}), QDir(target_).entryList(QDir::Files));
}

// The collection table is made by the structure check after a restore;
// a catalog saved before it restores without one.
TEST_F(ArchiveRestoreTest, ACatalogWithoutTheCollectionTableRestores) {
    const QString file = Write(QStringLiteral("older/velmora.db"), DatabaseBytes(3));
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(QFile::encodeName(file).constData(), &db));
    EXPECT_EQ(SQLITE_OK,
              sqlite3_exec(db, "drop table figure_collection", nullptr, nullptr, nullptr));
    sqlite3_close(db);
    const QByteArray older = Read(QStringLiteral("older/velmora.db"));
    Write(QStringLiteral("in.tba"), ExpectedArchive({{"velmora.db", older}}));
    QString fault;
    EXPECT_EQ(ArchiveResult::Done,
              UnpackArchive(Path(QStringLiteral("in.tba")), target_, {}, fault));
    EXPECT_EQ("", fault);
    EXPECT_EQ(older, Read(QStringLiteral("ldb/velmora.db")));
}

// Why a restore failed, as the dialog tells it below "Database restore
// error".
TEST_F(ArchiveRestoreTest, EveryFailureTellsWhy) {
    const QByteArray big = TextBytes(2 * BlockSize + 10, 4);
    const QByteArray good = ExpectedArchive({{"a.txt", big}, {"velmora.db", CatalogBytes()}});
    // The second block of a.txt is block 3: the list of files is block 1.
    const qsizetype third =
        6 + Block("a.txt\r\nvelmora.db\r\n").size() + 4 + Block(big.left(BlockSize)).size();
    QByteArray damaged = good;
    damaged[third + 4 + 20] = static_cast<char>(damaged[third + 4 + 20] ^ 0x55);
    const std::pair<QByteArray, QString> cases[] = {
        {"BACKUQ and more", "the file is not an archive"},
        {"BACK", "the file is not an archive (it is too short)"},
        {"BACKUP" + Block(""), "the archive lists no files"},
        {"BACKUP" + Int32(12) + "not zlib at all",
         "the archive is damaged at block 1 (the list of files)"},
        {"BACKUP" + Block("../x\r\n"),
         "the archive is damaged at block 1 (a name in the list of files)"},
        {damaged, "the archive is damaged at block 3 (file a.txt)"},
        {good.left(good.size() - 10), "the archive is damaged at block 5 (file velmora.db)"},
        {good.left(third), "the archive is damaged at block 3 (file a.txt)"},
        {"BACKUP" + Block("a\r\nb\r\n") + Int32(1) + Block("z"),
         "the archive ends after block 2, before the file b"},
        {good + "x", "the archive is damaged after block 5 (more bytes follow its last file)"},
    };
    for (const auto& [archive, told] : cases) {
        SCOPED_TRACE(told.toStdString());
        Write(QStringLiteral("in.tba"), archive);
        QString fault;
        EXPECT_NE(ArchiveResult::Done,
                  UnpackArchive(Path(QStringLiteral("in.tba")), target_, {}, fault));
        EXPECT_EQ(told, fault);
    }
    QString fault;
    EXPECT_EQ(ArchiveResult::NoArchive, UnpackArchive(QString(), target_, {}, fault));
    EXPECT_EQ("no archive file has been chosen", fault);
    EXPECT_EQ(ArchiveResult::NoArchive,
              UnpackArchive(Path(QStringLiteral("none.tba")), target_, {}, fault));
    EXPECT_EQ("the archive " + QDir::toNativeSeparators(Path(QStringLiteral("none.tba"))) +
                  " does not exist",
              fault);
    Write(QStringLiteral("in.tba"), good);
    EXPECT_EQ(ArchiveResult::Stopped, UnpackArchive(
                                          Path(QStringLiteral("in.tba")), target_,
                                          [](int, bool& stop) { stop = true; }, fault));
    EXPECT_EQ("stopped", fault);
}

} // namespace
