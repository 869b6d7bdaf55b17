// velmora-tool import-csv as a process.

#include "DataFolderLock.h"
#include "EngineConnection.h"
#include "EngineSql.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result {
    int code;
    QString out;
    QString err;
};

Result Tool(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(VELMORA_TOOL_PATH), QStringList{"import-csv"} + args);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

TEST(ImportCsvToolTest, ImportsIntoANewCatalogAndExitsWithTheOutcome) {
    QTemporaryDir temp;
    const QString csv = temp.filePath("figures.csv");
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Title;Maker\r\nHussar;Zvezda\r\n;Zvezda\r\n");
    file.close();
    const QString data = temp.filePath("LDB");

    const Result done = Tool({csv, data, "--map", "Title=figure_name,Maker=producer_name"});
    EXPECT_EQ(0, done.code) << done.err.toStdString();
    EXPECT_EQ("Figures added: 1; rows skipped: 1.\n"
              "Manufacturers created: 1; genres created: 0.\n"
              "Line 3 skipped: the figure has no name\n",
              done.out);
    {
        QString error;
        const auto db = EngineConnection::OpenFile(QDir(data).filePath("velmora.db"),
                                                   EngineConnection::OpenMode::ReadWrite, &error);
        ASSERT_TRUE(db) << error.toStdString();
        const QList<QVariantList> rows = SqlRows(db.get(), "select figure_name from figures");
        ASSERT_FALSE(rows.isEmpty());
        EXPECT_EQ("Hussar", rows.first()[0].toString());
    }

    const struct {
        QStringList args;
        int code;
        QString err;
    } refused[] = {
        {{csv, data, "--map", "Title=colour"}, 64, "\"colour\" is no field"},
        {{csv, data, "--map", "Name=figure_name"}, 64, "the file has no column \"Name\""},
        {{csv, data}, 64, "no column is mapped to figure_name"},
        {{csv, csv, "--map", "Title=figure_name"}, 64, "is not a folder"},
        {{csv}, 64, "usage:"},
        {{temp.filePath("none.csv"), data}, 1, "nothing was imported"},
    };
    for (const auto& c : refused) {
        const Result result = Tool(c.args);
        EXPECT_EQ(c.code, result.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(c.err)) << result.err.toStdString();
    }

    DataFolderLock program;
    ASSERT_TRUE(program.Acquire(QFile::encodeName(data).toStdString()));
    EXPECT_EQ(6, Tool({csv, data, "--map", "Title=figure_name"}).code);
}

} // namespace
