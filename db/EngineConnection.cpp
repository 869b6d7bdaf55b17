#include "EngineConnection.h"

#include "EngineVersion.h"
#include "SqliteConnection.h"

// The program has one engine, SQLite; another one is chosen here.

EngineConnection::~EngineConnection() = default;

QString EngineConnection::CopyInto(const QString&) {
    return QStringLiteral("the database engine can not copy a database");
}

std::unique_ptr<EngineConnection> EngineConnection::OpenFile(const QString& file, OpenMode mode,
                                                             QString* error) {
    return SqliteConnection::Open(file, mode, error);
}

EngineVersion EngineConnection::LinkedVersion() {
    return SqliteConnection::LinkedVersion();
}

QString EngineConnection::CodeText(int code) {
    return SqliteConnection::CodeText(code);
}
