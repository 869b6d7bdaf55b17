// The structure check against real database files.

#include "DatabaseStructure.h"
#include "RawSqlite.h"
#include "TDatabase.h"
#include "TF_check_DB.h"
#include "TQuery.h"
#include "TTable.h"
#include "TZunPigger.h"
#include "TempDatabaseTest.h"

#include <QProgressBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString ListIndexColumns = "figure_name,figure_id,producer_id,genre_id,type_ci,scale,"
                                 "sculpter_name,painter_name";

class StructureTest : public TempDatabaseTest {
protected:
    void SetUp() override {
        TempDatabaseTest::SetUp();
        DatabaseStructure::Build(structure_);
    }

    // "name type pk" for each column, in order; types in lower case (the
    // engine reports "integer" as INTEGER).
    QStringList Columns(const QString& table) {
        QStringList columns;
        for (const QVariantList& row :
             SelectRows(QStringLiteral("pragma table_info(%1)").arg(table)))
            columns << QStringLiteral("%1 %2%3").arg(row[1].toString(), row[2].toString().toLower(),
                                                     row[5].toInt() ? QStringLiteral(" pk")
                                                                    : QString());
        return columns;
    }

    QString Schema() {
        return Scalar(QStringLiteral("select group_concat(sql, ';') from "
                                     "(select sql from sqlite_master order by name)"))
            .toString();
    }

    // The columns of an index in order, joined with ","; empty when there is
    // no such index.
    QString IndexColumns(const QString& index) {
        return Column(
            QStringLiteral("select name from pragma_index_info('%1') order by seqno").arg(index));
    }

    // The steps of the engine's plan for a statement, joined with ",".
    QString Plan(const QString& statement) {
        QStringList steps;
        for (const QVariantList& row : SelectRows("explain query plan " + statement))
            steps << row[3].toString();
        return steps.join(QLatin1Char(','));
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
    ASSERT_EQ(6, structure_.ChildCount());
    const TZunPigger& scales = *structure_.Child(4);
    EXPECT_EQ("TABLE", scales.Name());
    EXPECT_EQ("scales", scales.GetAttribute("NAME"));
    EXPECT_EQ((QStringList{"create table scales (", "scale_id char(32),", "scale_name char(32),",
                           "primary key (scale_id)", ")"}),
              DatabaseStructure::CreateTableLines(scales));
    EXPECT_EQ((QStringList{"alter table figures", "add prc_pe numeric(7,2)"}),
              DatabaseStructure::AddFieldLines("figures", *structure_.Child(0)->Child(15)));
    const TZunPigger& figures = *structure_.Child(0);
    ASSERT_EQ(17, figures.ChildCount());
    EXPECT_EQ("INDEX", figures.Child(16)->Name());
    EXPECT_EQ((QStringList{"create index if not exists figures_list",
                           "on figures (figure_name, figure_id, producer_id, genre_id, type_ci, "
                           "scale, sculpter_name, painter_name)"}),
              DatabaseStructure::CreateIndexLines("figures", *figures.Child(16)));
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
    EXPECT_EQ(ListIndexColumns, IndexColumns("figures_list"));

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
    EXPECT_EQ("Hussar",
              Scalar("select figure_name from figures where figure_id = 'K1'").toString());
    EXPECT_EQ(5, Columns("producers").size());
    EXPECT_EQ("PRODUCER_ID char(32) pk", Columns("producers").first());
}

TEST_F(StructureTest, OldFiguresTableGetsTheListIndexAfterItsMissingColumns) {
    // Without painter_name, which the index covers.
    Exec("create table figures (figure_id char(32), figure_name char(32), producer_id char(32), "
         "genre_id char(32), type_ci char(32), scale char(16), figure_dsc blob(1,1), "
         "figure_files blob(1,1), picture_th blob(1,5), picture blob(1,5), "
         "sculpter_name char(32), primary key (figure_id))");
    Exec("insert into figures (figure_id, figure_name, picture_th) values ('K1', 'Hussar', ?)",
         {QByteArray(50000, 'x')});
    Exec("insert into figures (figure_id, figure_name) values ('K2', 'Dragoon')");

    Check();
    EXPECT_EQ(ListIndexColumns, IndexColumns("figures_list"));
    EXPECT_EQ("ok", Scalar("pragma integrity_check").toString());
    EXPECT_EQ("Dragoon,Hussar", Column("select figure_name from figures indexed by figures_list "
                                       "order by figure_name"));
    const QString schema = Schema();
    Check();
    EXPECT_EQ(schema, Schema());
}

// A catalog made before the collection table: the next start adds the
// table and changes nothing else, the start after that nothing at all.
TEST_F(StructureTest, OlderCatalogGetsTheCollectionTableAndNothingElse) {
    TZunPigger older;
    DatabaseStructure::Build(older);
    ASSERT_EQ("figure_collection", older.Child(5)->GetAttribute("name"));
    older.DeleteChild(older.Child(5));
    TTable table;
    TQuery query;
    DatabaseStructure::Check(older, table, query, {});
    Exec("insert into figures (figure_id, figure_name) values ('K1', 'Hussar')");
    const QString others = "select group_concat(sql, ';') from (select sql from sqlite_master "
                           "where tbl_name <> 'figure_collection' order by name)";
    const QString before = Scalar(others).toString();

    Check();
    EXPECT_EQ((QStringList{"figure_id char(32) pk", "collection_status char(16)",
                           "collection_quantity integer", "collection_acquired date",
                           "collection_price numeric(7,2)", "collection_value numeric(7,2)",
                           "collection_place char(64)", "collection_note char(128)"}),
              Columns("figure_collection"));
    EXPECT_EQ(before, Scalar(others).toString());
    EXPECT_EQ("Hussar", Column("select figure_name from figures"));

    const QString upgraded = Schema();
    Check();
    EXPECT_EQ(upgraded, Schema());
}

// The statements a query runs on the connection, as the engine sees them.
class StatementRecorder {
public:
    explicit StatementRecorder(sqlite3* handle) : handle_(handle) {
        sqlite3_trace_v2(handle_, SQLITE_TRACE_STMT, &StatementRecorder::Traced, this);
    }
    ~StatementRecorder() { Stop(); }
    void Stop() { sqlite3_trace_v2(handle_, 0, nullptr, nullptr); }

