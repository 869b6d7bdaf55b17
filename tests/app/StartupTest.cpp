// Start-up: the single-instance lock and the main window's first activation
// in a fresh working folder.

#include "DialogRunner.h"
#include "EngineSql.h"
#include "SingleInstanceLock.h"
#include "TDmsg.h"
#include "TFmain.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(SingleInstance, SecondHolderIsRefusedAndACrashedHolderLeavesNoLock) {
    QTemporaryDir folder;
    const std::string path = QDir(folder.path()).filePath("LDB").toStdString();
    {
        SingleInstanceLock first(path);
        ASSERT_TRUE(first.Acquire());
        SingleInstanceLock second(path);
        EXPECT_FALSE(second.Acquire());
    }
    // A copy that takes the lock and dies without letting go of it.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstanceLock dying(path);
        if (!dying.Acquire())
            _exit(3);
        std::abort();
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child could not take the lock";
    SingleInstanceLock next(path);
    EXPECT_TRUE(next.Acquire());
}

// Runs the main window's start-up in <temp>/bin, so that the data folder is
// <temp>/LDB; the messages shown are recorded.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        ASSERT_TRUE(QDir(root_.path()).mkdir("bin"));
        previous_ = QDir::currentPath();
        QDir::setCurrent(QDir(root_.path()).filePath("bin"));
    }
    void TearDown() override { QDir::setCurrent(previous_); }

    QStringList Start(TFmain& window) {
        QStringList shown;
        DialogRunner::ScopedHook recorder([&](QDialog& dialog) {
            if (auto* message = qobject_cast<TDmsg*>(&dialog))
                shown << message->Label->text();
            return int(QDialog::Accepted);
        });
        window.show();
        window.activateWindow();
        for (int i = 0; i < 100 && window.StartupPending(); ++i)
            QTest::qWait(20);
        // The platform may not activate windows: then start as activation would.
        if (window.StartupPending())
            window.FormActivate();
        QTest::qWait(50);
        return shown;
    }

    QTemporaryDir root_;
    QString previous_;
};

TEST_F(StartupTest, FirstActivationCreatesTheDataFolderAndTheDatabase) {
    TFmain window;
    EXPECT_EQ("--- VELMORA ---", window.windowTitle());
    EXPECT_EQ(50, window.StatusPanel(0)->width());
    EXPECT_EQ(50, window.StatusPanel(1)->width());

    EXPECT_TRUE(Start(window).isEmpty());
    EXPECT_FALSE(window.StartupPending());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowState() & Qt::WindowMaximized);
    EXPECT_EQ("../LDB", window.DataPath);
    EXPECT_EQ((QStringList{"PATH=../LDB", "DEFAULT DRIVER=PARADOX"}), window.DB1.Params);
    EXPECT_EQ("STANDARD", window.DB1.DriverName);

    const QString file = QDir(root_.path()).filePath("LDB/velmora.db");
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(QVariant(6), SqlScalar(window.DB1, "select count(*) from sqlite_master where type = "
                                                 "'table'"));

    // Later activations do not run the sequence again.
    window.FormActivate();
    EXPECT_FALSE(window.StartupPending());
}

TEST_F(StartupTest, DataFolderThatCannotBeCreatedEndsTheProgram) {
    QFile blocker(QDir(root_.path()).filePath("LDB"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    TFmain window;
    EXPECT_EQ((QStringList{"Can not init the application"}), Start(window));
    EXPECT_FALSE(window.isVisible());
}

// Another file under the database's name: the program tells what the user
// can do and ends, and the file stays exactly as it was.
TEST_F(StartupTest, FileThatIsNoDatabaseIsKeptAndEndsTheProgramWithAdvice) {
    ASSERT_TRUE(QDir(root_.path()).mkdir("LDB"));
    const QString file = QDir(root_.path()).filePath("LDB/velmora.db");
    QByteArray bytes = "Holiday photos and notes, not a database.\n";
    while (bytes.size() < 10000)
        bytes += bytes;
    {
        QFile other(file);
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write(bytes);
    }
    const QDateTime written = QFileInfo(file).lastModified();

    TFmain window;
    const QStringList shown = Start(window);
    ASSERT_EQ(2, shown.size()) << shown.join("|").toStdString();
    const QStringList lines = shown[0].split('\n');
    EXPECT_EQ("UNKNOWN DATABASE CHECKING ERROR", lines[0]);
    const QString folder = QDir::toNativeSeparators(QDir(root_.path()).filePath("LDB"));
    EXPECT_EQ((QStringList{"UNKNOWN DATABASE CHECKING ERROR", "velmora.db: file is not a database.",
                           "The file is kept untouched. Restore a backup with",
                           "velmora-tool restore ARCHIVE " + folder,
                           "or move the file away to begin an empty catalog."}),
              lines);
    EXPECT_EQ("Can not init the application", shown[1]);
    EXPECT_FALSE(window.isVisible());

    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(bytes, kept.readAll());
    EXPECT_EQ(written, QFileInfo(file).lastModified());
    EXPECT_EQ((QStringList{"velmora.db"}),
              QDir(QDir(root_.path()).filePath("LDB")).entryList(QDir::Files | QDir::Hidden));
}

} // namespace
