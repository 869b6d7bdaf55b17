// Packing: what it refuses, and that a backup that does not complete never
// harms an older archive of the same name nor leaves a partial one.

#include "Archive.h"
#include "ArchiveTestSupport.h"
#include "TPartFile.h"

#include <QDir>
#include <QFile>

#include <sys/file.h>
#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#define UNDER_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define UNDER_ADDRESS_SANITIZER
#endif
#endif

namespace {

using namespace archivetest;

class PackFolderTest : public ArchiveTest {
protected:
    void SetUp() override { Write(QStringLiteral("a.tba"), "older archive"); }

    // Packs into a.tba and checks that the older archive is as it was, with
    // nothing new beside it.
    void ExpectRefused(int code, const QString& folder, const TArchiveProgress& progress = {}) {
        const QStringList before = Entries();
        EXPECT_EQ(code, PackFolder(folder, Path(QStringLiteral("a.tba")), progress));
        EXPECT_EQ(before, Entries());
        EXPECT_EQ("older archive", Read(QStringLiteral("a.tba")));
    }

    QStringList Entries() const {
        return QDir(Path(QString()))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    static long PeakKiB() {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    }
};

TEST_F(PackFolderTest, StopDeletesTheNewArchiveAndKeepsTheOlderOne) {
    const QString folder =
        MakeFolder(QStringLiteral("data"), {{"a", TextBytes(3 * BlockSize, 1)}, {"b", "x"}});
    std::vector<int> percents;
    ExpectRefused(ArchiveResult::Stopped, folder, [&percents](int percent, bool& stop) {
        percents.push_back(percent);
        stop = percents.size() == 2;
    });
    EXPECT_EQ((std::vector<int>{33, 67}), percents);
}

TEST_F(PackFolderTest, PartFilesOfCrashedBackupsGoAtTheNextBackupAndNothingElse) {
    const QString folder = MakeFolder(QStringLiteral("data"), {{"a", "1"}});
    // Left by backups that crashed, of this archive's name and another's.
    Write(QStringLiteral(".a.tba.velmora-part-Ab12Cd"), "BACKUP and half an archive");
    Write(QStringLiteral(".old.tba.velmora-part-000000"), "");
    // No part files, and one whose writer is still at work.
    const QStringList others = {".a.tba.velmora-part-short", "a.tba.velmora-part-Ab12Cd", ".notes",
                                ".b.tba.velmora-part-Zz9Yy8"};
    for (const QString& name : others)
        Write(name, "kept");
    QFile living(Path(others.last()));
    ASSERT_TRUE(living.open(QIODevice::ReadOnly));
    ASSERT_EQ(0, flock(living.handle(), LOCK_EX | LOCK_NB));

    QStringList during;
    ASSERT_EQ(ArchiveResult::Done,
              PackFolder(folder, Path(QStringLiteral("a.tba")), [&](int, bool&) {
                  during = Entries();
                  // The writer's own part file is no one's leftover.
                  EXPECT_EQ(0, TPartFile::RemoveAbandoned(Path(QString())));
              }));
    QStringList after = others + QStringList{"a.tba", "data"};
    after.sort();
    EXPECT_EQ(after, Entries());
    EXPECT_EQ(ExpectedArchive({{"a", "1"}}), Read(QStringLiteral("a.tba")));
    // While it was written: a hidden part file beside the older archive.
    ASSERT_EQ(after.size() + 1, during.size()) << during.join(' ').toStdString();
    EXPECT_TRUE(during.contains("a.tba"));
    QStringList parts = during.filter(QStringLiteral(".a.tba.velmora-part-"));
    parts.removeOne(others.first());
    ASSERT_EQ(1, parts.size());
    EXPECT_TRUE(TPartFile::IsPartName(parts.first()));
}

TEST_F(PackFolderTest, FolderWithoutFilesGivesTwo) {
    Write(QStringLiteral("only/sub/inside.db"), "below a subfolder");
    ExpectRefused(ArchiveResult::NoSourceFiles, Path(QStringLiteral("only")));
    ExpectRefused(ArchiveResult::NoSourceFiles, Path(QStringLiteral("missing")));
    ExpectRefused(ArchiveResult::NoSourceFiles, QString());
    // A trailing delimiter is allowed.
    MakeFolder(QStringLiteral("data"), {{"a", "1"}});
    EXPECT_EQ(ArchiveResult::Done,
              PackFolder(Path(QStringLiteral("data/")), Path(QStringLiteral("b.tba"))));
    EXPECT_EQ(ExpectedArchive({{"a", "1"}}), Read(QStringLiteral("b.tba")));
}

TEST_F(PackFolderTest, ArchiveThatCannotBeCreatedGivesFive) {
    const QString folder = MakeFolder(QStringLiteral("data"), {{"a", "1"}});
    EXPECT_EQ(ArchiveResult::InputOutputError,
              PackFolder(folder, Path(QStringLiteral("missing/a.tba"))));
    EXPECT_EQ(ArchiveResult::InputOutputError, PackFolder(folder, Path(QStringLiteral("data"))));
}

TEST_F(PackFolderTest, WhatTheLayoutCannotHoldIsRefusedBeforeWriting) {
    // Sparse files: sizes past the 32-bit limit cost no disk space.
    const auto sparse = [this](const QString& name, qint64 size) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size));
    };
    QDir().mkpath(Path(QStringLiteral("huge")));
    sparse(QStringLiteral("huge/big.db"), qint64(INT32_MAX) + 1);
    ExpectRefused(ArchiveResult::InputOutputError, Path(QStringLiteral("huge")));

    QDir().mkpath(Path(QStringLiteral("sum")));
    sparse(QStringLiteral("sum/1.db"), INT32_MAX / 2 + 1);
    sparse(QStringLiteral("sum/2.db"), INT32_MAX / 2 + 1);
    ExpectRefused(ArchiveResult::InputOutputError, Path(QStringLiteral("sum")));

    for (const char* name : {"back\\slash", "line\nbreak", "carriage\rreturn"}) {
        const QString folder = MakeFolder(QStringLiteral("odd"), {{"a", "1"}, {name, "2"}});
        ExpectRefused(ArchiveResult::InputOutputError, folder);
        QDir(folder).removeRecursively();
    }

    // Names beyond one block: the reader takes exactly one name block.
    std::vector<File> many;
    for (int i = 0; i < 2200; ++i)
        many.push_back({QByteArray::number(i).rightJustified(240, 'n'), ""});
    ExpectRefused(ArchiveResult::InputOutputError, MakeFolder(QStringLiteral("many"), many));
}