    QStringList statements;

private:
    static int Traced(unsigned, void* context, void* statement, void*) {
        static_cast<StatementRecorder*>(context)->statements
            << QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt*>(statement)));
        return 0;
    }

    sqlite3* handle_;
};

// How the engine runs the figures list: its rows from the list index alone,
// never from the table with its pictures; a memo or picture of one row by
// that row's key.
TEST_F(StructureTest, FiguresListReadsItsRowsFromTheIndexAndItsBlobsByKey) {
    Check();
    Exec("insert into producers (producer_id, producer_name) values ('P1', 'Old Guard')");
    Exec("insert into genres (genre_id, genre_name) values ('G1', 'Napoleonic')");
    for (int i = 0; i < 3; ++i)
        Exec("insert into figures (figure_id, figure_name, producer_id, genre_id, figure_dsc, "
             "picture_th, picture) values (?, ?, 'P1', 'G1', 'about', ?, ?)",
             {QStringLiteral("K%1").arg(i), QStringLiteral("Figure %1").arg(3 - i),
              QByteArray(45000, 't'), QByteArray(200000, 'p')});
    const QStringList columns = {"select",
                                 "   f.figure_id,",
                                 "   f.figure_name,",
                                 "   f.producer_id,",
                                 "   f.genre_id,",
                                 "   f.type_ci,",
                                 "   f.scale,",
                                 "   f.figure_dsc,",
                                 "   f.figure_files,",
                                 "   f.picture_th,",
                                 "   f.sculpter_name,",
                                 "   f.painter_name,",
                                 "   p.producer_name,",
                                 "   g.genre_name",
                                 "from figures f",
                                 "left outer join producers p on (f.producer_id = p.producer_id)",
                                 "left outer join genres g      on (f.genre_id = g.genre_id)"};
    // As the main window filters it, and not.
    for (const QString& filter : {QString(), QStringLiteral(" where f.genre_id='G1'")}) {
        SCOPED_TRACE(filter.toStdString());
        TQuery list;
        list.SQL = columns + QStringList{filter, "order by f.figure_name"};
        list.KeyField = QStringLiteral("figure_id");
        StatementRecorder recorder(RawSqlite(database_));
        list.Open();
        ASSERT_EQ(3, list.RecordCount());
        EXPECT_EQ("Figure 1", list.ValueAt(0, 1).toString());
        EXPECT_EQ("about", list.ValueAt(0, list.FieldIndex("figure_dsc")).toString());
        recorder.Stop();
        ASSERT_EQ(2, recorder.statements.size()) << recorder.statements.join('\n').toStdString();

        const QString rows = Plan(recorder.statements[0]);
        EXPECT_TRUE(rows.contains("SCAN f USING COVERING INDEX figures_list"))
            << rows.toStdString();
        EXPECT_FALSE(rows.contains("B-TREE")) << "the index gives the order";
        EXPECT_FALSE(rows.contains("SEARCH f")) << rows.toStdString();

        QString byKey = recorder.statements[1];
        byKey.replace(":__velmora_key", "'K2'");
        // (With a filter the engine still sorts the one row it finds.)
        EXPECT_EQ("SEARCH f USING INDEX sqlite_autoindex_figures_1 (figure_id=?)",
                  Plan(byKey).section(',', 0, 0).toStdString());
    }
}

TEST_F(StructureTest, CheckWindowRunsOnItsTimerAndReportsSuccess) {
    TF_check_DB window;
    window.BuildStructure();
    EXPECT_EQ(6, window.Structure().ChildCount());
    EXPECT_TRUE(TF_check_DB::EngineVersionOk());
    EXPECT_EQ(0, window.Run());
    EXPECT_EQ(6, window.PB1->value());
    EXPECT_EQ(6, window.PB1->maximum());
    EXPECT_EQ(QStringList({"figure_id char(32) pk"}), Columns("figures").mid(0, 1));
}

} // namespace
