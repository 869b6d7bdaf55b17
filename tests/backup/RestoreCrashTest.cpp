// Restores that end part way, as in a crash or a power cut, and the
// recovery the next start runs: the data folder then holds exactly its old
// files or exactly the archive's.

#include "Archive.h"
#include "ArchiveTestSupport.h"
#include "TRestoreFolder.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace archivetest;
using TRecovery = TRestoreFolder::TRecovery;

class RestoreCrashTest : public ArchiveTest {
protected:
    void SetUp() override {
        // A catalog of more than one block.
        static const QByteArray catalog = DatabaseBytes(1600);
        ASSERT_GT(catalog.size(), BlockSize);
        Write("new.tba", ExpectedArchive({{"velmora.db", catalog}, {"added.txt", "added"}}));
        Populate();
        ASSERT_EQ(ArchiveResult::Done, UnpackArchive(Path("new.tba"), Path("ldb")));
        new_ = Take(Path("ldb"));
        Populate();
    }

    void Populate() {
        QDir(Path("ldb")).removeRecursively();
        MakeFolder(
            "ldb",
            {{"velmora.db", "old database"}, {"old.jpg", RandomBytes(3000, 2)}, {".hidden", "h"}});
        Write("ldb/sub/keep", "kept");
        old_ = Take(Path("ldb"));
    }

    int Restore() { return UnpackArchive(Path("new.tba"), Path("ldb")); }

