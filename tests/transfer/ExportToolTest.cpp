// velmora-tool export-csv and the folder form of velmora-tool import as
// processes; Python's csv module reads what export-csv writes.

#include "RowImporter.h"
#include "TempDatabaseTest.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ExportToolTest : public TempDatabaseTest {
protected:
    // The lock files live in this test's own folder.
    void SetUp() override {
        TempDatabaseTest::SetUp();
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder_.path()));
        RowImporter structure;
        ASSERT_TRUE(structure.Begin());
        ASSERT_TRUE(structure.Commit());
    }
    int Run(const QString& command) {
        const int status =
            std::system(QString("%1 >'%2' 2>'%3'")
                            .arg(command, folder_.filePath("stdout"), folder_.filePath("stderr"))
                            .toLocal8Bit());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int Tool(const QString& arguments) {
        return Run(QString("'%1' %2").arg(VELMORA_TOOL_PATH, arguments));
    }
};

TEST_F(ExportToolTest, ASpreadsheetReaderGetsAccentsAndLineBreaksBack) {
    Exec("insert into producers (producer_id, producer_name) values ('P', 'Ateliér Žluť')");
    Exec("insert into genres (genre_id, genre_name, TB, TE) values ('G', 'Napoléon', 1799, 1815)");
    Exec("insert into figures (figure_id, figure_name, producer_id, genre_id, figure_dsc, "
         "picture) values ('F', 'Гусар \"Ney\"', 'P', 'G', ?, ?)",
         {"première ligne,\r\nseconde ligne", QByteArray("\xFF\xD8\xFF")});
    const QString out = folder_.filePath("out");
    ASSERT_EQ(Tool(QString("export-csv '%1' '%2'").arg(folder_.path(), out)), 0)
        << ReadFile(folder_.filePath("stderr")).toStdString();

    QFile script(folder_.filePath("read.py"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("import csv, json, sys\n"
                 "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                 "    rows = list(csv.DictReader(f))\n"
                 "print(json.dumps([[r['figure_name'], r['figure_dsc'], r['producer_name'],\n"
                 "                   r['genre_name'], r['picture']] for r in rows],\n"
                 "                 ensure_ascii=False))\n");
    script.close();
    ASSERT_EQ(Run(QString("PYTHONIOENCODING=utf-8 python3 '%1' '%2'")
                      .arg(script.fileName(), out + "/figures.csv")),
              0)
        << ReadFile(folder_.filePath("stderr")).toStdString();
    EXPECT_EQ(QString::fromUtf8(ReadFile(folder_.filePath("stdout"))).toStdString(),
              "[[\"Гусар \\\"Ney\\\"\", \"première ligne,\\r\\nseconde ligne\", \"Ateliér "
              "Žluť\", \"Napoléon\", \"pictures/F.jpg\"]]\n");
    EXPECT_EQ(ReadFile(out + "/pictures/F.jpg"), QByteArray("\xFF\xD8\xFF"));
    EXPECT_TRUE(ReadFile(out + "/genres.csv").startsWith("genre_id,genre_name,RX,RY,RH,RW,TB,TE"));
}

TEST_F(ExportToolTest, ImportReadsAnExportFolderAndSkipsARowWhosePictureIsGone) {
    Exec("insert into figures (figure_id, figure_name, picture) values ('F1', 'One', ?), "
         "('F2', 'Two', ?)",
         {QByteArray("\xFF\xD8 1"), QByteArray("\xFF\xD8 2")});
    const QString out = folder_.filePath("out");
    ASSERT_EQ(Tool(QString("export '%1' '%2'").arg(folder_.path(), out)), 0);
    ASSERT_TRUE(QFile::remove(out + "/pictures/F2.jpg"));

    const QString data = folder_.filePath("data");
    ASSERT_EQ(Tool(QString("import '%1' '%2'").arg(out, data)), 0)
        << ReadFile(folder_.filePath("stderr")).toStdString();
    EXPECT_EQ(ReadFile(folder_.filePath("stdout")),
              "figures: 1 added, 1 skipped\n"
              "  skipped figures.csv line 3: the file pictures/F2.jpg cannot be read\n"
              "1 rows added\n");
    EXPECT_TRUE(QFile::exists(data + "/velmora.db"));
}

TEST_F(ExportToolTest, RefusesBadArgumentsAndAFolderWithoutCatalog) {
    QFile file(folder_.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const struct {
        QString arguments;
        int exitCode;
    } cases[] = {
        {"export-csv", 64},
        {QString("export '%1'").arg(folder_.path()), 64},
        {QString("export '%1' '%2'").arg(folder_.path(), file.fileName()), 64},
        {QString("export '%1' '%2'").arg(folder_.filePath("none"), folder_.filePath("o")), 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tool(c.arguments), c.exitCode) << c.arguments.toStdString();
}

} // namespace
