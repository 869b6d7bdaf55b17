// velmora-tool backup and restore, run as separate processes.

#include "Archive.h"
#include "ArchiveTestSupport.h"
#include "DataFolderLock.h"
#include "SingleInstanceLock.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <optional>
#include <sys/wait.h>

namespace {

using namespace archivetest;

struct ToolResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

class BackupToolTest : public ArchiveTest {
protected:
    // environment: what env(1) sets or unsets for the tool.
    ToolResult Run(const QString& args, const QString& environment = QString()) const {
        const QString command = QStringLiteral("env %1 '%2' %3 >'%4' 2>'%5'")
                                    .arg(environment, QStringLiteral(VELMORA_TOOL_PATH), args,
                                         Path("stdout"), Path("stderr"));
        const int status = std::system(QFile::encodeName(command).constData());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Read("stdout"), Read("stderr")};
    }
};

TEST_F(BackupToolTest, ExitStatusIsTheResultCodeWithOneLine) {
    const std::vector<File> data = {
        {"catalog.db", TextBytes(700000, 1)}, {"empty", ""}, {"velmora.db", CatalogBytes()}};
    MakeFolder("data", data);
    const ToolResult backup = Run("backup '" + Path("data") + "' '" + Path("a.tba") + "'");
    EXPECT_EQ(0, backup.exitCode);
    EXPECT_EQ("Archive has been created\n", backup.out);
    EXPECT_EQ("", backup.err); // no bar when standard error is no terminal
    EXPECT_EQ(ExpectedArchive(data), Read("a.tba"));

    MakeFolder("ldb", {{"old", "replaced"}});
    const ToolResult restore = Run("restore '" + Path("a.tba") + "' '" + Path("ldb") + "'");
    EXPECT_EQ(0, restore.exitCode);
    EXPECT_EQ("Database has been restored\n", restore.out);
    EXPECT_EQ(Take(Path("data")), Take(Path("ldb")));

    Write("bad.tba", "not an archive");
    // Any folder packs; one without the catalog does not restore.
    MakeFolder("photos", {{"IMG_0001.jpg", RandomBytes(5000, 2)}, {"notes.txt", "notes"}});
    ASSERT_EQ(0, Run("backup '" + Path("photos") + "' '" + Path("photos.tba") + "'").exitCode);
    // A catalog that a restore would refuse makes no archive.
    MakeFolder("damaged", {{"velmora.db", TextBytes(9000, 3)}});
    const std::pair<int, QString> failures[] = {
        {2, "backup '" + Path("missing") + "' '" + Path("b.tba") + "'"},
        {5, "backup '" + Path("damaged") + "' '" + Path("b.tba") + "'"},
        {3, "restore '" + Path("missing.tba") + "' '" + Path("ldb") + "'"},
        {4, "restore '" + Path("bad.tba") + "' '" + Path("ldb") + "'"},
        {9, "restore '" + Path("photos.tba") + "' '" + Path("ldb") + "'"},
        {64, "restore '" + Path("bad.tba") + "'"},
        {64, "backup -x y"},
    };
    for (const auto& [code, args] : failures) {
        const ToolResult result = Run(args);
        EXPECT_EQ(code, result.exitCode) << args.toStdString();
        EXPECT_EQ("", result.out);
        EXPECT_EQ(1, result.err.count('\n')) << result.err.toStdString();
        if (code == 5) {
            EXPECT_EQ("Archive creation error: the catalog can not be read (file is not a "
                      "database); no archive was written\n",
                      result.err);
            EXPECT_FALSE(QFileInfo::exists(Path("b.tba")));
        }
        if (code == 9) {
            EXPECT_EQ("Database restore error: the archive holds no catalog database "
                      "(velmora.db); the data folder is unchanged\n",
                      result.err);
        }
    }
    EXPECT_EQ(Take(Path("data")), Take(Path("ldb")));
}

