// Restoring an archive an older installation made: it holds that
// installation's tables instead of the catalog.

#include "Archive.h"
#include "DialogRunner.h"
#include "EngineConnection.h"
#include "EngineSql.h"
#include "ParadoxFixture.h"
#include "TDmsg.h"
#include "TFBackUpRestore.h"
#include "TFsure.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sys/wait.h>

namespace {

class OldArchiveRestoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root_.path()));
        ASSERT_TRUE(QDir().mkpath(Path("old")));
        ASSERT_TRUE(QDir().mkpath(Path("ldb")));
        ParadoxFixture::Write(Path("old"), "FIGURES", ParadoxFixture::FiguresColumns(),
                              {{QString(32, QLatin1Char('F')), "Hussar"}});
        ParadoxFixture::Write(Path("old"), "Producers", ParadoxFixture::ProducersColumns(),
                              {{QString(32, QLatin1Char('M')), "Maker"}});
        QFile current(Path("ldb/velmora.db"));
        ASSERT_TRUE(current.open(QIODevice::WriteOnly));
        current.write("the current catalog");
    }

    QString Path(const QString& name) const { return root_.filePath(name); }

    void Pack() { ASSERT_EQ(PackFolder(Path("old"), Path("old.tba")), ArchiveResult::Done); }

    QStringList DataFiles() const { return QDir(Path("ldb")).entryList(QDir::Files, QDir::Name); }

    QString FigureNames() const {
        QString names;
        QString error;
        const auto db = EngineConnection::OpenFile(Path("ldb/velmora.db"),
                                                   EngineConnection::OpenMode::ReadWrite, &error);
        EXPECT_TRUE(db) << error.toStdString();
        if (db) {
            for (const QVariantList& row : SqlRows(db.get(), "select figure_name from figures"))
                names += row[0].toString();
        }
        return names;
    }

    QTemporaryDir root_;
};

struct Answer {
    const char* name;
    std::optional<bool> importOld; // none: not asked
    bool damaged;
    int result;
    const char* fault;
};

class OldArchiveAnswerTest : public OldArchiveRestoreTest,
                             public ::testing::WithParamInterface<Answer> {};

TEST_P(OldArchiveAnswerTest, OnlyAYesReplacesTheDataFolderWithTheImportedCatalog) {
    const Answer answer = GetParam();
    if (answer.damaged) {
        ASSERT_TRUE(QFile::resize(Path("old/FIGURES.db"), 2050));
    }
    Pack();
    QString fault;
    int asked = 0;
    const TImportOldTables importOld = [&] { return ++asked, *answer.importOld; };
    EXPECT_EQ(UnpackArchive(Path("old.tba"), Path("ldb"), {}, fault,
                            answer.importOld ? importOld : TImportOldTables()),
              answer.result);
    EXPECT_EQ(fault.toStdString(), answer.fault);
    EXPECT_EQ(asked, answer.importOld ? 1 : 0);
    EXPECT_EQ(DataFiles(), QStringList{"velmora.db"});
    if (answer.result == ArchiveResult::Done) {
        EXPECT_EQ(FigureNames(), "Hussar");
    } else {
        EXPECT_EQ(QFileInfo(Path("ldb/velmora.db")).size(), 19) << "the current catalog stays";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, OldArchiveAnswerTest,
    ::testing::Values(
        Answer{"Yes", true, false, ArchiveResult::Done, ""},
        Answer{"No", false, false, ArchiveResult::NoCatalog,
               "the archive holds tables of an older version, which were not imported"},
        Answer{"NotAsked", std::nullopt, false, ArchiveResult::NoCatalog,
               "the archive holds tables of an older version, which were not imported"},
        Answer{"Damaged", true, true, ArchiveResult::NoCatalog,
               "the tables of an older version could not be imported: FIGURES.db: a data "
               "block lies outside the file"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(OldArchiveRestoreTest, TheDialogAsksAndImportsOnYes) {
    Pack();
    QStringList shown;
    DialogRunner::ScopedHook hook([&](QDialog& dialog) {
        if (auto* sure = qobject_cast<TFsure*>(&dialog)) {
            shown << sure->Question->text();
            sure->btn_yes->click();
            return sure->result();
        }
        if (auto* message = qobject_cast<TDmsg*>(&dialog)) {
            shown << message->Label->text();
            return static_cast<int>(QDialog::Accepted);
        }
        if (auto* restore = qobject_cast<TFBackUpRestore*>(&dialog)) {
            restore->FileEdit2->setText(Path("old.tba"));
            restore->btn_ok->click();
        }
        return dialog.result();
    });
    TFBackUpRestore dialog;
    dialog.OpenRestore(Path("ldb"), false);
    EXPECT_EQ(shown, QStringList({"This archive holds tables of an older version. Import them "
                                  "into a new catalog?",
                                  "Database has been restored"}));
    EXPECT_EQ(FigureNames(), "Hussar");
}

TEST_F(OldArchiveRestoreTest, TheToolImportsOnlyWhenAskedTo) {
    Pack();
    const auto run = [&](const QString& option) {
        const QString command = QStringLiteral("'%1' restore %2 '%3' '%4' >'%5' 2>&1")
                                    .arg(QStringLiteral(VELMORA_TOOL_PATH), option, Path("old.tba"),
                                         Path("ldb"), Path("output"));
        const int status = std::system(QFile::encodeName(command).constData());
        QFile output(Path("output"));
        EXPECT_TRUE(output.open(QIODevice::ReadOnly));
        return std::make_pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                              output.readAll().toStdString());
    };
    EXPECT_EQ(run(""),
              std::make_pair(9, std::string("Database restore error: the archive holds tables of "
                                            "an older version, which were not imported (restore "
                                            "with --import-old to import them into a new "
                                            "catalog); the data folder is unchanged\n")));
    EXPECT_EQ(run("--import-old"), std::make_pair(0, std::string("Database has been restored\n")));
    EXPECT_EQ(FigureNames(), "Hussar");
}

} // namespace
