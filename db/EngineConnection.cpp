#include "EngineConnection.h"

#include "EngineVersion.h"
#include "PgConnection.h"
#include "SqliteConnection.h"

// A catalog in a file is kept by SQLite, one on a server by PostgreSQL.

EngineConnection::~EngineConnection() = default;

QString EngineConnection::CopyInto(const QString&) {
    return QStringLiteral("the database engine can not copy a database");
}

std::unique_ptr<EngineConnection> EngineConnection::OpenFile(const QString& file, OpenMode mode,
                                                             QString* error) {
    return SqliteConnection::Open(file, mode, error);
}

std::unique_ptr<EngineConnection> EngineConnection::OpenServer(const QString& conninfo,
                                                               QString* error) {
    return PgConnection::Open(conninfo, error);
}

EngineVersion EngineConnection::LinkedVersion() {
    return SqliteConnection::LinkedVersion();
}

QString EngineConnection::CodeText(int code) {
    return SqliteConnection::CodeText(code);
}