TEST_F(BackupToolTest, ArchiveInsideTheDataFolderIsRefusedHoweverEitherIsNamed) {
    MakeFolder("ldb", {{"catalog.db", "current"}, {"velmora.db", CatalogBytes()}});
    Write("ldb/x.tba", ExpectedArchive({{"catalog.db", "archived"}}));
    Write("ldb/sub/keep", "");
    ASSERT_TRUE(QFile::link(Path("ldb"), Path("alias")));
    const Snapshot before = Take(Path("ldb"));
    const QString refused[] = {
        "restore '" + Path("ldb/x.tba") + "' '" + Path("ldb") + "'",
        "restore '" + Path("alias/x.tba") + "' '" + Path("ldb/") + "'",
        "backup '" + Path("ldb") + "' '" + Path("ldb/y.tba") + "'",
        "backup '" + Path("alias") + "' '" + Path("ldb/sub/../y.tba") + "'",
    };
    for (const QString& args : refused) {
        const ToolResult result = Run(args);
        EXPECT_EQ(8, result.exitCode) << args.toStdString();
        EXPECT_EQ("The archive and the database can not be placed in the same folder\n",
                  result.err);
        EXPECT_EQ(before, Take(Path("ldb")));
    }
    // A subfolder is not the folder: its files are neither packed nor
    // replaced.
    EXPECT_EQ(0, Run("backup '" + Path("ldb") + "' '" + Path("ldb/sub/y.tba") + "'").exitCode);
    EXPECT_EQ(0, Run("restore '" + Path("ldb/sub/y.tba") + "' '" + Path("ldb") + "'").exitCode);
    Snapshot expected = before;
    expected["sub/y.tba"] = Read("ldb/sub/y.tba");
    EXPECT_EQ(expected, Take(Path("ldb")));
}

TEST_F(BackupToolTest, EitherCommandFirstFinishesAnInterruptedRestore) {
    const std::vector<File> restored = {
        {"added", "a"}, {"catalog.db", "restored"}, {"velmora.db", CatalogBytes()}};
    Write("new.tba", ExpectedArchive(restored));
    Write("other.tba", ExpectedArchive({{"catalog.db", "other"}, {"velmora.db", CatalogBytes()}}));
    for (const bool backup : {true, false}) {
        SCOPED_TRACE(backup);
        QDir(Path("ldb")).removeRecursively();
        MakeFolder("ldb", {{"catalog.db", "current"}, {"old", "o"}});
        {
            // After the old files moved out and before the new ones moved
            // in: the data folder is empty.
            const CrashAt crash(4);
            EXPECT_NE(ArchiveResult::Done, UnpackArchive(Path("new.tba"), Path("ldb")));
        }
        ASSERT_EQ(QStringList(), QDir(Path("ldb")).entryList(QDir::Files | QDir::Hidden));
        const ToolResult result =
            backup ? Run("backup '" + Path("ldb") + "' '" + Path("out.tba") + "'")
                   : Run("restore '" + Path("other.tba") + "' '" + Path("ldb") + "'");
        EXPECT_EQ(0, result.exitCode);
        EXPECT_EQ("velmora-tool: an interrupted restore of the data folder has been finished\n",
                  result.err);
        if (backup) {
            EXPECT_EQ(ExpectedArchive(restored), Read("out.tba"));
        } else {
            EXPECT_EQ("other", Read("ldb/catalog.db"));
        }
        EXPECT_FALSE(QFileInfo::exists(Path(".ldb-restore")));
    }
}