TEST_F(PackFolderTest, FileThatChangesWhileItIsPackedGivesFive) {
    const QString folder =
        MakeFolder(QStringLiteral("data"), {{"a", TextBytes(BlockSize + 1, 1)}, {"b", "12"}});
    for (const QByteArray& later : {QByteArray("123"), QByteArray("1")}) {
        ExpectRefused(ArchiveResult::InputOutputError, folder,
                      [&](int, bool&) { Write(QStringLiteral("data/b"), later); });
        Write(QStringLiteral("data/b"), "12");
    }
}

TEST_F(PackFolderTest, MemoryStaysBoundedWhateverTheFolderSize) {
#ifdef UNDER_ADDRESS_SANITIZER
    GTEST_SKIP() << "the sanitizer keeps freed memory";
#endif
    // 64 MB in files written a piece at a time, so the test holds little.
    const QByteArray piece = RandomBytes(BlockSize, 3) + TextBytes(BlockSize, 4);
    for (int f = 0; f < 4; ++f) {
        QFile file(Path(QStringLiteral("big/%1.db").arg(f)));
        QDir().mkpath(Path(QStringLiteral("big")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 16; ++i)
            file.write(piece);
    }
    Write(QStringLiteral("big/velmora.db"), CatalogBytes());
    const long before = PeakKiB();
    ASSERT_EQ(ArchiveResult::Done,
              PackFolder(Path(QStringLiteral("big")), Path(QStringLiteral("big.tba"))));
    ASSERT_EQ(ArchiveResult::Done,
              UnpackArchive(Path(QStringLiteral("big.tba")), Path(QStringLiteral("out"))));
    EXPECT_LT(PeakKiB() - before, 16 * 1024);
    EXPECT_EQ(Read(QStringLiteral("big/3.db")), Read(QStringLiteral("out/3.db")));
}

} // namespace
