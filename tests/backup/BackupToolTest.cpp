// velmora-tool backup and restore, run as separate processes.

#include "ArchiveTestSupport.h"
#include "SingleInstanceLock.h"

#include <QDir>

#include <cstdlib>
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
    // The lock file lives in this test's own folder, so a copy of the
    // program running on the machine does not matter.
    void SetUp() override { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(Path(QString()))); }

    ToolResult Run(const QString& args) const {
        const QString command =
            QStringLiteral("'%1' %2 >'%3' 2>'%4'")
                .arg(QStringLiteral(VELMORA_TOOL_PATH), args, Path("stdout"), Path("stderr"));
        const int status = std::system(QFile::encodeName(command).constData());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Read("stdout"), Read("stderr")};
    }
};

TEST_F(BackupToolTest, ExitStatusIsTheResultCodeWithOneLine) {
    MakeFolder("data", {{"catalog.db", TextBytes(700000, 1)}, {"empty", ""}});
    const ToolResult backup = Run("backup '" + Path("data") + "' '" + Path("a.tba") + "'");
    EXPECT_EQ(0, backup.exitCode);
    EXPECT_EQ("Archive has been created\n", backup.out);
    EXPECT_EQ("", backup.err); // no bar when standard error is no terminal
    EXPECT_EQ(ExpectedArchive({{"catalog.db", TextBytes(700000, 1)}, {"empty", ""}}),
              Read("a.tba"));

    MakeFolder("ldb", {{"old", "replaced"}});
    const ToolResult restore = Run("restore '" + Path("a.tba") + "' '" + Path("ldb") + "'");
    EXPECT_EQ(0, restore.exitCode);
    EXPECT_EQ("Database has been restored\n", restore.out);
    EXPECT_EQ(Take(Path("data")), Take(Path("ldb")));

    Write("bad.tba", "not an archive");
    const std::pair<int, QString> failures[] = {
        {2, "backup '" + Path("missing") + "' '" + Path("b.tba") + "'"},
        {3, "restore '" + Path("missing.tba") + "' '" + Path("ldb") + "'"},
        {4, "restore '" + Path("bad.tba") + "' '" + Path("ldb") + "'"},
        {64, "restore '" + Path("bad.tba") + "'"},
        {64, "backup -x y"},
    };
    for (const auto& [code, args] : failures) {
        const ToolResult result = Run(args);
        EXPECT_EQ(code, result.exitCode) << args.toStdString();
        EXPECT_EQ("", result.out);
        EXPECT_EQ(1, result.err.count('\n')) << result.err.toStdString();
    }
    EXPECT_EQ(Take(Path("data")), Take(Path("ldb")));
}

TEST_F(BackupToolTest, BothRefuseWhileTheProgramRuns) {
    MakeFolder("ldb", {{"catalog.db", "current"}});
    Write("a.tba", ExpectedArchive({{"catalog.db", "archived"}}));
    SingleInstanceLock program;
    ASSERT_TRUE(program.Acquire());

    const ToolResult backup = Run("backup '" + Path("ldb") + "' '" + Path("b.tba") + "'");
    EXPECT_EQ(6, backup.exitCode);
    EXPECT_NE(-1, backup.err.indexOf("Velmora is running"));
    EXPECT_FALSE(QFile::exists(Path("b.tba")));
    EXPECT_EQ(6, Run("restore '" + Path("a.tba") + "' '" + Path("ldb") + "'").exitCode);
    EXPECT_EQ("current", Read("ldb/catalog.db"));

    const ToolResult help = Run("--help");
    EXPECT_NE(-1, help.out.indexOf("backup DATAFOLDER ARCHIVE"));
    EXPECT_NE(-1, help.out.indexOf("6 while Velmora runs"));
}

} // namespace
