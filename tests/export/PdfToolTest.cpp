// velmora-tool pdf as a process, on a catalog held open by this process.

#include "PdfText.h"
#include "QueryTestFixture.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

namespace {

class PdfToolTest : public QueryTestFixture {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        Exec("insert into genres (genre_id, genre_name) values ('G', 'Napoleonic'), "
             "('M', 'Medieval')");
        Exec("insert into producers (producer_id, producer_name) values ('A', 'Alpha'), "
             "('B', 'Beta')");
        Exec("insert into figures (figure_id, figure_name, genre_id, producer_id) values "
             "('1', 'Hussar', 'G', 'A'), ('2', 'Knight', 'M', 'B'), ('3', 'Grenadier', 'G', 'B'), "
             "('4', 'Archer', 'M', 'A')");
    }

    int Tool(const QString& arguments) {
        const int status = std::system(
            QString("'%1' pdf '%2' %3 >/dev/null 2>'%4'")
                .arg(VELMORA_TOOL_PATH, folder_.path(), arguments, folder_.filePath("stderr"))
                .toLocal8Bit());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    QString Names(const QString& file) {
        return Matches(PdfText(file), "(?m)^(Archer|Grenadier|Hussar|Knight)$").join(' ');
    }
};

TEST_F(PdfToolTest, FiltersSelectTheFigures) {
    const struct {
        const char* filter;
        const char* names;
    } cases[] = {{"", "Archer Grenadier Hussar Knight"},
                 {"--genre Napoleonic", "Grenadier Hussar"},
                 {"--manufacturer Alpha", "Archer Hussar"},
                 {"--genre Medieval --manufacturer Beta", "Knight"}};
    for (const auto& c : cases) {
        const QString out = folder_.filePath("out.pdf");
        ASSERT_EQ(Tool(QString("'%1' %2").arg(out, c.filter)), 0) << c.filter;
        EXPECT_EQ(Names(out), c.names) << c.filter;
        QFile::remove(out);
    }
}

TEST_F(PdfToolTest, SheetOfOneFigureAndRefusals) {
    const QString sheet = folder_.filePath("sheet.pdf");
    ASSERT_EQ(Tool(QString("'%1' --figure 2").arg(sheet)), 0);
    EXPECT_EQ(PdfPages(sheet), 1);
    EXPECT_EQ(Names(sheet), "Knight");

    const QString out = folder_.filePath("out.pdf");
    EXPECT_EQ(Tool(QString("'%1' --figure 9").arg(out)), 1);
    EXPECT_EQ(Tool(QString("'%1' --genre Roman").arg(out)), 1);
    EXPECT_EQ(Tool(QString("'%1' --figure 2 --genre Medieval").arg(out)), 64);
    EXPECT_EQ(Tool(QString("'%1' --genre").arg(out)), 64);
    EXPECT_EQ(Tool(QString("'%1'").arg(folder_.filePath("velmora.db"))), 64);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(Tool(QString("'%1/none/out.pdf'").arg(folder_.path())), 2);
}

} // namespace
