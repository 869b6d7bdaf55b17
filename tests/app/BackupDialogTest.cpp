// The backup/restore dialog on real folders, and the main window's backup
// and restore buttons; every dialog, file dialogs included, is answered
// through the dialog runner.

#include "Archive.h"
#include "DatabaseStructure.h"
#include "DialogRunner.h"
#include "EngineSql.h"
#include "RawSqlite.h"
#include "TDatabasePage.h"
#include "TDmsg.h"
#include "TFBackUpRestore.h"
#include "TFmain.h"
#include "TO_producers.h"
#include "TZunPigger.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

const QString Refused = "The archive and the database can not be placed in the same folder";

void Write(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
}

QStringList Files(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An empty catalog as the structure check makes it, with one row of marker
// text.
void WriteCatalog(const QString& path, const char* marker) {
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(QFile::encodeName(path).constData(), &db));
    TZunPigger structure;
    DatabaseStructure::Build(structure);
    for (int i = 0; i < structure.ChildCount(); ++i) {
        const QString statement =
            DatabaseStructure::CreateTableLines(*structure.Child(i)).join(' ');
        EXPECT_EQ(SQLITE_OK,
                  sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, nullptr));
    }
    const QByteArray insert =
        QByteArray("insert into producers (producer_id, producer_name) values ('M', '") + marker +
        "')";
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, insert.constData(), nullptr, nullptr, nullptr));
    sqlite3_close(db);
}

QString RestoreError(const QString& reason) {
    return "Database restore error\n" + reason + "; the data folder is unchanged.";
}

// Messages are recorded; a file dialog is recorded and chooses chosenFile;
// the backup/restore dialog goes to `dialog`, by default "OK".
struct Answers {
    QStringList messages;
    QString chosenFile;
    QFileDialog* fileDialog = nullptr; // valid only inside the "..." click
    std::function<void(QFileDialog&)> onFileDialog = [](QFileDialog&) {};
    std::function<void(TFBackUpRestore&)> dialog = [](TFBackUpRestore& d) { d.btn_ok->click(); };

    int operator()(QDialog& shown) {
        if (auto* message = qobject_cast<TDmsg*>(&shown)) {
            messages << message->Label->text();
            return QDialog::Accepted;
        }
        if (auto* files = qobject_cast<QFileDialog*>(&shown)) {
            onFileDialog(*files);
            // Not accept(): for a missing file it would ask in a box of its own.
            files->selectFile(chosenFile);
            return QDialog::Accepted;
        }
        if (auto* backUp = qobject_cast<TFBackUpRestore*>(&shown))
            dialog(*backUp);
        return shown.result();
    }
};

// The working folder <temp>/bin; the data folder <temp>/LDB holds two files
// and a subfolder with one.
class BackupDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(root_.path()).mkpath("bin"));
        previous_ = QDir::currentPath();
        QDir::setCurrent(Path("bin"));
        bin_ = QDir::currentPath();
    }
    void TearDown() override {
        QLocale::setDefault(locale_);
        QDir::setCurrent(previous_);
    }
    void MakeData() {
        ASSERT_TRUE(QDir(root_.path()).mkpath("LDB/pictures"));
        WriteCatalog(Path("LDB/velmora.db"), "current");
        Write(Path("LDB/notes.txt"), "notes");
        Write(Path("LDB/pictures/kept.bmp"), "a picture");
    }
    QString Path(const QString& relative) const { return QDir(root_.path()).filePath(relative); }

    QTemporaryDir root_;
    QString previous_, bin_;
    const QLocale locale_;
    Answers answers_;
    DialogRunner::ScopedHook hook_{[this](QDialog& dialog) { return answers_(dialog); }};
};

