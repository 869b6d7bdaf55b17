// velmora-tool copy between data folders and a database server.

#include "CatalogRows.h"
#include "TempDatabaseTest.h"

#include <QFile>

#include <cstdlib>
#include <sys/wait.h>

namespace {

using namespace catalogrows;

class CopyToolTest : public OnEveryEngine<TempDatabaseTest> {
protected:
    // The target: the fixture's own catalog, a data folder or a server schema.
    QString Target() const {
        return OnServer() ? ServerWithSearchPath(server_, schema_) : folder_.path();
    }
    int Copy(const QString& source, const QString& extra = {}) const {
        const QString command =
            QStringLiteral("'%1' copy '%2' '%3' %4 >/dev/null 2>&1")
                .arg(QStringLiteral(VELMORA_TOOL_PATH), source, Target(), extra);
        const int status = std::system(QFile::encodeName(command).constData());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_P(CopyToolTest, RefusesATargetHoldingRowsUnlessToldToReplaceThem) {
    QTemporaryDir source;
    ASSERT_TRUE(source.isValid());
    {
        const auto file = OpenFolder(source.path());
        MakeTables(*file);
        ASSERT_EQ("", AddFigure(*file, QStringLiteral("Knight")));
    }
    MakeTables(*database_.Handle());
    ASSERT_EQ("", AddFigure(*database_.Handle(), QStringLiteral("Archer")));
    const QStringList before = Rows(*database_.Handle());

    EXPECT_EQ(3, Copy(source.path()));
    EXPECT_EQ(before, Rows(*database_.Handle()));
    EXPECT_EQ(0, Copy(source.path(), QStringLiteral("--replace")));
    EXPECT_EQ(Rows(*OpenFolder(source.path())), Rows(*database_.Handle()));
}

VELMORA_ON_EVERY_ENGINE(CopyToolTest);

} // namespace
