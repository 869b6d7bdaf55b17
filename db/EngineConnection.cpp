#include "EngineConnection.h"

#include "EngineCode.h"
#include "EngineVersion.h"
#include "PgConnection.h"
#include "SqliteConnection.h"

// A catalog in a file is kept by SQLite, one on a server by PostgreSQL.

EngineConnection::~EngineConnection() = default;

QString EngineConnection::CopyInto(const QString&) {
    return QStringLiteral("the database engine can not copy a database");
}

int EngineConnection::Listen(const QString&) {
    return EngineCode::Ok;
}

int EngineConnection::Notify(const QString&, const QString&) {
    return EngineCode::Ok;
}

QList<EngineConnection::Notification> EngineConnection::TakeNotifications() {
    return {};
}

int EngineConnection::NotificationSocket() const {
    return -1;
}

bool EngineConnection::MayWrite(const QString&) {
    return true;
}

std::unique_ptr<EngineConnection> EngineConnection::OpenFile(const QString& file, OpenMode mode,
                                                             QString* error) {
    return SqliteConnection::Open(file, mode, error);
}

std::unique_ptr<EngineConnection> EngineConnection::OpenServer(const QString& conninfo,
                                                               QString* error,
                                                               const QString& password,
                                                               bool* needsPassword) {
    return PgConnection::Open(conninfo, error, password, needsPassword);
}

EngineVersion EngineConnection::LinkedVersion() {
    return SqliteConnection::LinkedVersion();
}

QString EngineConnection::CodeText(int code) {
    return SqliteConnection::CodeText(code);
}
