#include "EngineStatement.h"
#include "EngineTest.h"

#include <QElapsedTimer>

#include <memory>

// How statements behave on a server: prepared once for their text, rows
// streamed as they come, waiting for another client's locks.
class ServerStatement : public EngineTest {
protected:
    void SetUp() override { Open(TestEngine::PostgreSql); }

    std::unique_ptr<EngineStatement> Prepared(EngineConnection& db, const char* text) {
        std::unique_ptr<EngineStatement> statement;
        EXPECT_EQ(EngineCode::Ok, db.Prepare(text, &statement, nullptr))
            << db.ErrorMessage().toStdString();
        return statement;
    }
};

TEST_F(ServerStatement, TheSameTextRunsTheStatementPreparedBefore) {
    for (int value : {1, 2}) {
        auto statement = Prepared(Db(), "select :n::integer + 40");
        ASSERT_EQ(EngineCode::Ok, statement->BindInt64(1, value));
        ASSERT_EQ(EngineCode::Row, statement->Step());
        EXPECT_EQ(40 + value, statement->ColumnInt64(0));
    }
    EXPECT_EQ(QStringLiteral("2"), Column(QStringLiteral("select generic_plans + custom_plans from "
                                                         "pg_prepared_statements where statement = "
                                                         "'select $1::integer + 40'")));
}

TEST_F(ServerStatement, AChangedTableIsReadWithItsNewColumns) {
    Exec(QStringLiteral("create table t (a integer)"));
    Exec(QStringLiteral("insert into t values (1)"));
    EXPECT_EQ(1, Prepared(Db(), "select * from t")->ColumnCount());
    Exec(QStringLiteral("alter table t add column b integer"));
    auto statement = Prepared(Db(), "select * from t");
    EXPECT_EQ(2, statement->ColumnCount());
    EXPECT_EQ(EngineCode::Row, statement->Step());
}

TEST_F(ServerStatement, RowsComeBeforeTheRunEnds) {
    auto rows = Prepared(Db(), "select 10 / (3 - i) from generate_series(1, 5) i");
    EXPECT_EQ(EngineCode::Row, rows->Step());
    EXPECT_EQ(EngineCode::Row, rows->Step());
    EXPECT_EQ(EngineCode::Error, rows->Step());
}

TEST_F(ServerStatement, OtherStatementsRunWhileRowsAreComing) {
    Exec(QStringLiteral("create table seen (i integer)"));
    ASSERT_EQ(EngineCode::Ok, Db().Exec("begin"));
    auto rows = Prepared(Db(), "select i from generate_series(1, 3) i");
    while (rows->Step() == EngineCode::Row) {
        EXPECT_TRUE(Db().InTransaction());
        auto insert = Prepared(Db(), "insert into seen values (:i)");
        ASSERT_TRUE(insert);
        insert->BindInt64(1, rows->ColumnInt64(0));
        ASSERT_EQ(EngineCode::Done, insert->Step());
    }
    ASSERT_EQ(EngineCode::Ok, Db().Exec("commit"));
    EXPECT_EQ(QStringLiteral("1,2,3"), Column(QStringLiteral("select i from seen order by i")));
}

TEST_F(ServerStatement, AWriteWaitsForAnotherClientsLockUntilTheBusyTimeout) {
    Exec(QStringLiteral("create table t (k integer primary key, n integer)"));
    Exec(QStringLiteral("insert into t values (1, 0)"));
    const std::unique_ptr<EngineConnection> other = Another();
    ASSERT_EQ(EngineCode::Ok, other->Exec("begin"));
    ASSERT_EQ(EngineCode::Ok, other->Exec("update t set n = 1 where k = 1"));
    Db().SetBusyTimeout(300);
    EXPECT_EQ(300, Db().BusyTimeout());
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(EngineCode::Busy, Db().Exec("update t set n = 2 where k = 1"));
    EXPECT_GE(waited.elapsed(), 250);
    EXPECT_LT(waited.elapsed(), 3000);
    // A setting made in a transaction that was rolled back is gone again.
    ASSERT_EQ(EngineCode::Ok, Db().Exec("begin"));
    Db().SetBusyTimeout(50);
    ASSERT_EQ(EngineCode::Ok, Db().Exec("rollback"));
    EXPECT_EQ(300, Db().BusyTimeout());
}
