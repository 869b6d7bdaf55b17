#include "TTable.h"

#include "DBactions.h"

#include "EDatabaseError.h"
#include "TDatabase.h"

#include <QSqlError>
#include <QSqlQuery>

TTable::TTable(const QString& databaseName) : DatabaseName(databaseName) {}

QStringList TTable::GetFieldNames() const {
    TDatabase& database = TDatabase::Connected(DatabaseName);
    QSqlQuery query(database.Connection());
    ExecOrRaise(query, QStringLiteral("pragma table_info(%1)").arg(SqlQuotedName(TableName)));
    QStringList names;
    while (query.next())
        names << query.value(1).toString();
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
        QSqlQuery query(TDatabase::Connected(DatabaseName).Connection());
        ExecOrRaise(query, QStringLiteral("begin exclusive"));
        ExecOrRaise(query, QStringLiteral("commit"));
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
