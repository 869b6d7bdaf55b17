#pragma once

#include "DatabaseStructure.h"
#include "EngineCode.h"
#include "EngineConnection.h"
#include "TSqlStatement.h"

#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

#include <memory>
#include <string>

// The engines a test of the engine interface runs on.
enum class TestEngine { Sqlite, PostgreSql };

inline std::string TestEngineName(const ::testing::TestParamInfo<TestEngine>& info) {
    return info.param == TestEngine::Sqlite ? "Sqlite" : "PostgreSql";
}

// A new, empty database of the engine the test runs on: a file in a
// temporary folder, or a schema of its own on the server that the
// environment variable VELMORA_TEST_PG names with a libpq connection
// string (dropped at the end). Without that variable the server's tests
// are skipped.
class EngineTest : public ::testing::TestWithParam<TestEngine> {
protected:
    void SetUp() override { Open(GetParam()); }

    void Open(TestEngine engine) {
        engine_ = engine;
        if (engine == TestEngine::Sqlite) {
            ASSERT_TRUE(folder_.isValid());
            db_ = Another();
            ASSERT_TRUE(db_);
            return;
        }
        conninfo_ = qEnvironmentVariable("VELMORA_TEST_PG");
        if (conninfo_.isEmpty())
            GTEST_SKIP() << "VELMORA_TEST_PG is not set: the tests on a PostgreSQL server are "
                            "skipped";
        schema_ = QStringLiteral("test_") + QUuid::createUuid().toString(QUuid::Id128);
        QString error;
        db_ = EngineConnection::OpenServer(conninfo_, &error);
        ASSERT_TRUE(db_) << error.toStdString();
        Exec(QStringLiteral("create schema ") + schema_);
        Exec(QStringLiteral("set search_path to ") + schema_);
    }

    void TearDown() override {
        if (!db_ || schema_.isEmpty())
            return;
        if (db_->InTransaction())
            db_->Exec("rollback");
        db_->Exec("drop schema " + schema_.toUtf8() + " cascade");
    }

    // A second connection to the same database.
    std::unique_ptr<EngineConnection> Another() {
        QString error;
        std::unique_ptr<EngineConnection> db;
        if (engine_ == TestEngine::Sqlite) {
            db = EngineConnection::OpenFile(folder_.filePath(QStringLiteral("test.db")),
                                            EngineConnection::OpenMode::ReadWriteCreate, &error);
        } else {
            db = EngineConnection::OpenServer(conninfo_, &error);
            if (db)
                db->Exec("set search_path to " + schema_.toUtf8());
        }
        EXPECT_TRUE(db) << error.toStdString();
        return db;
    }

    EngineConnection& Db() { return *db_; }
    EngineConnection::Dialect Dialect() const { return db_->SqlDialect(); }

    // A column type of the structure description in the engine's SQL.
    QString Type(const char* type) const {
        return DatabaseStructure::ColumnType(QString::fromLatin1(type), Dialect());
    }

    void Exec(const QString& sql) {
        ASSERT_EQ(EngineCode::Ok, db_->Exec(sql.toUtf8())) << db_->ErrorMessage().toStdString();
    }

    // The first column of every row, joined with ",".
    QString Column(const QString& sql) {
        TSqlStatement statement(db_.get(), sql);
        QStringList values;
        while (statement.Step())
            values << QString::fromUtf8(statement.ColumnBytes(0).toByteArray());
        return values.join(QLatin1Char(','));
    }

    TestEngine engine_ = TestEngine::Sqlite;
    QTemporaryDir folder_;
    QString conninfo_;
    QString schema_;
    std::unique_ptr<EngineConnection> db_;
};

#define VELMORA_ON_EVERY_ENGINE(suite)                                                             \
    INSTANTIATE_TEST_SUITE_P(Engines, suite,                                                       \
                             ::testing::Values(TestEngine::Sqlite, TestEngine::PostgreSql),        \
                             TestEngineName)
