// The program's start and the backup/restore dialog with a restore that a
// crash interrupted, or whose failed swap could not be undone.

#include "Archive.h"
#include "ArchiveTestSupport.h"
#include "DialogRunner.h"
#include "EngineSql.h"
#include "RawSqlite.h"
#include "TDmsg.h"
#include "TFBackUpRestore.h"
#include "TPmain.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using namespace archivetest;

// The working folder <temp>/bin, so that the data folder is <temp>/LDB;
// messages are recorded, and the dialog runs `dialog`.
class RecoveryWindowTest : public ArchiveTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(Path(QString())).mkdir("bin"));
        previous_ = QDir::currentPath();
        QDir::setCurrent(Path("bin"));
        MakeFolder("LDB", {{"velmora.db", "old database"}, {"notes.txt", "notes"}});
    }
    void TearDown() override { QDir::setCurrent(previous_); }

    QString PreviousFiles() const {
        return QDir::toNativeSeparators(QFileInfo(Path("LDB")).canonicalPath() +
                                        "/.LDB-restore/previous");
    }

    QString previous_;
    QStringList messages_;
    std::function<void(TFBackUpRestore&)> dialog_;
    DialogRunner::ScopedHook hook_{[this](QDialog& shown) {
        if (auto* message = qobject_cast<TDmsg*>(&shown))
            messages_ << message->Label->text();
        else if (auto* backUp = qobject_cast<TFBackUpRestore*>(&shown))
            dialog_(*backUp);
        return int(QDialog::Accepted);
    }};
};

TEST_F(RecoveryWindowTest, DialogTellsARestoreThatCouldNotBeUndoneAndFinishesItNextTime) {
    Write("new.tba", ExpectedArchive({{"added.txt", "a"}, {"velmora.db", CatalogBytes()}}));
    {
        const StepHook obstacles([this](const QString& step) {
            if (step == "move in velmora.db")
                QDir().mkdir(Path("LDB/velmora.db"));
            if (step == "return notes.txt")
                QDir().mkdir(Path("LDB/notes.txt"));
        });
        dialog_ = [this](TFBackUpRestore& d) {
            d.FileEdit2->setText(Path("new.tba"));
            d.btn_ok->click();
        };
        TFBackUpRestore dialog;
        dialog.OpenRestore("../LDB", false);
    }
    EXPECT_EQ(
        (QStringList{"Database restore error: the data folder could not be put back as it "
                     "was; its previous files are kept in " +
                     PreviousFiles() + " until the next start finishes or undoes the restore"}),
        messages_);

    // Once the way is clear, the next operation finishes the restore first.
    QDir().rmdir(Path("LDB/velmora.db"));
    QDir().rmdir(Path("LDB/notes.txt"));
    messages_.clear();
    dialog_ = [this](TFBackUpRestore& d) {
        d.FileEdit1->setText(Path("out.tba"));
        d.btn_ok->click();
    };
    TFBackUpRestore dialog;
    dialog.OpenBackup(Path("LDB"));
    EXPECT_EQ((QStringList{"An interrupted database restore has been finished",
                           "Archive has been created"}),
              messages_);
    EXPECT_EQ(Read("new.tba"), Read("out.tba"));
}

TEST_F(RecoveryWindowTest, StartFinishesAnInterruptedRestoreBeforeOpeningTheDatabase) {
    // The archive's catalog holds one marker row.
    QTemporaryDir source;
    {
        QFile catalog(source.filePath("velmora.db"));
        ASSERT_TRUE(catalog.open(QIODevice::WriteOnly));
        catalog.write(CatalogBytes());
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK,
              sqlite3_open(QFile::encodeName(source.filePath("velmora.db")).constData(), &db));
    sqlite3_exec(db, "create table marker (v text); insert into marker values ('restored')",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    ASSERT_EQ(ArchiveResult::Done, PackFolder(source.path(), Path("new.tba")));
    {
        // Old files out, the new database not yet in: the data folder is
        // empty.
        const CrashAt crash(4);
        UnpackArchive(Path("new.tba"), "../LDB");
    }
    ASSERT_EQ(QStringList(), QDir(Path("LDB")).entryList(QDir::Files));

    TPmain window;
    ASSERT_TRUE(window.InitApplication());
    EXPECT_EQ((QStringList{"An interrupted database restore has been finished"}), messages_);
    EXPECT_EQ(QVariant("restored"), SqlScalar(window.DB1, "select v from marker"));
    EXPECT_FALSE(QFileInfo::exists(Path(".LDB-restore")));
}

TEST_F(RecoveryWindowTest, StartEndsWhenAnInterruptedRestoreCanBeNeitherFinishedNorUndone) {
    Write(".LDB-restore/previous/velmora.db", "old database");
    Write(".LDB-restore/swap", "velmora folder swap 1\nold velmora.db\n");
    QFile::remove(Path("LDB/velmora.db"));

    TPmain window;
    window.FormActivate();
    EXPECT_EQ((QStringList{"An interrupted database restore could be neither finished nor undone; "
                           "the previous files of the data folder are kept in " +
                               PreviousFiles(),
                           "Can not init the application"}),
              messages_);
    EXPECT_FALSE(window.DB1.IsConnected());
    EXPECT_EQ((QStringList{"notes.txt"}), QDir(Path("LDB")).entryList(QDir::Files));
}

} // namespace
