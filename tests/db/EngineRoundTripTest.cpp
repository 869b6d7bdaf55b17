// The engine interface on every engine the program can keep a catalog in:
// what is bound comes back byte for byte, parameters by name, declared
// types as the program writes them, transactions with savepoints, and the
// engine's failures as EngineCode values with its message.

#include "EDatabaseError.h"
#include "EngineTest.h"

#include <QDate>
#include <QRandomGenerator>

#include <functional>

namespace {

class EngineRoundTrip : public EngineTest {
protected:
    void MakeTable() {
        Exec(QStringLiteral("create table t (k %1 primary key, memo %2, picture %3, "
                            "price numeric(7,2), day date, n integer)")
                 .arg(Type("char(32)"), Type("blob(1,1)"), Type("blob(1,5)")));
    }

    // The engine code a statement fails with; EngineCode::Ok when it runs.
    int CodeOf(EngineConnection& db, const QString& text) {
        try {
            TSqlStatement(&db, text).Run();
        } catch (const EDatabaseError& error) {
            return EngineCode::Primary(error.EngineCode);
        }
        return EngineCode::Ok;
    }
};

TEST_P(EngineRoundTrip, ColumnsTellTheDeclaredTypeAndWhereTheyComeFrom) {
    MakeTable();
    struct Case {
        const char* expression;
        const char* declared; // in the program's form; empty for an expression
        const char* origin;
    };
    const Case cases[] = {
        {"k", "char(32)", "k"},
        {"memo", "blob(1,1)", "memo"},
        {"picture", "blob(1,5)", "picture"},
        {"price", "numeric(7,2)", "price"},
        {"day", "date", "day"},
        {"n as number", "integer", "n"},
        {"k || 'x' as e", "", ""},
    };
    for (const Case& c : cases) {
        const TSqlStatement statement(
            &Db(), QStringLiteral("select %1 from t").arg(QLatin1String(c.expression)));
        ASSERT_EQ(1, statement.ColumnCount()) << c.expression;
        EXPECT_EQ(QString::fromLatin1(c.declared), statement.ColumnDeclType(0).toLower())
            << c.expression;
        EXPECT_EQ(QString::fromLatin1(c.origin), statement.ColumnOriginName(0)) << c.expression;
        EXPECT_EQ(*c.origin ? QStringLiteral("t") : QString(), statement.ColumnTableName(0))
            << c.expression;
    }
}

TEST_P(EngineRoundTrip, BoundValuesComeBackExactly) {
    MakeTable();
    QByteArray picture(5 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator random(24);
    for (char& byte : picture)
        byte = static_cast<char>(random.bounded(256));
    const QString cyrillic = QStringLiteral("Кінь гусара, 1812 — «Бородіно»");
    // Bytes bound in place stay where they are until the statement has run.
    const QByteArray cyrillicUtf8 = cyrillic.toUtf8();
    struct Case {
        const char* column;
        std::function<void(TSqlStatement&)> bind;
        QByteArray bytes; // as read back
        bool null;
    };
    const std::vector<Case> cases = {
        {"memo", [&](TSqlStatement& s) { s.Bind(2, cyrillic); }, cyrillic.toUtf8(), false},
        {"memo", [&](TSqlStatement& s) { s.BindUtf8(2, cyrillicUtf8, true); }, cyrillic.toUtf8(),
         false},
        {"memo", [](TSqlStatement& s) { s.Bind(2, QVariant()); }, {}, true},
        {"picture", [&](TSqlStatement& s) { s.BindBlob(2, picture, true); }, picture, false},
        {"picture", [](TSqlStatement& s) { s.Bind(2, QByteArray()); }, "", false},
        {"n", [](TSqlStatement& s) { s.Bind(2, 2147483647); }, "2147483647", false},
        {"n", [](TSqlStatement& s) { s.Bind(2, -7); }, "-7", false},
        {"day", [](TSqlStatement& s) { s.Bind(2, QDate(1812, 9, 7)); }, "1812-09-07", false},
        {"price", [](TSqlStatement& s) { s.Bind(2, 12345.5); }, "12345.5", false},
        {"price", [](TSqlStatement& s) { s.Bind(2, -0.05); }, "-0.05", false},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const QString key = QStringLiteral("Ключ-%1").arg(i);
        TSqlStatement insert(
            &Db(),
            QStringLiteral("insert into t (k, %1) values (:k, :v)").arg(QLatin1String(c.column)));
        insert.Bind(1, key);
        c.bind(insert);
        insert.Run();
        // Beside columns that make the rows come as text or as binary.
        for (const char* extra : {"", ", picture", ", current_timestamp"}) {
            TSqlStatement select(&Db(), QStringLiteral("select %1, k%2 from t where k = :k")
                                            .arg(QLatin1String(c.column), QLatin1String(extra)));
            select.Bind(1, key);
            ASSERT_TRUE(select.Step()) << c.column << i;
            const QVariant value = select.ColumnBytes(0);
            EXPECT_EQ(c.null, value.isNull()) << c.column << i << extra;
            if (QByteArrayView(c.column) == "price")
                EXPECT_DOUBLE_EQ(c.bytes.toDouble(), value.toByteArray().toDouble()) << extra;
            else
                EXPECT_TRUE(c.bytes == value.toByteArray()) << c.column << i << extra;
            EXPECT_EQ(key.toUtf8(), select.ColumnBytes(1).toByteArray()) << extra;
            EXPECT_FALSE(select.Step());
        }
    }
}

TEST_P(EngineRoundTrip, AParameterNamedTwiceIsOneParameter) {
    TSqlStatement statement(&Db(), QStringLiteral("select :a, :b, :a"));
    ASSERT_EQ(2, statement.ParamCount());
    EXPECT_EQ(QStringLiteral("a"), statement.ParamName(1));
    EXPECT_EQ(QStringLiteral("b"), statement.ParamName(2));
    statement.BindAll([](const QString& name) { return name + QStringLiteral("!"); });
    ASSERT_TRUE(statement.Step());
    for (const auto& [column, text] : {std::pair{0, "a!"}, {1, "b!"}, {2, "a!"}})
        EXPECT_EQ(QByteArray(text), statement.ColumnBytes(column).toByteArray()) << column;
}

TEST_P(EngineRoundTrip, ASavepointRollsBackAloneAndChangesAreCounted) {
    MakeTable();
    {
        TSqlTransaction outer(&Db(), TSqlTransaction::Lock::Immediate);
        Exec(QStringLiteral("insert into t (k) values ('A')"));
        {
            TSqlTransaction inner(&Db(), TSqlTransaction::Lock::Immediate);
            Exec(QStringLiteral("insert into t (k) values ('B')"));
            EXPECT_EQ(EngineCode::Constraint,
                      CodeOf(Db(), QStringLiteral("insert into t (k) values ('A')")));
        }
        outer.Commit();
    }
    EXPECT_EQ(QStringLiteral("A"), Column(QStringLiteral("select k from t")));
    Exec(QStringLiteral("insert into t (k, n) values ('B', 1), ('C', 1)"));
    Exec(QStringLiteral("update t set n = 2 where n = 1"));
    EXPECT_EQ(2, Db().Changes());
    Column(QStringLiteral("select k from t"));
    EXPECT_EQ(2, Db().Changes());
}

TEST_P(EngineRoundTrip, FailuresCarryTheEnginesCodeAndMessage) {
    MakeTable();
    Exec(QStringLiteral("insert into t (k) values ('A')"));
    const std::unique_ptr<EngineConnection> other = Another();
    ASSERT_TRUE(other);
    Db().SetBusyTimeout(0);
    struct Case {
        const char* statement;
        bool locked; // while another program writes the same row
        int code;
        const char* message; // a part of it, in any case
    };
    const Case cases[] = {
        {"selec 1", false, EngineCode::Error, "syntax error"},
        {"insert into t (k) values ('A')", false, EngineCode::Constraint, "unique"},
        {"update t set n = 2 where k = 'A'", true, EngineCode::Busy, ""},
    };
    for (const Case& c : cases) {
        if (c.locked) {
            ASSERT_EQ(EngineCode::Ok, other->Exec("begin immediate"));
            ASSERT_EQ(EngineCode::Ok, other->Exec("update t set n = 1 where k = 'A'"));
        }
        EXPECT_EQ(c.code, CodeOf(Db(), QString::fromLatin1(c.statement))) << c.statement;
        EXPECT_FALSE(Db().ErrorMessage().isEmpty()) << c.statement;
        EXPECT_TRUE(Db().ErrorMessage().contains(QLatin1String(c.message), Qt::CaseInsensitive))
            << Db().ErrorMessage().toStdString();
        if (c.locked)
            other->Exec("rollback");
    }
}

VELMORA_ON_EVERY_ENGINE(EngineRoundTrip);

// What only the server does: a failure ends the whole transaction.
class ServerEngine : public EngineRoundTrip {
protected:
    void SetUp() override { Open(TestEngine::PostgreSql); }
};

TEST_F(ServerEngine, CommittingAfterAFailureRaisesRatherThanLosingTheWorkSilently) {
    MakeTable();
    TSqlTransaction transaction(&Db(), TSqlTransaction::Lock::Immediate);
    Exec(QStringLiteral("insert into t (k) values ('A')"));
    EXPECT_EQ(EngineCode::Error, CodeOf(Db(), QStringLiteral("selec 1")));
    EXPECT_THROW(transaction.Commit(), EDatabaseError);
    EXPECT_EQ(QString(), Column(QStringLiteral("select k from t")));
}

TEST_F(ServerEngine, WritingInAReadOnlyTransactionIsReadOnly) {
    MakeTable();
    Exec(QStringLiteral("begin read only"));
    EXPECT_EQ(EngineCode::ReadOnly, CodeOf(Db(), QStringLiteral("insert into t (k) values ('A')")));
}

} // namespace
