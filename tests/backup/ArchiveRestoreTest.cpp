// Restoring archives into a populated data folder: complete archives replace
// its files, and no faulty or hostile archive changes anything.

#include "Archive.h"
#include "ArchiveFormat.h"
#include "ArchiveTestSupport.h"

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
    Write(QStringLiteral("good.tba"), ExpectedArchive({{"a.txt", "abc"}}));
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
                  ExpectedArchive({{"catalog.db", "new database"}, {"pictures", "x"}}));
}

} // namespace
