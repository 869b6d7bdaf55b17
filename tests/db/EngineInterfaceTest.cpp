// The engine interface beneath the live query: parameter names as the
// program writes them, declared column types, bytes bound and read back,
// and the engine's failures as EngineCode values.

#include "EngineCode.h"
#include "EngineConnection.h"
#include "TSqlStatement.h"
#include "TempDatabaseTest.h"

#include <QFile>

namespace {

class EngineInterface : public TempDatabaseTest {
protected:
    EngineConnection& Handle() { return *database_.Handle(); }

    // The engine code a statement fails with; EngineCode::Ok when it runs.
    int CodeOf(const QString& text) {
        try {
            TSqlStatement(&Handle(), text).Run();
        } catch (const EDatabaseError& error) {
            return EngineCode::Primary(error.EngineCode);
        }
        return EngineCode::Ok;
    }
};

TEST_F(EngineInterface, ParametersKeepTheirNamesWithoutPrefixInOrderOfFirstUse) {
    const TSqlStatement statement(&Handle(), QStringLiteral("select :FID, :OLD_figure_id, ?, "
                                                            ":FID, @at, $dollar"));
    ASSERT_EQ(5, statement.ParamCount());
    const QStringList expected = {"FID", "OLD_figure_id", "", "at", "dollar"};
    for (int param = 1; param <= statement.ParamCount(); ++param)
        EXPECT_EQ(expected[param - 1], statement.ParamName(param)) << param;
}

TEST_F(EngineInterface, ColumnsTellTheTypeTheTableDeclaresInAnyCase) {
    Exec(QStringLiteral("create table t (k char(32), memo blob(1,1), picture blob(1,5), "
                        "price numeric(7,2), day date, n integer)"));
    const TSqlStatement statement(&Handle(),
                                  QStringLiteral("select k, memo, picture, price, day, n, "
                                                 "k || 'x' as e from t"));
    const QStringList expected = {"char(32)", "blob(1,1)", "blob(1,5)", "numeric(7,2)",
                                  "date",     "integer",   ""};
    ASSERT_EQ(expected.size(), statement.ColumnCount());
    for (int column = 0; column < statement.ColumnCount(); ++column)
        EXPECT_EQ(expected[column], statement.ColumnDeclType(column).toLower()) << column;
    EXPECT_EQ(QStringLiteral("t"), statement.ColumnTableName(0));
    EXPECT_EQ(QStringLiteral("k"), statement.ColumnOriginName(0));
    EXPECT_EQ(QStringLiteral("e"), statement.ColumnName(6));
}

TEST_F(EngineInterface, BoundValuesComeBackAsBytesAndEmptyIsNotNull) {
    struct Case {
        const char* name;
        std::function<void(TSqlStatement&)> bind;
        const char* type;
        QByteArray bytes;
        bool null;
    };
    const QByteArray held("held in place");
    const std::vector<Case> cases = {
        {"null", [](TSqlStatement& s) { s.Bind(1, QVariant()); }, "null", {}, true},
        {"empty bytes", [](TSqlStatement& s) { s.Bind(1, QByteArray()); }, "blob", "", false},
        {"empty utf8", [](TSqlStatement& s) { s.BindUtf8(1, QByteArray()); }, "text", "", false},
        {"empty blob", [](TSqlStatement& s) { s.BindBlob(1, QByteArray()); }, "blob", "", false},
        {"text", [](TSqlStatement& s) { s.Bind(1, QStringLiteral("Ä")); }, "text", "\xc3\x84",
         false},
        {"integer", [](TSqlStatement& s) { s.Bind(1, 42); }, "integer", "42", false},
        {"real", [](TSqlStatement& s) { s.Bind(1, 2.5); }, "real", "2.5", false},
        {"utf8 in place", [&](TSqlStatement& s) { s.BindUtf8(1, held, true); }, "text", held,
         false},
        {"blob in place", [&](TSqlStatement& s) { s.BindBlob(1, held, true); }, "blob", held,
         false},
    };
    for (const Case& c : cases) {
        TSqlStatement statement(&Handle(), QStringLiteral("select typeof(:v), :v"));
        c.bind(statement);
        ASSERT_TRUE(statement.Step()) << c.name;
        EXPECT_EQ(QByteArray(c.type), statement.ColumnBytes(0).toByteArray()) << c.name;
        const QVariant value = statement.ColumnBytes(1);
        EXPECT_EQ(c.null, value.isNull()) << c.name;
        EXPECT_EQ(c.bytes, value.toByteArray()) << c.name;
    }
}

TEST_F(EngineInterface, FailuresCarryTheEnginesCode) {
    Exec(QStringLiteral("create table t (k char(32) primary key)"));
    Exec(QStringLiteral("insert into t values ('A')"));
    // Another program holding the database.
    QString error;
    const std::unique_ptr<EngineConnection> other = EngineConnection::OpenFile(
        database_.FileName(), EngineConnection::OpenMode::ReadWrite, &error);
    ASSERT_TRUE(other) << error.toStdString();
    Handle().SetBusyTimeout(0);

    struct Case {
        const char* statement;
        bool locked; // while another program holds the database
        int code;
    };
    const Case cases[] = {
        {"insert into t values ('A')", false, EngineCode::Constraint},
        {"select * from missing", false, EngineCode::Error},
        {"select count(*) from t", false, EngineCode::Ok},
        {"insert into t values ('B')", true, EngineCode::Busy},
    };
    for (const Case& c : cases) {
        if (c.locked) {
            ASSERT_EQ(EngineCode::Ok, other->Exec("begin exclusive"));
        }
        EXPECT_EQ(c.code, CodeOf(QString::fromLatin1(c.statement))) << c.statement;
        if (c.code != EngineCode::Ok) {
            EXPECT_FALSE(Handle().ErrorMessage().isEmpty()) << c.statement;
        }
        if (c.locked)
            other->Exec("rollback");
    }
}

TEST(EngineFile, OpeningWhatIsNoDatabaseFileFailsWithTheEnginesMessage) {
    const QTemporaryDir folder;
    QString error;
    EXPECT_FALSE(EngineConnection::OpenFile(folder.filePath(QStringLiteral("none/x.db")),
                                            EngineConnection::OpenMode::ReadWrite, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