TEST_F(BackupToolTest, OnlyTheDataFolderOfTheRunningProgramIsRefused) {
    MakeFolder("LDB", {{"catalog.db", "current"}});
    MakeFolder("other", {{"catalog.db", "other"}});
    MakeFolder("bin", {});
    MakeFolder("bin2", {});
    ASSERT_TRUE(QFile::link(Path("LDB"), Path("alias")));
    Write("a.tba", ExpectedArchive({{"catalog.db", "archived"}, {"velmora.db", CatalogBytes()}}));
    // The program's data folder is "LDB" beside its working folder; the
    // runtime folder it was started with does not matter.
    const QString working = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Path("bin")));
    std::optional<SingleInstanceLock> program(std::in_place);
    const bool started = program->Acquire();
    QDir::setCurrent(working);
    ASSERT_TRUE(started);

    const QString environments[] = {"XDG_RUNTIME_DIR='" + Path("bin") + "'",
                                    "XDG_RUNTIME_DIR='" + Path("bin2") + "'", "-u XDG_RUNTIME_DIR"};
    const std::pair<int, QString> runs[] = {
        {6, "backup '" + Path("LDB") + "' '" + Path("b.tba") + "'"},
        {6, "backup '" + Path("alias/") + "' '" + Path("b.tba") + "'"},
        {6, "restore '" + Path("a.tba") + "' '" + Path("bin/../LDB") + "'"},
        {6, "pack '" + Path("LDB") + "'"},
        {0, "backup '" + Path("other") + "' '" + Path("c.tba") + "'"},
        {0, "restore '" + Path("a.tba") + "' '" + Path("other") + "'"},
    };
    for (const QString& environment : environments) {
        for (const auto& [code, args] : runs) {
            const ToolResult result = Run(args, environment);
            EXPECT_EQ(code, result.exitCode) << (environment + " " + args).toStdString();
            EXPECT_EQ(code == 6, result.err.contains("Velmora is running")) << args.toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(Path("b.tba")));
    EXPECT_EQ("current", Read("LDB/catalog.db"));
    EXPECT_EQ("archived", Read("other/catalog.db"));

    // Another copy of the program, on another data folder, starts beside
    // it; a third on the same folder does not.
    ASSERT_TRUE(QDir::setCurrent(Path("bin2/")));
    SingleInstanceLock second(QFile::encodeName(Path("other")).toStdString());
    const bool secondStarted = second.Acquire();
    SingleInstanceLock third;
    const bool thirdStarted = third.Acquire();
    QDir::setCurrent(working);
    EXPECT_TRUE(secondStarted);
    EXPECT_FALSE(thirdStarted);

    // A tool run on a folder keeps the program from starting on it, as a
    // running copy would.
    program.emplace();
    DataFolderLock tool;
    ASSERT_TRUE(tool.Acquire(QFile::encodeName(Path("alias")).toStdString()));
    ASSERT_TRUE(QDir::setCurrent(Path("bin")));
    const bool startedBesideTheTool = program->Acquire();
    QDir::setCurrent(working);
    EXPECT_FALSE(startedBesideTheTool);

    const ToolResult help = Run("--help");
    EXPECT_NE(-1, help.out.indexOf("backup DATAFOLDER ARCHIVE"));
    EXPECT_NE(-1, help.out.indexOf("6 while Velmora runs on that data folder"));
}

TEST_F(BackupToolTest, SwappedOperandsAreNamedBeforeAnythingIsTouched) {
    MakeFolder("LDB", {{"catalog.db", "current"}});
    Write("a.tba", ExpectedArchive({{"catalog.db", "archived"}}));
    const Snapshot before = Take(Path("LDB"));
    const QString folder = Path("LDB");
    const QString archive = Path("a.tba");
    const QString isFolder = folder + " is a folder, not an archive file";
    const QString notFolder = archive + " is not a folder";
    const struct {
        QString args;
        QStringList told;
    } runs[] = {
        {"restore '" + folder + "' '" + archive + "'", {isFolder, notFolder}},
        {"backup '" + archive + "' '" + folder + "'", {notFolder, isFolder}},
        {"restore '" + folder + "' '" + Path("new") + "'", {isFolder}},
        {"backup '" + Path("a.tba") + "' '" + Path("b.tba") + "'", {notFolder}},
    };
    for (const auto& run : runs) {
        const ToolResult result = Run(run.args);
        EXPECT_EQ(64, result.exitCode) << run.args.toStdString();
        EXPECT_EQ(run.told.size(), result.err.count('\n')) << result.err.toStdString();
        for (const QString& told : run.told)
            EXPECT_NE(-1, result.err.indexOf(QFile::encodeName(told))) << result.err.toStdString();
        EXPECT_EQ(before, Take(Path("LDB")));
        EXPECT_EQ(ExpectedArchive({{"catalog.db", "archived"}}), Read("a.tba"));
        EXPECT_FALSE(QFileInfo::exists(Path("new")));
        EXPECT_FALSE(QFileInfo::exists(Path(".LDB-restore")));
    }
}

} // namespace
