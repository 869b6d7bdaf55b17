#include "TTable.h"

#include "DBactions.h"

#include "EDatabaseError.h"
#include "TDatabase.h"
#include "TSqlStatement.h"

TTable::TTable(const QString& databaseName) : DatabaseName(databaseName) {}

QStringList TTable::GetFieldNames() const {
    TDatabase& database = TDatabase::Connected(DatabaseName);
    TSqlStatement columns(database.Handle(),
                          QStringLiteral("pragma table_info(%1)").arg(SqlQuotedName(TableName)));
    QStringList names;
    while (columns.Step())
        names << columns.ColumnValue(1).toString();
    if (names.isEmpty())
        throw EDatabaseError(QStringLiteral("Table does not exist: %1").arg(TableName));
    return names;
}

void TTable::Open() {
    if (active_)
        return;
    GetFieldNames();
    if (Exclusive) {
        // Taking the database's exclusive lock fails while another program
        // reads or writes it.
        EngineConnection* db = TDatabase::Connected(DatabaseName).Handle();
        ExecOrRaise(db, QStringLiteral("begin exclusive"));
        ExecOrRaise(db, QStringLiteral("commit"));
    }
    active_ = true;
    exclusive_ = Exclusive;
}

void TTable::Close() {
    active_ = false;
    exclusive_ = false;
}

QString TTable::TableType() const {
    return QStringLiteral("SQLITE");
}
