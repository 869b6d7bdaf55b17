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
    Exec("insert into figure_collection (figure_id, collection_status, collection_quantity, "
         "collection_acquired, collection_price, collection_value) "
         "values ('A', 'finished', 2, '2020-05-01', 12.3, 0.1), "
         "('B', 'primed', 1, NULL, 0.2, 0)");

    ASSERT_EQ(Tool(QString("'%1' --json").arg(folder_.path())), 0) << Read(Err()).toStdString();
    const QJsonObject json = QJsonDocument::fromJson(Read(Out())).object();
    const QByteArray expected = R"({"by":{)"
                                R"("acquired":[{"figures":1,"key":"2020","label":"2020"}],)"
                                R"("century":[{"figures":1,"key":"0","label":"0-99"},)"
                                R"({"figures":1,"key":"100","label":"100-199"}],)"
                                R"("genre":[{"figures":1,"key":"","label":""},)"
                                R"({"figures":1,"key":"G","label":"Rome"}],)"
                                R"("manufacturer":[{"figures":2,"key":"","label":""}],)"
                                R"("scale":[{"figures":2,"key":"54-mm","label":"54-mm"}],)"
                                R"("status":[{"figures":0,"key":"wanted","label":"wanted"},)"
                                R"({"figures":0,"key":"unbuilt","label":"unbuilt"},)"
                                R"({"figures":0,"key":"assembled","label":"assembled"},)"
                                R"({"figures":1,"key":"primed","label":"primed"},)"
                                R"({"figures":0,"key":"painting","label":"painting"},)"
                                R"({"figures":1,"key":"finished","label":"finished"},)"
                                R"({"figures":0,"key":"sold","label":"sold"}],)"
                                R"("type":[{"figures":1,"key":"cavalry","label":"cavalry"},)"
                                R"({"figures":1,"key":"infantry","label":"infantry"}]},)"
                                R"("totals":{"figures":2,"finished_share":0.5,"pieces":3,)"
                                R"("price":12.5,"value":0.1}})";
    EXPECT_EQ(QJsonDocument(json).toJson(QJsonDocument::Compact), expected);

    EXPECT_EQ(Tool(QString("'%1'").arg(folder_.path())), 0);
    EXPECT_TRUE(Read(Out()).startsWith("figures: 2\npieces: 3\nfinished share: 0.5000\n"
                                       "price: 12.50\nvalue: 0.10\n"))
        << Read(Out()).toStdString();
    EXPECT_EQ(Tool(QString("'%1' --json --json").arg(folder_.path())), 64);
    EXPECT_EQ(Tool(QString("'%1/none'").arg(folder_.path())), 1);
}

} // namespace
