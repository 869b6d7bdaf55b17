// The program's own connection to its database file, and the values its
// statements read.

#include "EngineCode.h"
#include "EngineConnection.h"
#include "TSqlStatement.h"
#include "TempDatabaseTest.h"

#include <QFileInfo>

#include <cmath>

namespace {

class ConnectionTest : public TempDatabaseTest {};

TEST_F(ConnectionTest, OpeningCreatesTheFileAndWaitsForOtherProgramsAsLongAsTheDriverDid) {
    EXPECT_TRUE(QFileInfo(database_.FileName()).isFile());
    ASSERT_NE(nullptr, database_.Handle());
    EXPECT_EQ(5000, database_.Handle()->BusyTimeout());
    database_.Close();
    EXPECT_EQ(nullptr, database_.Handle());
}

TEST_F(ConnectionTest, AReadOnlyConnectionNeitherCreatesTheFileNorWrites) {
    Exec("create table t (k char(32))");
    database_.Close();
    database_.ReadOnly = true;
    database_.Open();
    EXPECT_EQ("", RunSql(database_, "select count(*) from t").toStdString());
    try {
        TSqlStatement(database_.Handle(), "insert into t values ('K')").Run();
        ADD_FAILURE() << "written";
    } catch (const EDatabaseError& error) {
        EXPECT_EQ(EngineCode::ReadOnly, EngineCode::Primary(error.EngineCode));
    }

    QTemporaryDir empty;
    TDatabase elsewhere(QStringLiteral("ELSEWHERE"));
    elsewhere.Params = {QStringLiteral("PATH=") + empty.path()};
    elsewhere.ReadOnly = true;
    EXPECT_THROW(elsewhere.Open(), EDatabaseError);
    EXPECT_FALSE(QFileInfo::exists(elsewhere.FileName()));
}

// Each value comes back as the type its callers look for, as the toolkit's
// driver gave it.
TEST_F(ConnectionTest, ValuesReadKeepTheirKind) {
    Exec("create table v (n integer, price numeric(7,2), name char(32), memo blob(1,1), "
         "picture blob(1,5))");
    Exec("insert into v values (?, ?, ?, ?, ?)",
         {7, 0.1 + 0.2, QString("Hussar"), QString(""), QByteArray("\x01\x02", 2)});
    Exec("insert into v values (null, null, null, null, ?)", {QByteArray("")});
    const QList<QVariantList> rows = SelectRows("select * from v order by rowid");
    ASSERT_EQ(2, rows.size());
    const struct {
        QVariant value;
        QMetaType::Type type;
        bool null;
        QVariant expected;
    } cases[] = {
        {rows[0][0], QMetaType::LongLong, false, 7LL},
        {rows[0][1], QMetaType::Double, false, 0.1 + 0.2},
        {rows[0][2], QMetaType::QString, false, QString("Hussar")},
        {rows[0][3], QMetaType::QString, false, QString("")},
        {rows[0][4], QMetaType::QByteArray, false, QByteArray("\x01\x02", 2)},
        {rows[1][0], QMetaType::QString, true, QVariant()},
        {rows[1][3], QMetaType::QString, true, QVariant()},
        {rows[1][4], QMetaType::QByteArray, false, QByteArray()},
    };
    for (const auto& c : cases) {
        const std::string shown = c.value.toString().toStdString();
        EXPECT_EQ(c.type, c.value.typeId()) << shown;
        EXPECT_EQ(c.null, c.value.isNull()) << shown;
        if (!c.null) {
            EXPECT_EQ(c.expected, c.value) << shown;
        }
    }
    EXPECT_FALSE(rows[0][3].toString().isNull());
}

} // namespace
