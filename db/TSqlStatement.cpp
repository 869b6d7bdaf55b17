#include "TSqlStatement.h"

#include "EDatabaseError.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>

#include <sqlite3.h>

#include <utility>

namespace {

bool Prepare(sqlite3* db, const QString& text, sqlite3_stmt** stmt, QString* tail) {
    const QByteArray utf8 = text.toUtf8();
    const char* rest = nullptr;
    const int rc =
        sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), stmt, &rest);
    if (rc != SQLITE_OK)
        return false;
    if (rest && rest < utf8.constData() + utf8.size())
        *tail = QString::fromUtf8(rest, utf8.constData() + utf8.size() - rest);
    return true;
}

} // namespace

TSqlStatement::TSqlStatement(sqlite3* db, const QString& text) : db_(db) {
    if (!Prepare(db, text, &stmt_, &tail_))
        RaiseEngineError(db, sqlite3_errcode(db));
}

TSqlStatement::~TSqlStatement() {
    sqlite3_finalize(stmt_);
}

TSqlStatement::TSqlStatement(TSqlStatement&& other) noexcept
    : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)), tail_(std::move(other.tail_)) {}

TSqlStatement& TSqlStatement::operator=(TSqlStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = other.db_;
        stmt_ = std::exchange(other.stmt_, nullptr);
        tail_ = std::move(other.tail_);
    }
    return *this;
}

TSqlStatement TSqlStatement::TryPrepare(sqlite3* db, const QString& text) {
    TSqlStatement statement;
    statement.db_ = db;
    if (!Prepare(db, text, &statement.stmt_, &statement.tail_)) {
        sqlite3_finalize(statement.stmt_);
        statement.stmt_ = nullptr;
    }
    return statement;
}

int TSqlStatement::ColumnCount() const {
    return stmt_ ? sqlite3_column_count(stmt_) : 0;
}

QString TSqlStatement::ColumnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

QString TSqlStatement::ColumnDeclType(int column) const {
    return QString::fromUtf8(sqlite3_column_decltype(stmt_, column));
}

QString TSqlStatement::ColumnDatabaseName(int column) const {
    return QString::fromUtf8(sqlite3_column_database_name(stmt_, column));
}

QString TSqlStatement::ColumnTableName(int column) const {
    return QString::fromUtf8(sqlite3_column_table_name(stmt_, column));
}

QString TSqlStatement::ColumnOriginName(int column) const {
    return QString::fromUtf8(sqlite3_column_origin_name(stmt_, column));
}

int TSqlStatement::ParamCount() const {
    return stmt_ ? sqlite3_bind_parameter_count(stmt_) : 0;
}

QString TSqlStatement::ParamName(int param) const {
    const char* name = sqlite3_bind_parameter_name(stmt_, param);
    return name && *name ? QString::fromUtf8(name + 1) : QString();
}

void TSqlStatement::Bind(int param, const QVariant& value) {
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(stmt_, param);
    } else {
        switch (value.typeId()) {
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            // A null data pointer would bind NULL rather than an empty blob.
            rc = bytes.isEmpty()
                     ? sqlite3_bind_zeroblob(stmt_, param, 0)
                     : sqlite3_bind_blob(stmt_, param, bytes.constData(),
                                         static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            rc = sqlite3_bind_int64(stmt_, param, value.toLongLong());
            break;
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(stmt_, param, static_cast<sqlite3_int64>(value.toULongLong()));
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt_, param, value.toDouble());
            break;
        default: {
            // Dates and times as the toolkit's driver writes them.
            QString text;
            if (value.typeId() == QMetaType::QDateTime)
                text = value.toDateTime().toString(Qt::ISODateWithMs);
            else if (value.typeId() == QMetaType::QTime)
                text = value.toTime().toString(QStringLiteral("hh:mm:ss.zzz"));
            else if (value.typeId() == QMetaType::QDate)
                text = value.toDate().toString(Qt::ISODate);
            else
                text = value.toString();
            rc = sqlite3_bind_text16(stmt_, param, text.utf16(),
                                     static_cast<int>(text.size() * sizeof(char16_t)),
                                     SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        RaiseEngineError(db_, rc);
}

void TSqlStatement::BindAll(const std::function<QVariant(const QString& name)>& valueOf) {
    const int count = ParamCount();
    for (int param = 1; param <= count; ++param)
        Bind(param, valueOf(ParamName(param)));
}

bool TSqlStatement::Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString message = ErrorMessage();
    sqlite3_reset(stmt_);
    throw EDatabaseError(message, rc);
}

int TSqlStatement::StepCode() {
    return sqlite3_step(stmt_);
}

void TSqlStatement::Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

QVariant TSqlStatement::ColumnBytes(int column) const {
    if (sqlite3_column_type(stmt_, column) == SQLITE_NULL)
        return QVariant(QMetaType::fromType<QByteArray>());
    const void* data = sqlite3_column_blob(stmt_, column);
    const int size = sqlite3_column_bytes(stmt_, column);
    return QByteArray(static_cast<const char*>(data), size);
}

QString TSqlStatement::ErrorMessage() const {
    return QString::fromUtf8(sqlite3_errmsg(db_));
}

void TSqlStatement::RaiseEngineError(sqlite3* db, int code) {
    throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)), code);
}

// --- TSqlTransaction -----------------------------------------------------------

TSqlTransaction::TSqlTransaction(sqlite3* db, Lock lock) : db_(db) {
    if (!db_)
        throw EDatabaseError(QStringLiteral("The database connection has no engine handle"));
    if (sqlite3_get_autocommit(db_)) {
        if (Exec(lock == Lock::Immediate ? "BEGIN IMMEDIATE" : "BEGIN") != SQLITE_OK)
            TSqlStatement::RaiseEngineError(db_, sqlite3_extended_errcode(db_));
    } else {
        // Unique among the savepoints open on any connection.
        static unsigned long long counter = 0;
        savepoint_ = "velmora_" + QByteArray::number(++counter);
        if (Exec("SAVEPOINT " + savepoint_) != SQLITE_OK)
            TSqlStatement::RaiseEngineError(db_, sqlite3_extended_errcode(db_));
    }
    open_ = true;
}

TSqlTransaction::~TSqlTransaction() {
    Rollback();
}

int TSqlTransaction::Exec(const QByteArray& sql) {
    return sqlite3_exec(db_, sql.constData(), nullptr, nullptr, nullptr);
}

void TSqlTransaction::Commit() {
    if (!open_)
        throw EDatabaseError(QStringLiteral("The transaction has ended already"));
    // A failure that ended the whole transaction on its own leaves nothing
    // to commit: what was done is undone.
    if (sqlite3_get_autocommit(db_)) {
        open_ = false;
        throw EDatabaseError(QStringLiteral("The transaction was rolled back by the engine"));
    }
    if (Exec(savepoint_.isEmpty() ? QByteArray("COMMIT") : "RELEASE " + savepoint_) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
        const int code = sqlite3_extended_errcode(db_);
        Rollback();
        throw EDatabaseError(message, code);
    }
    open_ = false;
}

void TSqlTransaction::Rollback() noexcept {
    if (!open_)
        return;
    open_ = false;
    // Some failures end the whole transaction on their own.
    if (sqlite3_get_autocommit(db_))
        return;
    if (savepoint_.isEmpty()) {
        Exec("ROLLBACK");
    } else {
        Exec("ROLLBACK TO " + savepoint_);
        Exec("RELEASE " + savepoint_);
    }
}