TEST_F(BackupDialogTest, DefaultBackupGoesToANewArchiveFolderNamedAfterDataAndDay) {
    MakeData();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // dd.MM.yy
    EXPECT_EQ("../DB_archives/data-09-03-24.tba",
              TFBackUpRestore().DefaultArchiveName("/x/data.2024.old", QDate(2024, 3, 9)));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // M/d/yy
    const QString expected = "LDB-" + QDate::currentDate().toString("M-d-yy") + ".tba";
    ASSERT_FALSE(QFileInfo::exists(Path("DB_archives")));

    TFBackUpRestore dialog;
    answers_.dialog = [&](TFBackUpRestore& d) {
        EXPECT_EQ("Backing up", d.windowTitle());
        EXPECT_EQ(QDir::toNativeSeparators("../DB_archives/" + expected), d.FileEdit1->text());
        d.btn_ok->click();
    };
    dialog.OpenBackup(Path("LDB"));
    EXPECT_EQ((QStringList{"Archive has been created"}), answers_.messages);
    EXPECT_EQ((QStringList{expected}), Files(Path("DB_archives")));
    EXPECT_EQ(0, dialog.ProgressBar1->value());
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_EQ(bin_, QDir::currentPath());

    // A catalog that would not restore makes no archive, and says why.
    Write(Path("LDB/velmora.db"), "not a database");
    QFile::remove(Path("DB_archives/" + expected));
    answers_.messages.clear();
    dialog.OpenBackup(Path("LDB"));
    EXPECT_EQ((QStringList{"Archive creation error\nThe catalog can not be read (file is not a "
                           "database); no archive was written."}),
              answers_.messages);
    EXPECT_EQ(QStringList(), Files(Path("DB_archives")));

    // An archive folder that cannot be made is told, and the dialog opens.
    QLocale::setDefault(QLocale::c());
    dialog.ArchiveFolder = "../blocked/";
    Write(Path("blocked"), "a file in the way");
    answers_.messages.clear();
    answers_.dialog = [](TFBackUpRestore& d) { d.btn_cancel->click(); };
    dialog.OpenRestore("../LDB", false);
    EXPECT_EQ((QStringList{"Can not create default archive folder"}), answers_.messages);
    EXPECT_EQ(QDialog::Rejected, dialog.result());
}

TEST_F(BackupDialogTest, ArchiveInsideTheDataFolderIsRefusedHoweverItIsNamed) {
    MakeData();
    ASSERT_TRUE(QFile::link(Path("LDB"), Path("alias")));
    TFBackUpRestore dialog;
    for (const QString& name : {QString("../LDB/in.tba"), Path("LDB/in.tba"),
                                QString("../bin/../LDB/./in.tba"), QString("../alias/in.tba")}) {
        answers_.messages.clear();
        answers_.dialog = [&](TFBackUpRestore& d) {
            d.FileEdit1->setText(QDir::toNativeSeparators(name));
            d.btn_ok->click();
        };
        dialog.OpenBackup(Path("LDB"));
        EXPECT_EQ((QStringList{Refused}), answers_.messages) << name.toStdString();
        answers_.messages.clear();
        answers_.dialog = [&](TFBackUpRestore& d) {
            d.FileEdit2->setText(name);
            d.btn_ok->click();
        };
        dialog.OpenRestore("../LDB", false);
        EXPECT_EQ((QStringList{Refused}), answers_.messages) << name.toStdString();
    }

    // Chosen in the save dialog, which starts at the proposed archive.
    answers_.messages.clear();
    answers_.chosenFile = Path("LDB/chosen.tba");
    answers_.onFileDialog = [&](QFileDialog& files) {
        EXPECT_EQ(QFileDialog::AcceptSave, files.acceptMode());
        EXPECT_EQ(QDir(Path("DB_archives")).canonicalPath(), files.directory().canonicalPath());
        EXPECT_EQ((QStringList{"archive (*.tba)"}), files.nameFilters());
        EXPECT_TRUE(files.testOption(QFileDialog::DontConfirmOverwrite));
    };
    answers_.dialog = [](TFBackUpRestore& d) {
        d.SB_1->click();
        d.btn_ok->click();
    };
    dialog.OpenBackup(Path("LDB"));
    EXPECT_EQ(QDir::toNativeSeparators(Path("LDB/chosen.tba")), dialog.FileEdit1->text());
    EXPECT_EQ((QStringList{Refused}), answers_.messages);
    EXPECT_EQ((QStringList{"notes.txt", "velmora.db"}), Files(Path("LDB")));
    EXPECT_EQ(bin_, QDir::currentPath());
}

