// The shared database routines against a real database file.

#include "DBactions.h"
#include "DialogRunner.h"
#include "EDatabaseError.h"
#include "ReportedSql.h"
#include "TDatabase.h"
#include "TField.h"
#include "TQuery.h"
#include "TTable.h"
#include "TempDatabaseTest.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

class DBactionsTest : public TempDatabaseTest {
protected:
    void SetUp() override {
        TempDatabaseTest::SetUp();
        Exec("create table producers (producer_id char(32), producer_name char(32), "
             "primary key (producer_id))");
        Exec("insert into producers values ('A1', 'O''Brien Miniatures')");
    }

    QStringList shown_;
    DialogRunner::ScopedMessageHook recorder_{[this](const QString& text) { shown_ << text; }};
};

TEST_F(DBactionsTest, RecordKeysAreNew32DigitUpperCaseHex) {
    const QString first = NewRecordKey();
    const QString second = NewRecordKey();
    const QRegularExpression key(QStringLiteral("^[0-9A-F]{32}$"));
    EXPECT_TRUE(key.match(first).hasMatch()) << first.toStdString();
    EXPECT_TRUE(key.match(second).hasMatch());
    EXPECT_NE(first, second);
}

TEST_F(DBactionsTest, RecordKeysMadeTogetherAreNewVersion4KeysInAscendingOrder) {
    const QList<QByteArray> keys = NewRecordKeys(1000);
    ASSERT_EQ(1000, keys.size());
    const QRegularExpression key(QStringLiteral("^[0-9A-F]{12}4[0-9A-F]{3}[89AB][0-9A-F]{15}$"));
    for (const QByteArray& made : keys)
        ASSERT_TRUE(key.match(QString::fromLatin1(made)).hasMatch()) << made.toStdString();
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_EQ(keys.end(), std::adjacent_find(keys.begin(), keys.end()));
    EXPECT_NE(keys, NewRecordKeys(1000));
}

TEST_F(DBactionsTest, QueryValueReadsTheFirstColumnOrReportsTheError) {
    EXPECT_EQ("O'Brien Miniatures",
              QueryValue({"select producer_name, producer_id", "from producers"}));
    // No row: empty, and nothing shown.
    EXPECT_EQ("", QueryValue({"select producer_name from producers where producer_id = 'X'"}));
    EXPECT_TRUE(shown_.isEmpty());

    EXPECT_EQ("", QueryValue({"select 'Y' as ex", "from  no_such_table", "where a='b' "}));
    ASSERT_EQ(1, shown_.size());
    EXPECT_TRUE(shown_[0].startsWith(QString::fromUtf8("Полмилка виконання запиту:\r\n")));
    EXPECT_TRUE(shown_[0].contains("no_such_table"));
}

TEST_F(DBactionsTest, ExecSqlRunsStatementsAndReportsFailures) {
    EXPECT_TRUE(ExecSql({"delete from producers where producer_id='A1'"}));
    EXPECT_EQ("0", QueryValue({"select count(*) from producers where producer_id='A1'"}));
    EXPECT_FALSE(ExecSql({"delete from nowhere"}));
    ASSERT_EQ(1, shown_.size());
    EXPECT_TRUE(shown_[0].startsWith(QString::fromUtf8("Помилка виконання:\n\n")));
}

TEST_F(DBactionsTest, QuotedValuesNeitherBreakNorChangeStatements) {
    // The key of a record as it would be inserted into a reference check.
    const QString hostile = QStringLiteral("x' or '1'='1");
    EXPECT_EQ("",
              QueryValue({"select 'Y' as ex", "from  producers",
                          QStringLiteral("where producer_id='%1' ").arg(SqlLiteralText(hostile))}));
    EXPECT_EQ("Y", QueryValue({"select 'Y' as ex", "from  producers",
                               QStringLiteral("where producer_name='%1' ")
                                   .arg(SqlLiteralText("O'Brien Miniatures"))}));
    EXPECT_TRUE(ExecSql({QStringLiteral("delete from producers where producer_id='%1'")
                             .arg(SqlLiteralText(hostile))}));
    EXPECT_EQ("1", QueryValue({"select count(*) from producers"}));
    EXPECT_TRUE(shown_.isEmpty());
}

TEST_F(DBactionsTest, StrToIntOrZeroTakesOnlyWholeNumbers) {
    EXPECT_EQ(12, StrToIntOrZero("12"));
    EXPECT_EQ(-7, StrToIntOrZero(" -7 "));
    EXPECT_EQ(0, StrToIntOrZero("12a"));
    EXPECT_EQ(0, StrToIntOrZero(""));
    EXPECT_EQ(0, StrToIntOrZero("99999999999"));
}

TEST_F(DBactionsTest, DataSetRoutinesActOnlyInTheirStatesAndNeverRaise) {
    TQuery query;
    TUpdateSQL update{{"insert into producers (producer_id, producer_name) values "
                       "(:producer_id, :producer_name)"},
                      {"update producers set producer_name = :producer_name where "
                       "producer_id = :OLD_producer_id"},
                      {"delete from producers where producer_id = :OLD_producer_id"}};
    query.UpdateObject = &update;
    query.KeyField = "producer_id";
    // Closed: nothing happens.
    DataSetEdit(query);
    EXPECT_FALSE(DataSetPost(query));
    EXPECT_FALSE(DataSetCancel(query));

    query.SQL = QStringList{"select * from producers"};
    query.Open();
    EXPECT_FALSE(DataSetPost(query)); // browsing
    DataSetEdit(query);
    EXPECT_EQ(TDataSetState::Edit, query.State());
    query.FieldByName("producer_name").SetAsString("Renamed");
    EXPECT_TRUE(DataSetPost(query));
    EXPECT_EQ("Renamed", QueryValue({"select producer_name from producers"}));

    // A post the engine refuses: false, and the query stays in insert state.
    query.Append();
    query.FieldByName("producer_id").SetAsString("A1");
    EXPECT_FALSE(DataSetPost(query));
    EXPECT_EQ(TDataSetState::Insert, query.State());
    EXPECT_TRUE(DataSetCancel(query));
    EXPECT_EQ(TDataSetState::Browse, query.State());
}

TEST_F(DBactionsTest, PackTableNeedsAnExclusivelyOpenedTable) {
    TTable table;
    table.TableName = "producers";
    try {
        PackTable(table);
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_EQ("Table must be opened to pack", error.Message());
    }
    table.Open();
    try {
        PackTable(table);
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_EQ("Table must be opened exclusively to pack", error.Message());
    }
    EXPECT_TRUE(table.Active());

    table.Close();
    table.Exclusive = true;
    table.Open();
    ASSERT_TRUE(ExecSql({"delete from producers"}));
    PackTable(table);
    EXPECT_TRUE(table.OpenedExclusively());
    EXPECT_EQ((QStringList{"producer_id", "producer_name"}), table.GetFieldNames());

    TTable missing;
    missing.TableName = "nowhere";
    EXPECT_THROW(missing.Open(), EDatabaseError);
}

} // namespace
