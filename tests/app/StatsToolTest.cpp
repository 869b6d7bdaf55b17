// velmora-tool stats as a process, on a catalog held open by this process.

#include "../catalog/CatalogTestFixture.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

namespace {

class StatsToolTest : public CatalogTestFixture {
protected:
    int Tool(const QString& arguments) {
        const int status = std::system(QString("'%1' stats %2 >'%3' 2>'%4'")
                                           .arg(VELMORA_TOOL_PATH, arguments, Out(), Err())
                                           .toLocal8Bit());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    QString Out() const { return folder_.filePath("stdout"); }
    QString Err() const { return folder_.filePath("stderr"); }
    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(StatsToolTest, PrintsTheNumbersAsJson) {
    Exec("insert into genres (genre_id, genre_name, TB, TE) values ('G', 'Rome', 1, 120)");
    AddFigure("A", "Legionary", {{"genre_id", "G"}, {"type_ci", "infantry"}});
    AddFigure("B", "Hussar", {{"type_ci", "cavalry"}});

    ASSERT_EQ(Tool(QString("'%1' --json").arg(folder_.path())), 0) << Read(Err()).toStdString();
    const QJsonObject json = QJsonDocument::fromJson(Read(Out())).object();
    const QByteArray expected = R"({"by":{)"
                                R"("acquired":[],)"
                                R"("century":[{"figures":1,"key":"0","label":"0-99"},)"
                                R"({"figures":1,"key":"100","label":"100-199"}],)"
                                R"("genre":[{"figures":1,"key":"","label":""},)"
                                R"({"figures":1,"key":"G","label":"Rome"}],)"
                                R"("manufacturer":[{"figures":2,"key":"","label":""}],)"
                                R"("scale":[{"figures":2,"key":"54-mm","label":"54-mm"}],)"
                                R"("status":[],)"
                                R"("type":[{"figures":1,"key":"cavalry","label":"cavalry"},)"
                                R"({"figures":1,"key":"infantry","label":"infantry"}]},)"
                                R"("totals":{"figures":2,"finished_share":null,"pieces":null,)"
                                R"("price":null,"value":null}})";
    EXPECT_EQ(QJsonDocument(json).toJson(QJsonDocument::Compact), expected);

    EXPECT_EQ(Tool(QString("'%1'").arg(folder_.path())), 0);
    EXPECT_TRUE(Read(Out()).startsWith("figures: 2\n")) << Read(Out()).toStdString();
    EXPECT_EQ(Tool(QString("'%1' --json --json").arg(folder_.path())), 64);
    EXPECT_EQ(Tool(QString("'%1/none'").arg(folder_.path())), 1);
}

} // namespace
