#pragma once

#include "EDatabaseError.h"
#include "TDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
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
        QSqlQuery query(database_.Connection());
        ASSERT_TRUE(query.prepare(statement)) << query.lastError().text().toStdString();
        for (const QVariant& value : values)
            query.addBindValue(value);
        ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
    }

    // The first column of every row, joined with ",".
    QString Column(const QString& statement) {
        QSqlQuery query(database_.Connection());
        EXPECT_TRUE(query.exec(statement)) << query.lastError().text().toStdString();
        QStringList values;
        while (query.next())
            values << query.value(0).toString();
        return values.join(QLatin1Char(','));
    }

    QVariant Scalar(const QString& statement) {
        QSqlQuery query(database_.Connection());
        EXPECT_TRUE(query.exec(statement)) << query.lastError().text().toStdString();
        return query.next() ? query.value(0) : QVariant();
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
