// The structure check against real database files.

#include "DatabaseStructure.h"
#include "TDatabase.h"
#include "TF_check_DB.h"
#include "TQuery.h"
#include "TTable.h"
#include "TZunPigger.h"
#include "TempDatabaseTest.h"

#include <QProgressBar>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class StructureTest : public TempDatabaseTest {
protected:
    void SetUp() override {
        TempDatabaseTest::SetUp();
        DatabaseStructure::Build(structure_);
    }

    // "name type pk" for each column, in order; types in lower case (the
    // engine reports "integer" as INTEGER).
    QStringList Columns(const QString& table) {
        QSqlQuery query(database_.Connection());
        EXPECT_TRUE(query.exec(QStringLiteral("pragma table_info(%1)").arg(table)));
        QStringList columns;
        while (query.next())
            columns << QStringLiteral("%1 %2%3").arg(
                query.value(1).toString(), query.value(2).toString().toLower(),
                query.value(5).toInt() ? QStringLiteral(" pk") : QString());
        return columns;
    }

    QString Schema() {
        QSqlQuery query(database_.Connection());
        EXPECT_TRUE(query.exec(QStringLiteral("select group_concat(sql, ';') from "
                                              "(select sql from sqlite_master order by name)")));
        return query.next() ? query.value(0).toString() : QString();
    }

    void Check() {
        TTable table;
        TQuery query;
        DatabaseStructure::Check(structure_, table, query, {});
    }

    TZunPigger structure_;
};

TEST_F(StructureTest, DescriptionAndStatementsAreLaidOutAsTheTablesAreCreated) {
    EXPECT_EQ("DATABASE_STRUCTURE", structure_.Name());
    ASSERT_EQ(5, structure_.ChildCount());
    const TZunPigger& scales = *structure_.Child(4);
    EXPECT_EQ("TABLE", scales.Name());
    EXPECT_EQ("scales", scales.GetAttribute("NAME"));
    EXPECT_EQ((QStringList{"create table scales (", "scale_id char(32),", "scale_name char(32),",
                           "primary key (scale_id)", ")"}),
              DatabaseStructure::CreateTableLines(scales));
    EXPECT_EQ((QStringList{"alter table figures", "add prc_pe numeric(7,2)"}),
              DatabaseStructure::AddFieldLines("figures", *structure_.Child(0)->Child(15)));
}

TEST_F(StructureTest, EmptyFolderGetsEveryTableWithColumnsInOrderAndKeys) {
    Check();
    EXPECT_EQ((QStringList{"figure_id char(32) pk", "figure_name char(32)", "producer_id char(32)",
                           "genre_id char(32)", "type_ci char(32)", "scale char(16)",
                           "figure_dsc blob(1,1)", "figure_files blob(1,1)",
                           "manual_sheme blob(1,1)", "picture_th blob(1,5)", "picture blob(1,5)",
                           "sculpter_name char(32)", "painter_name char(32)",
                           "prc_kit numeric(7,2)", "prc_pr numeric(7,2)", "prc_pe numeric(7,2)"}),
              Columns("figures"));
    EXPECT_EQ((QStringList{"add_picture_id char(32) pk", "add_picture_name char(32)",
                           "figure_id char(32)", "picture_th blob(1,5)", "picture blob(1,5)"}),
              Columns("add_pictures"));
    EXPECT_EQ(
        (QStringList{"producer_id char(32) pk", "producer_name char(32)",
                     "producer_website char(64)", "producer_dsc blob(1,1)", "insert_time date"}),
        Columns("producers"));
    EXPECT_EQ((QStringList{"genre_id char(32) pk", "genre_name char(32)", "RX integer",
                           "RY integer", "RH integer", "RW integer", "TB integer", "TE integer",
                           "location_shape char(2)"}),
              Columns("genres"));
    EXPECT_EQ((QStringList{"scale_id char(32) pk", "scale_name char(32)"}), Columns("scales"));

    // A second run changes nothing.
    const QString schema = Schema();
    Check();
    EXPECT_EQ(schema, Schema());
}

TEST_F(StructureTest, OldTablesGetMissingColumnsAppendedAndKeepTheirRows) {
    Exec("create table figures (figure_id char(32), figure_name char(32), producer_id char(32), "
         "genre_id char(32), type_ci char(32), scale char(16), figure_dsc blob(1,1), "
         "figure_files blob(1,1), picture_th blob(1,5), picture blob(1,5), "
         "sculpter_name char(32), painter_name char(32), primary key (figure_id))");
    Exec("insert into figures (figure_id, figure_name) values ('K1', 'Hussar')");
    // Present in another letter case: counts as present.
    Exec("create table producers (PRODUCER_ID char(32), Producer_Name char(32), "
         "producer_website char(64), producer_dsc blob(1,1), INSERT_TIME date, "
         "primary key (producer_id))");

    Check();
    const QStringList figures = Columns("figures");
    ASSERT_EQ(16, figures.size());
    EXPECT_EQ((QStringList{"manual_sheme blob(1,1)", "prc_kit numeric(7,2)", "prc_pr numeric(7,2)",
                           "prc_pe numeric(7,2)"}),
              figures.mid(12));
    QSqlQuery rows(database_.Connection());
    ASSERT_TRUE(rows.exec("select figure_name from figures where figure_id = 'K1'"));
    ASSERT_TRUE(rows.next());
    EXPECT_EQ("Hussar", rows.value(0).toString());
    EXPECT_EQ(5, Columns("producers").size());
    EXPECT_EQ("PRODUCER_ID char(32) pk", Columns("producers").first());
}

TEST_F(StructureTest, CheckWindowRunsOnItsTimerAndReportsSuccess) {
    TF_check_DB window;
    window.BuildStructure();
    EXPECT_EQ(5, window.Structure().ChildCount());
    EXPECT_TRUE(TF_check_DB::EngineVersionOk());
    EXPECT_EQ(0, window.Run());
    EXPECT_EQ(5, window.PB1->value());
    EXPECT_EQ(5, window.PB1->maximum());
    EXPECT_EQ(QStringList({"figure_id char(32) pk"}), Columns("figures").mid(0, 1));
}

} // namespace
