// The folders file dialogs start in: remembered per kind, the desktop's
// pictures or documents folder the first time, and the same when the
// remembered folder has gone.

#include "DialogFolders.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Kind = DialogFolders::Kind;

class DialogFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Path("settings"));
        // The desktop's own folders, as the user-dirs file names them.
        savedConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", Path("config").toUtf8());
        QDir(root_.path()).mkpath("config");
        QFile dirs(Path("config/user-dirs.dirs"));
        ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write(QStringLiteral("XDG_PICTURES_DIR=\"%1\"\nXDG_DOCUMENTS_DIR=\"%2\"\n")
                       .arg(Path("Photos"), Path("Papers"))
                       .toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", savedConfig_); }

    QString Path(const QString& name) const { return root_.path() + "/" + name; }
    QString Folder(const QString& name) const {
        QDir(root_.path()).mkpath(name);
        return Path(name);
    }

    QTemporaryDir root_;
    QByteArray savedConfig_;
};

TEST_F(DialogFoldersTest, FirstTimeStartsInTheDesktopsFolderForTheKind) {
    const QString photos = Folder("Photos");
    const QString papers = Folder("Papers");
    EXPECT_EQ(DialogFolders::StartFolder(Kind::Pictures), photos);
    for (Kind kind : {Kind::RelatedFiles, Kind::Archives, Kind::Exports})
        EXPECT_EQ(DialogFolders::StartFolder(kind), papers);
}

TEST_F(DialogFoldersTest, WithoutTheDesktopsFolderStartsAtHomeNeverInTheWorkingFolder) {
    EXPECT_EQ(DialogFolders::StartFolder(Kind::Pictures), QDir::homePath());
    EXPECT_EQ(DialogFolders::StartFolder(Kind::Exports), QDir::homePath());
}

TEST_F(DialogFoldersTest, RemembersTheChosenFilesFolderPerKind) {
    const QString papers = Folder("Papers");
    const QString shots = Folder("shots");
    const QString saves = Folder("saves");
    DialogFolders::Remember(Kind::Pictures, shots + "/hussar.jpg");
    // A chosen folder is remembered itself; a file to be saved need not exist.
    DialogFolders::Remember(Kind::Exports, saves);
    DialogFolders::Remember(Kind::Archives, saves + "/new.tba");
    EXPECT_EQ(DialogFolders::StartFolder(Kind::Pictures), shots);
    EXPECT_EQ(DialogFolders::StartFolder(Kind::Exports), saves);
    EXPECT_EQ(DialogFolders::StartFolder(Kind::Archives), saves);
    EXPECT_EQ(DialogFolders::StartFolder(Kind::RelatedFiles), papers);
}

TEST_F(DialogFoldersTest, RememberedFolderThatHasGoneFallsBack) {
    const QString photos = Folder("Photos");
    const QString gone = Folder("gone");
    DialogFolders::Remember(Kind::Pictures, gone + "/a.png");
    ASSERT_TRUE(QDir(gone).removeRecursively());
    EXPECT_EQ(DialogFolders::StartFolder(Kind::Pictures), photos);
}

} // namespace
