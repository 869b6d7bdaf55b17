#pragma once

#include "DatabaseStructure.h"
#include "EDatabaseError.h"
#include "EngineConnection.h"
#include "EngineSql.h"
#include "EngineTest.h"
#include "TDatabase.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>

#include <gtest/gtest.h>

#include <functional>

// A connection string of the server whose search path is the schema.
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

    void Exec(const QString& statement, const QVariantList& values = {}) {
        const QString error = RunSql(database_, statement, values);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
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
