#pragma once

#include "DatabaseStructure.h"
#include "EDatabaseError.h"
#include "EngineConnection.h"
#include "EngineSql.h"
#include "EngineTest.h"
#include "TDatabase.h"

#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

// A connection string of the server whose search path is the schema.
inline void PrintTo(TestEngine engine, std::ostream* out) {
    *out << (engine == TestEngine::Sqlite ? "Sqlite" : "PostgreSql");
}

inline QString ServerWithSearchPath(const QString& server, const QString& schema) {
    if (server.contains(QLatin1String("://")))
        return server + (server.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) +
               QStringLiteral("options=-csearch_path%3D") + schema;
    return server + QStringLiteral(" options='-csearch_path=") + schema + QLatin1Char('\'');
}

// The connection "ADB" open on a new database file in a temporary folder,
// with shortcuts for setting up and reading the tables behind the code
// under test. Wrapped in OnEveryEngine, the same tests run once more on a
// schema of their own on the PostgreSQL server VELMORA_TEST_PG names
// (skipped without it); the temporary folder is there on both.
class TempDatabaseTest : public ::testing::Test {
protected:
    virtual TestEngine Engine() const { return TestEngine::Sqlite; }

    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        database_.DriverName = QStringLiteral("STANDARD");
        database_.Params = {QStringLiteral("PATH=") + folder_.path(),
                            QStringLiteral("DEFAULT DRIVER=PARADOX")};
        if (Engine() == TestEngine::PostgreSql)
            UseServerSchema();
        if (!HasFatalFailure() && !IsSkipped())
            database_.Open();
    }

    void TearDown() override {
        database_.Close();
        if (!schema_.isEmpty()) {
            QString error;
            if (auto admin = EngineConnection::OpenServer(server_, &error))
                admin->Exec("drop schema " + schema_.toUtf8() + " cascade");
        }
    }

    bool OnServer() const { return !schema_.isEmpty(); }

    // A create statement as written for the embedded engine, with its column
    // types in the SQL of the engine the test runs on.
    void CreateTable(const QString& statement) {
        static const QRegularExpression type(
            QStringLiteral("\\b(char\\(\\d+\\)|blob\\(\\d+,\\d+\\))"),
            QRegularExpression::CaseInsensitiveOption);
        QString mapped = statement;
        if (OnServer()) {
            QRegularExpressionMatchIterator it = type.globalMatch(statement);
            QList<QRegularExpressionMatch> matches;
            while (it.hasNext())
                matches << it.next();
            for (auto match = matches.crbegin(); match != matches.crend(); ++match)
                mapped.replace(match->capturedStart(), match->capturedLength(),
                               DatabaseStructure::ColumnType(
                                   match->captured(), EngineConnection::Dialect::PostgreSql));
        }
        Exec(mapped);
    }

    // Runs a statement. On the server a trigger that refuses a write, written
    // as the embedded engine has it ("create trigger T before insert|update
    // [of C]|delete on TABLE [when ...] begin select raise(abort, 'M'); end"),
    // and its "drop trigger T", become the server's.
    void Exec(const QString& statement, const QVariantList& values = {}) {
        const QStringList parts = OnServer() ? ServerForm(statement) : QStringList{statement};
        for (const QString& part : parts) {
            const QString error = RunSql(database_, part, values);
            ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        }
    }

    // The first column of every row, joined with ",".
    QString Column(const QString& statement) {
        QStringList values;
        for (const QVariantList& row : SelectRows(statement))
            values << row.value(0).toString();
        return values.join(QLatin1Char(','));
    }

    QVariant Scalar(const QString& statement) {
        const QList<QVariantList> rows = SelectRows(statement);
        return rows.isEmpty() ? QVariant() : rows.first().value(0);
    }

    // Every row, or none with a failure when the statement fails.
    QList<QVariantList> SelectRows(const QString& statement) {
        try {
            return SqlRows(database_, statement);
        } catch (const EDatabaseError& error) {
            ADD_FAILURE() << error.Message().toStdString();
        }
        return {};
    }

    // The message of the database error the operation raises, or
    // "(no error)".
    static QString RaisedMessage(const std::function<void()>& operation) {
        try {
            operation();
        } catch (const EDatabaseError& error) {
            return error.Message();
        }
        return QStringLiteral("(no error)");
    }

    QTemporaryDir folder_;
    TDatabase database_{QStringLiteral("ADB")};
    QString server_;
    QString schema_;

private:
    QStringList ServerForm(const QString& statement) {
        static const QRegularExpression refusal(
            QStringLiteral(
                "^create trigger (\\w+) (before (?:insert|update|delete)(?: of \\w+)?) "
                "on (\\w+)(?: when (.+?))? begin select raise\\(abort, '([^']*)'\\); end$"),
            QRegularExpression::CaseInsensitiveOption |
                QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression drop(QStringLiteral("^drop trigger (\\w+)$"),
                                             QRegularExpression::CaseInsensitiveOption);
        if (const auto match = refusal.match(statement.trimmed()); match.hasMatch()) {
            const QString name = match.captured(1);
            triggerTables_[name] = match.captured(3);
            const QString when = match.captured(4).isEmpty()
                                     ? QString()
                                     : QStringLiteral(" when (%1)").arg(match.captured(4));
            return {
                QStringLiteral(
                    "create function %1_refuses() returns trigger language plpgsql "
                    "as $$ begin raise exception '%2' using errcode = 'check_violation'; end $$")
                    .arg(name, match.captured(5)),
                QStringLiteral("create trigger %1 %2 on %3 for each row%4 execute function "
                               "%1_refuses()")
                    .arg(name, match.captured(2), match.captured(3), when)};
        }
        if (const auto match = drop.match(statement.trimmed()); match.hasMatch())
            return {QStringLiteral("drop trigger %1 on %2")
                        .arg(match.captured(1), triggerTables_.value(match.captured(1))),
                    QStringLiteral("drop function %1_refuses()").arg(match.captured(1))};
        return {statement};
    }

    QHash<QString, QString> triggerTables_;

    // The connection goes to a new schema: the connection string gets the
    // schema as its search path.
    void UseServerSchema() {
        const QString server = qEnvironmentVariable("VELMORA_TEST_PG");
        if (server.isEmpty())
            GTEST_SKIP() << "VELMORA_TEST_PG is not set: the tests on a PostgreSQL server are "
                            "skipped";
        QString error;
        const auto admin = EngineConnection::OpenServer(server, &error);
        ASSERT_TRUE(admin) << error.toStdString();
        const QString schema = QStringLiteral("test_") + QUuid::createUuid().toString(QUuid::Id128);
        ASSERT_EQ(0, admin->Exec("create schema " + schema.toUtf8()))
            << admin->ErrorMessage().toStdString();
        server_ = server;
        schema_ = schema;
        database_.Server = ServerWithSearchPath(server, schema);
    }
};

// A fixture run once per engine: TEST_P on it, and VELMORA_ON_EVERY_ENGINE
// for its suite.
template <class Fixture>
class OnEveryEngine : public Fixture, public ::testing::WithParamInterface<TestEngine> {
protected:
    TestEngine Engine() const override { return this->GetParam(); }
};
