#include "SqliteConnection.h"

#include "EngineCode.h"
#include "EngineVersion.h"
#include "SqliteStatement.h"

#include <QFile>

#include <sqlite3.h>

SqliteConnection::~SqliteConnection() {
    if (owned_)
        sqlite3_close_v2(db_);
}

std::unique_ptr<EngineConnection> SqliteConnection::Open(const QString& file, OpenMode mode,
                                                         QString* error) {
    sqlite3* db = nullptr;
    const int flags = mode == OpenMode::ReadWriteCreate ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                      : mode == OpenMode::ReadWrite     ? SQLITE_OPEN_READWRITE
                                                        : SQLITE_OPEN_READONLY;
    const int result = sqlite3_open_v2(QFile::encodeName(file).constData(), &db, flags, nullptr);
    auto connection = std::make_unique<SqliteConnection>(db, true);
    if (result == SQLITE_OK)
        return connection;
    if (error)
        *error = db ? connection->ErrorMessage() : QStringLiteral("out of memory");
    return nullptr;
}

EngineVersion SqliteConnection::LinkedVersion() {
    EngineVersion linked;
    linked.Text = QString::fromLatin1(sqlite3_libversion());
    linked.Number = sqlite3_libversion_number();
    linked.SourceId = QString::fromLatin1(sqlite3_sourceid());
    return linked;
}

QString SqliteConnection::CodeText(int code) {
    return QString::fromUtf8(sqlite3_errstr(code));
}

int SqliteConnection::Prepare(QByteArrayView utf8, std::unique_ptr<EngineStatement>* statement,
                              qsizetype* used) {
    statement->reset();
    sqlite3_stmt* prepared = nullptr;
    const char* rest = nullptr;
    const int rc =
        sqlite3_prepare_v2(db_, utf8.data(), static_cast<int>(utf8.size()), &prepared, &rest);
    if (prepared)
        *statement = std::make_unique<SqliteStatement>(prepared);
    if (used)
        *used = rest ? rest - utf8.data() : utf8.size();
    return rc;
}

int SqliteConnection::Exec(const QByteArray& sql) {
    return sqlite3_exec(db_, sql.constData(), nullptr, nullptr, nullptr);
}

QString SqliteConnection::ErrorMessage() const {
    return QString::fromUtf8(sqlite3_errmsg(db_));
}

int SqliteConnection::ErrorCode() const {
    return sqlite3_extended_errcode(db_);
}

bool SqliteConnection::InTransaction() const {
    return !sqlite3_get_autocommit(db_);
}

qint64 SqliteConnection::TotalChanges() const {
    return sqlite3_total_changes64(db_);
}

qint64 SqliteConnection::Changes() const {
    return sqlite3_changes64(db_);
}

int SqliteConnection::BusyTimeout() {
    sqlite3_stmt* statement = nullptr;
    int milliseconds = 0;
    if (sqlite3_prepare_v2(db_, "pragma busy_timeout", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        milliseconds = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    return milliseconds;
}

void SqliteConnection::SetBusyTimeout(int milliseconds) {
    sqlite3_busy_timeout(db_, milliseconds);
}

QString SqliteConnection::CopyInto(const QString& file) {
    sqlite3* opened = nullptr;
    int result = sqlite3_open_v2(QFile::encodeName(file).constData(), &opened,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const SqliteConnection target(opened, true);
    if (result == SQLITE_OK) {
        // One step copies every page inside one read transaction.
        sqlite3_backup* backup = sqlite3_backup_init(opened, "main", db_, "main");
        if (!backup) {
            result = sqlite3_errcode(opened);
        } else {
            result = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            if (result == SQLITE_DONE)
                result = sqlite3_errcode(opened);
        }
    }
    return result == SQLITE_OK ? QString() : CodeText(result);
}

bool SqliteConnection::MayWrite(const QString&) {
    return sqlite3_db_readonly(db_, "main") != 1;
}
