#pragma once

#include "EDatabaseError.h"
#include "EngineSql.h"
#include "TDatabase.h"

#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <functional>

// The connection "ADB" open on a new database file in a temporary folder,
// with shortcuts for setting up and reading the tables behind the code
// under test.
class TempDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        database_.DriverName = QStringLiteral("STANDARD");
        database_.Params = {QStringLiteral("PATH=") + folder_.path(),
                            QStringLiteral("DEFAULT DRIVER=PARADOX")};
        database_.Open();
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
};
