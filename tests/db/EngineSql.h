#pragma once

#include "EDatabaseError.h"
#include "TDatabase.h"
#include "TSqlStatement.h"

#include <QList>
#include <QString>
#include <QVariant>

// Statements a test runs to set up or read the tables behind the code under
// test, on the connection the program uses.

// Runs the statement to its end, binding values to its parameters in turn;
// empty, or the engine's message.
inline QString RunSql(EngineConnection* db, const QString& statement,
                      const QVariantList& values = {}) {
    try {
        TSqlStatement sql(db, statement);
        for (int i = 0; i < values.size(); ++i)
            sql.Bind(i + 1, values[i]);
        sql.Run();
    } catch (const EDatabaseError& error) {
        return error.Message();
    }
    return {};
}

inline QString RunSql(const TDatabase& database, const QString& statement,
                      const QVariantList& values = {}) {
    return RunSql(database.Handle(), statement, values);
}

// Every row of a select, each as its values; raises EDatabaseError.
inline QList<QVariantList> SqlRows(EngineConnection* db, const QString& statement) {
    TSqlStatement sql(db, statement);
    QList<QVariantList> rows;
    while (sql.Step())
        rows.append(sql.RowValues());
    return rows;
}

inline QList<QVariantList> SqlRows(const TDatabase& database, const QString& statement) {
    return SqlRows(database.Handle(), statement);
}

// The first column of the first row; an invalid QVariant for no row.
inline QVariant SqlScalar(const TDatabase& database, const QString& statement) {
    const QList<QVariantList> rows = SqlRows(database, statement);
    return rows.isEmpty() ? QVariant() : rows.first().value(0);
}