TEST_F(BackupDialogTest, RestoreFromAFileThatIsNoArchiveLeavesTheDataFolderAlone) {
    MakeData();
    ASSERT_TRUE(QDir(root_.path()).mkpath("DB_archives"));
    Write(Path("DB_archives/fake.tba"), "BACKUQ and more bytes after it");
    answers_.chosenFile = "fake.tba";
    QString openedIn;
    answers_.dialog = [&](TFBackUpRestore& d) {
        EXPECT_EQ("Restoring from archive", d.windowTitle());
        EXPECT_TRUE(d.Label_attention->isVisibleTo(&d));
        openedIn = QDir::currentPath();
        d.SB_2->click();
        EXPECT_EQ(openedIn, QDir::currentPath()) << "the open dialog keeps the folder";
        d.btn_ok->click();
    };
    TFBackUpRestore dialog;
    dialog.OpenRestore("../LDB", false);
    EXPECT_EQ(QDir(Path("DB_archives")).canonicalPath(), openedIn);
    EXPECT_EQ(QDir::toNativeSeparators(Path("DB_archives/fake.tba")), dialog.FileEdit2->text());
    EXPECT_EQ((QStringList{RestoreError("The file is not an archive")}), answers_.messages);
    EXPECT_EQ((QStringList{"notes.txt", "velmora.db"}), Files(Path("LDB")));
    EXPECT_EQ(bin_, QDir::currentPath());
}

TEST_F(BackupDialogTest, RestoreErrorTellsWhyOnItsSecondLine) {
    MakeData();
    ASSERT_TRUE(QDir(root_.path()).mkpath("source"));
    WriteCatalog(Path("source/velmora.db"), "restored");
    ASSERT_EQ(ArchiveResult::Done, PackFolder(Path("source"), Path("good.tba")));
    // The catalog's one block, block 2, with a byte changed.
    QByteArray damaged = Read(Path("good.tba"));
    const int at = int(damaged.size()) - 40;
    damaged[at] = char(damaged[at] ^ 0x21);
    Write(Path("damaged.tba"), damaged);
    ASSERT_TRUE(QDir(root_.path()).mkpath("photos"));
    Write(Path("photos/IMG_0001.jpg"), QByteArray(300000, 'p'));
    Write(Path("photos/notes.txt"), "notes");
    ASSERT_EQ(ArchiveResult::Done, PackFolder(Path("photos"), Path("photos.tba")));
    const QByteArray database = Read(Path("LDB/velmora.db"));

    const std::pair<QString, QString> cases[] = {
        {"", "No archive file has been chosen"},
        {Path("missing.tba"),
         "The archive " + QDir::toNativeSeparators(Path("missing.tba")) + " does not exist"},
        {Path("damaged.tba"), "The archive is damaged at block 2 (file velmora.db)"},
        {Path("photos.tba"), "The archive holds no catalog database (velmora.db)"},
    };
    TFBackUpRestore dialog;
    for (const auto& item : cases) {
        const QString& archive = item.first;
        const QString& reason = item.second;
        SCOPED_TRACE(archive.toStdString());
        answers_.messages.clear();
        answers_.dialog = [&](TFBackUpRestore& d) {
            d.FileEdit2->setText(QDir::toNativeSeparators(archive));
            d.btn_ok->click();
        };
        dialog.OpenRestore("../LDB", false);
        EXPECT_EQ((QStringList{RestoreError(reason)}), answers_.messages);
        EXPECT_EQ((QStringList{"notes.txt", "velmora.db"}), Files(Path("LDB")));
        EXPECT_EQ(database, Read(Path("LDB/velmora.db")));
        EXPECT_FALSE(QFileInfo::exists(Path(".LDB-restore")));
    }
}

