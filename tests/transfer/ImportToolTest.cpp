// velmora-tool import, run as a separate process.

#include "DataFolderLock.h"
#include "ParadoxFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace {

struct ToolResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

class ImportToolTest : public ::testing::Test {
protected:
    // The lock files live in this test's own folder.
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root_.path()));
        ASSERT_TRUE(QDir().mkpath(Path("old")));
        ParadoxFixture::Write(Path("old"), "PRODUCERS", ParadoxFixture::ProducersColumns(),
                              {{QString(32, QLatin1Char('A')), "Maker"}});
    }

    QString Path(const QString& name) const { return root_.filePath(name); }

    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    ToolResult Run(const QString& args) const {
        const QString command =
            QStringLiteral("'%1' import %2 >'%3' 2>'%4'")
                .arg(QStringLiteral(VELMORA_TOOL_PATH), args, Path("stdout"), Path("stderr"));
        const int status = std::system(QFile::encodeName(command).constData());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Read("stdout"), Read("stderr")};
    }

    QTemporaryDir root_;
};

TEST_F(ImportToolTest, ImportsIntoANewCatalogAndAddsNothingTheSecondTime) {
    const QString args = "'" + Path("old") + "' '" + Path("ldb") + "'";
    const ToolResult first = Run(args);
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(first.out, "producers: 1 added, 0 skipped\n1 rows added\n");
    EXPECT_TRUE(QFile::exists(Path("ldb/velmora.db")));
    const ToolResult second = Run(args);
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.out, "producers: 0 added, 1 skipped\n  skipped record 1: the key " +
                              QByteArray(32, 'A') + " is already in the catalog\n0 rows added\n");
}

TEST_F(ImportToolTest, FailuresExitWithTheirCode) {
    ASSERT_TRUE(QDir().mkpath(Path("empty")));
    DataFolderLock program;
    ASSERT_TRUE(QDir().mkpath(Path("busy")));
    ASSERT_TRUE(program.Acquire(QFile::encodeName(Path("busy")).toStdString()));
    const std::pair<int, QString> failures[] = {
        {1, "'" + Path("empty") + "' '" + Path("ldb") + "'"},
        {6, "'" + Path("old") + "' '" + Path("busy") + "'"},
        {64, "'" + Path("old") + "'"},
        {64, "'" + Path("old/PRODUCERS.db") + "' '" + Path("ldb") + "'"},
    };
    for (const auto& [code, args] : failures) {
        const ToolResult result = Run(args);
        EXPECT_EQ(result.exitCode, code) << args.toStdString();
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
    }
    ASSERT_TRUE(QFile::resize(Path("old/PRODUCERS.db"), 2100));
    const ToolResult result = Run("'" + Path("old") + "' '" + Path("ldb") + "'");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "velmora-tool: nothing was imported: PRODUCERS.db: a data block lies "
                          "outside the file\n");
    EXPECT_FALSE(QFile::exists(Path("ldb/velmora.db")));
}

} // namespace