    QStringList Entries() const {
        return QDir(Path(QString()))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QString Scratch() const { return Path(".ldb-restore"); }

    Snapshot old_, new_;
};

TEST_F(RestoreCrashTest, SwapIsOnDiskAndRecordedBeforeTheFirstMoveAndOldFilesGoLast) {
    std::vector<QString> steps;
    const StepHook hook([&](const QString& step) {
        steps.push_back(step);
        if (step.startsWith("move")) {
            EXPECT_TRUE(QFileInfo::exists(Scratch() + "/swap")) << step.toStdString();
        }
        if (step == "remove journal") {
            EXPECT_EQ(new_, Take(Path("ldb")));
            EXPECT_EQ("old database", Read(".ldb-restore/previous/velmora.db"));
        }
    });
    ASSERT_EQ(ArchiveResult::Done, Restore());
    EXPECT_EQ((std::vector<QString>{"sync restored", "write journal", "move out .hidden",
                                    "move out old.jpg", "move out velmora.db", "move in velmora.db",
                                    "move in added.txt", "sync folders", "remove journal"}),
              steps);
    EXPECT_EQ(new_, Take(Path("ldb")));
    EXPECT_EQ((QStringList{"ldb", "new.tba"}), Entries());
}

TEST_F(RestoreCrashTest, CrashAtAnyStepIsFinishedOrUndoneByTheNextStart) {
    // Steps 0 and 1 come before the journal: the old files stay. From step
    // 2 on the swap is recorded, and the next start finishes it, also when
    // that start itself crashes at its first step.
    for (int crashAt = 0; crashAt < 9; ++crashAt) {
        for (const bool recoveryCrashes : {false, true}) {
            SCOPED_TRACE(testing::Message() << "step " << crashAt << " twice " << recoveryCrashes);
            Populate();
            {
                const CrashAt crash(crashAt);
                EXPECT_NE(ArchiveResult::Done, Restore());
            }
            EXPECT_TRUE(QFileInfo::exists(Scratch()));
            if (recoveryCrashes && crashAt >= 2) {
                const CrashAt crash(0);
                EXPECT_THROW(TRestoreFolder::Recover(Path("ldb")), Crash);
            }
            EXPECT_EQ(crashAt < 2 ? TRecovery::Nothing : TRecovery::Finished,
                      TRestoreFolder::Recover(Path("ldb")));
            EXPECT_EQ(crashAt < 2 ? old_ : new_, Take(Path("ldb")));
            EXPECT_EQ((QStringList{"ldb", "new.tba"}), Entries());
            EXPECT_EQ(TRecovery::Nothing, TRestoreFolder::Recover(Path("ldb")));
        }
    }
}

TEST_F(RestoreCrashTest, SwapThatCannotBeUndoneHasItsOwnCodeAndIsPutRightLater) {
    // A subfolder appears where a new file moves in, and another where an
    // old file moves back.
    for (const bool obstacleStays : {true, false}) {
        SCOPED_TRACE(obstacleStays);
        Populate();
        {
            const StepHook hook([this](const QString& step) {
                if (step == "move in added.txt")
                    QDir().mkdir(Path("ldb/added.txt"));
                if (step == "return old.jpg")
                    QDir().mkdir(Path("ldb/old.jpg"));
            });
            EXPECT_EQ(ArchiveResult::RollBackFailed, Restore());
        }
        EXPECT_EQ(RandomBytes(3000, 2), Read(".ldb-restore/previous/old.jpg"));
        QDir().rmdir(Path("ldb/old.jpg"));
        Snapshot expected = new_;
        if (obstacleStays) {
            expected = old_;
            expected["added.txt"] = "/";
        } else {
            QDir().rmdir(Path("ldb/added.txt"));
        }
        EXPECT_EQ(obstacleStays ? TRecovery::RolledBack : TRecovery::Finished,
                  TRestoreFolder::Recover(Path("ldb")));
        EXPECT_EQ(expected, Take(Path("ldb")));
        EXPECT_EQ((QStringList{"ldb", "new.tba"}), Entries());
    }
}

TEST_F(RestoreCrashTest, LeftoverScratchGoesButADamagedJournalKeepsEverything) {
    const std::pair<QByteArray, TRecovery> cases[] = {
        {"", TRecovery::Nothing},
        {"velmora folder swap 1\nold velmora.db\n", TRecovery::Failed},
        {"velmora folder swap 1\nold ..%2Fescape\nend\n", TRecovery::Failed},
    };
    for (const auto& [journal, recovery] : cases) {
        SCOPED_TRACE(journal.toStdString());
        Populate();
        Write(".ldb-restore/restored/velmora.db", "half an archive");
        Write(".ldb-restore/previous/x", "");
        if (!journal.isEmpty())
            Write(".ldb-restore/swap", journal);
        const Snapshot scratch = Take(Scratch());
        EXPECT_EQ(recovery, TRestoreFolder::Recover(Path("ldb")));
        EXPECT_EQ(old_, Take(Path("ldb")));
        if (recovery == TRecovery::Failed) {
            EXPECT_EQ(scratch, Take(Scratch()));
            // A restore refuses to start over it.
            EXPECT_EQ(ArchiveResult::InputOutputError, Restore());
            EXPECT_EQ(old_, Take(Path("ldb")));
            QDir(Scratch()).removeRecursively();
        }
        EXPECT_EQ((QStringList{"ldb", "new.tba"}), Entries());
    }
}

TEST_F(RestoreCrashTest, SubfolderThatAJournalNamesIsNeverMoved) {
    Write(".ldb-restore/restored/velmora.db", "restored");
    ASSERT_TRUE(QDir().mkpath(Scratch() + "/previous"));
    Write(".ldb-restore/swap",
          "velmora folder swap 1\nold sub\nold velmora.db\nnew velmora.db\nend\n");
    EXPECT_EQ(TRecovery::Finished, TRestoreFolder::Recover(Path("ldb")));
    EXPECT_EQ("kept", Read("ldb/sub/keep"));
    EXPECT_EQ("restored", Read("ldb/velmora.db"));
}

// Another process working on the data folder holds its lock: a swap still
// under way there is not taken for an interrupted one.
TEST_F(RestoreCrashTest, SwapIsLeftAloneWhileAnotherProcessHoldsTheFolder) {
    {
        const CrashAt crash(4);
        EXPECT_NE(ArchiveResult::Done, Restore());
    }
    const Snapshot scratch = Take(Scratch());
    const int other = open(QFile::encodeName(Path("ldb")).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(0, flock(other, LOCK_EX | LOCK_NB));
    EXPECT_EQ(TRecovery::InUse, TRestoreFolder::Recover(Path("ldb")));
    EXPECT_EQ(ArchiveResult::InputOutputError, Restore());
    EXPECT_EQ(scratch, Take(Scratch()));
    close(other);
    EXPECT_EQ(TRecovery::Finished, TRestoreFolder::Recover(Path("ldb")));
    EXPECT_EQ(new_, Take(Path("ldb")));
}

TEST_F(RestoreCrashTest, DataFolderLinkedToAnotherFileSystemIsRestoredWhereItReallyIs) {
    QTemporaryDir elsewhere(QStringLiteral("/dev/shm/velmora-test-XXXXXX"));
    struct stat here {};
    struct stat there {};
    if (!elsewhere.isValid() || stat(QFile::encodeName(Path(QString())).constData(), &here) != 0 ||
        stat(QFile::encodeName(elsewhere.path()).constData(), &there) != 0 ||
        here.st_dev == there.st_dev)
        GTEST_SKIP() << "no second file system in /dev/shm";
    QDir(Path("ldb")).removeRecursively();
    const QString real = elsewhere.filePath("LDB");
    QDir().mkdir(real);
    QFile old(real + "/velmora.db");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    ASSERT_TRUE(QFile::link(real, Path("ldb")));

    EXPECT_EQ(ArchiveResult::Done, Restore());
    EXPECT_TRUE(QFileInfo(Path("ldb")).isSymLink());
    Snapshot expected = new_;
    expected.erase("sub");
    expected.erase("sub/keep");
    EXPECT_EQ(expected, Take(real));
    EXPECT_EQ((QStringList{"LDB"}), QDir(elsewhere.path())
                                        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                   QDir::NoDotAndDotDot));
}

} // namespace