TEST_F(BackupDialogTest, RestoreLeavesExactlyTheArchivesFilesAndKeepsSubfolders) {
    MakeData();
    ASSERT_TRUE(QDir(root_.path()).mkpath("source"));
    WriteCatalog(Path("source/velmora.db"), "restored");
    Write(Path("source/extra.dat"), QByteArray(700000, 'x'));
    ASSERT_EQ(ArchiveResult::Done, PackFolder(Path("source"), Path("good.tba")));

    // "Cancel": nothing happens, and the working folder is current again.
    TFBackUpRestore dialog;
    answers_.dialog = [](TFBackUpRestore& d) { d.btn_cancel->click(); };
    dialog.OpenRestore("../LDB", true);
    EXPECT_FALSE(dialog.Label_attention->isVisibleTo(&dialog));
    EXPECT_EQ(bin_, QDir::currentPath());

    int highest = 0;
    QObject::connect(dialog.ProgressBar2, &QProgressBar::valueChanged,
                     [&](int value) { highest = std::max(highest, value); });
    answers_.dialog = [&](TFBackUpRestore& d) {
        d.FileEdit2->setText(QDir::toNativeSeparators(Path("good.tba")));
        d.btn_ok->click();
    };
    dialog.OpenRestore("../LDB", false);
    EXPECT_EQ((QStringList{"Database has been restored"}), answers_.messages);
    EXPECT_EQ((QStringList{"extra.dat", "velmora.db"}), Files(Path("LDB")));
    EXPECT_EQ((QStringList{"kept.bmp"}), Files(Path("LDB/pictures")));
    EXPECT_EQ(100, highest);
    EXPECT_EQ(0, dialog.ProgressBar2->value());
}

TEST_F(BackupDialogTest, StopDuringABackupLeavesNoArchive) {
    MakeData();
    QByteArray noise(3 * 524288, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((qint64(i) * 7919 + qint64(i >> 9) * 104729) % 251);
    Write(Path("LDB/big.bin"), noise); // several pieces, so several progress calls

    TFBackUpRestore dialog;
    bool pressed = false;
    answers_.dialog = [&](TFBackUpRestore& d) {
        d.show();
        // Runs inside the first progress call, as a click on "Stop" would.
        QTimer::singleShot(0, &d, [&] {
            EXPECT_FALSE(d.btn_ok->isEnabled() || d.btn_cancel->isEnabled() || d.SB_1->isEnabled());
            d.reject();
            EXPECT_TRUE(d.isVisible()) << "closing is refused while packing";
            QTest::mouseClick(d.btn_stop, Qt::LeftButton);
            pressed = true;
        });
        d.btn_ok->click();
    };
    EXPECT_FALSE(dialog.btn_stop->isEnabled());
    dialog.OpenBackup(Path("LDB"));
    EXPECT_TRUE(pressed);
    EXPECT_EQ((QStringList{"Archive creation error"}), answers_.messages);
    EXPECT_EQ(QStringList(), Files(Path("DB_archives")));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.btn_stop->isEnabled());

    // The next backup starts without the stop request.
    answers_.messages.clear();
    answers_.dialog = [](TFBackUpRestore& d) { d.btn_ok->click(); };
    dialog.OpenBackup(Path("LDB"));
    EXPECT_EQ((QStringList{"Archive has been created"}), answers_.messages);
}

