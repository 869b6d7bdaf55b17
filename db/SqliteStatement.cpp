#include "SqliteStatement.h"

#include "EngineCode.h"

#include <sqlite3.h>

static_assert(EngineCode::Ok == SQLITE_OK && EngineCode::Error == SQLITE_ERROR &&
              EngineCode::Abort == SQLITE_ABORT && EngineCode::Busy == SQLITE_BUSY &&
              EngineCode::Locked == SQLITE_LOCKED && EngineCode::NoMemory == SQLITE_NOMEM &&
              EngineCode::ReadOnly == SQLITE_READONLY &&
              EngineCode::Interrupt == SQLITE_INTERRUPT && EngineCode::IoError == SQLITE_IOERR &&
              EngineCode::Corrupt == SQLITE_CORRUPT && EngineCode::Full == SQLITE_FULL &&
              EngineCode::CantOpen == SQLITE_CANTOPEN &&
              EngineCode::Constraint == SQLITE_CONSTRAINT && EngineCode::Misuse == SQLITE_MISUSE &&
              EngineCode::NotADatabase == SQLITE_NOTADB && EngineCode::Row == SQLITE_ROW &&
              EngineCode::Done == SQLITE_DONE);

namespace {

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

// A null data pointer would bind NULL rather than empty bytes.
const char* NotNull(QByteArrayView bytes) {
    return bytes.data() ? bytes.data() : "";
}

sqlite3_destructor_type Destructor(EngineStatement::Keep keep) {
    return keep == EngineStatement::Keep::InPlace ? SQLITE_STATIC : SQLITE_TRANSIENT;
}

} // namespace

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

int SqliteStatement::ColumnCount() const {
    return sqlite3_column_count(stmt_);
}

QString SqliteStatement::ColumnName(int column) const {
    return Text(sqlite3_column_name(stmt_, column));
}

QString SqliteStatement::ColumnDeclType(int column) const {
    return Text(sqlite3_column_decltype(stmt_, column));
}

QString SqliteStatement::ColumnDatabaseName(int column) const {
    return Text(sqlite3_column_database_name(stmt_, column));
}

QString SqliteStatement::ColumnTableName(int column) const {
    return Text(sqlite3_column_table_name(stmt_, column));
}

QString SqliteStatement::ColumnOriginName(int column) const {
    return Text(sqlite3_column_origin_name(stmt_, column));
}

int SqliteStatement::ParamCount() const {
    return sqlite3_bind_parameter_count(stmt_);
}

QString SqliteStatement::ParamName(int param) const {
    const char* name = sqlite3_bind_parameter_name(stmt_, param);
    return name && *name ? Text(name + 1) : QString();
}

int SqliteStatement::BindNull(int param) {
    return sqlite3_bind_null(stmt_, param);
}

int SqliteStatement::BindInt64(int param, qint64 value) {
    return sqlite3_bind_int64(stmt_, param, value);
}

int SqliteStatement::BindDouble(int param, double value) {
    return sqlite3_bind_double(stmt_, param, value);
}

int SqliteStatement::BindText(int param, const QString& text) {
    return sqlite3_bind_text16(stmt_, param, text.utf16(),
                               static_cast<int>(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
}

int SqliteStatement::BindUtf8(int param, QByteArrayView utf8, Keep keep) {
    return sqlite3_bind_text64(stmt_, param, NotNull(utf8),
                               static_cast<sqlite3_uint64>(utf8.size()), Destructor(keep),
                               SQLITE_UTF8);
}

int SqliteStatement::BindBlob(int param, QByteArrayView bytes, Keep keep) {
    return sqlite3_bind_blob64(stmt_, param, NotNull(bytes),
                               static_cast<sqlite3_uint64>(bytes.size()), Destructor(keep));
}

int SqliteStatement::Step() {
    return sqlite3_step(stmt_);
}

void SqliteStatement::Reset() {
    sqlite3_reset(stmt_);
}

void SqliteStatement::ClearBindings() {
    sqlite3_clear_bindings(stmt_);
}

bool SqliteStatement::ColumnIsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

EngineStatement::Kind SqliteStatement::ColumnKind(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_NULL:
        return Kind::Null;
    case SQLITE_INTEGER:
        return Kind::Integer;
    case SQLITE_FLOAT:
        return Kind::Real;
    case SQLITE_BLOB:
        return Kind::Blob;
    default:
        return Kind::Text;
    }
}

double SqliteStatement::ColumnDouble(int column) const {
    return sqlite3_column_double(stmt_, column);
}

QByteArrayView SqliteStatement::ColumnData(int column) const {
    // The bytes first: asking for their size afterwards keeps them as
    // they were converted.
    const void* data = sqlite3_column_blob(stmt_, column);
    const int size = sqlite3_column_bytes(stmt_, column);
    return QByteArrayView(static_cast<const char*>(data), size);
}