TEST_F(BackupDialogTest, MainWindowBacksUpAndRestoresTheClosedDatabaseAndReopensTheLists) {
    TFmain window;
    window.show();
    window.FormActivate();
    ASSERT_FALSE(window.StartupPending());
    const auto exec = [&](const QString& statement) {
        const QString error = RunSql(window.DB1, statement);
        ASSERT_TRUE(error.isEmpty()) << statement.toStdString() << ": " << error.toStdString();
    };
    exec("insert into producers (producer_id, producer_name) values ('P1', 'Alpha')");
    TDatabasePage& page = *window.TabSheet_BD_mgm;
    EXPECT_TRUE(page.btn_backup->isEnabled() && page.btn_restore->isEnabled());
    EXPECT_TRUE(page.btn_pack->isEnabled());

    QString dataFolder;
    answers_.dialog = [&](TFBackUpRestore& d) {
        dataFolder = d.DataFolder;
        EXPECT_FALSE(window.DB1.IsConnected());
        d.btn_ok->click();
    };
    window.PageControl1->setCurrentWidget(&page);
    QTest::mouseClick(page.btn_backup, Qt::LeftButton);
    EXPECT_EQ((QStringList{"Archive has been created"}), answers_.messages);
    EXPECT_TRUE(QDir::isAbsolutePath(dataFolder));
    EXPECT_EQ(QDir(Path("LDB")).canonicalPath(), QDir(dataFolder).canonicalPath());
    const QStringList archives = Files(Path("DB_archives"));
    ASSERT_EQ(1, archives.size());

    exec("delete from producers");
    window.RefreshAll();
    EXPECT_TRUE(window.O_producers1->Q1.IsEmpty());
    answers_.messages.clear();
    answers_.chosenFile = archives.first();
    answers_.dialog = [&](TFBackUpRestore& d) {
        dataFolder = d.DataFolder;
        EXPECT_FALSE(window.DB1.IsConnected());
        EXPECT_TRUE(d.Label_attention->isVisibleTo(&d));
        d.SB_2->click();
        d.btn_ok->click();
    };
    QTest::mouseClick(page.btn_restore, Qt::LeftButton);
    EXPECT_EQ((QStringList{"Database has been restored"}), answers_.messages);
    EXPECT_EQ("../LDB", dataFolder);
    EXPECT_EQ(bin_, QDir::currentPath());
    ASSERT_TRUE(window.O_producers1->Q1.Active());
    EXPECT_EQ("Alpha", window.O_producers1->NameValue());
    EXPECT_EQ(1, window.O_producers1->Q1.RecordCount());
}

// Any folder packs into an archive; restoring one without the catalog
// would have left an empty catalog behind "Database has been restored".
TEST_F(BackupDialogTest, MainWindowKeepsItsCatalogWhenTheArchiveHoldsNone) {
    TFmain window;
    window.show();
    window.FormActivate();
    ASSERT_FALSE(window.StartupPending());
    {
        ASSERT_EQ("", RunSql(window.DB1, "insert into producers (producer_id, producer_name) "
                                         "values ('P1', 'Alpha')")
                          .toStdString());
    }
    ASSERT_TRUE(QDir(root_.path()).mkpath("photos"));
    Write(Path("photos/IMG_0001.jpg"), QByteArray(300000, 'p'));
    Write(Path("photos/notes.txt"), "notes");
    ASSERT_EQ(ArchiveResult::Done, PackFolder(Path("photos"), Path("photos.tba")));

    answers_.dialog = [&](TFBackUpRestore& d) {
        d.FileEdit2->setText(QDir::toNativeSeparators(Path("photos.tba")));
        d.btn_ok->click();
    };
    TDatabasePage& page = *window.TabSheet_BD_mgm;
    window.PageControl1->setCurrentWidget(&page);
    QTest::mouseClick(page.btn_restore, Qt::LeftButton);
    EXPECT_EQ((QStringList{RestoreError("The archive holds no catalog database (velmora.db)")}),
              answers_.messages);
    EXPECT_EQ((QStringList{"velmora.db"}), Files(Path("LDB")));
    ASSERT_TRUE(window.O_producers1->Q1.Active());
    EXPECT_EQ("Alpha", window.O_producers1->NameValue());
    EXPECT_EQ(1, window.O_producers1->Q1.RecordCount());
}

} // namespace
