#include "TSqlStatement.h"

#include "EDatabaseError.h"
#include "EngineCode.h"
#include "EngineConnection.h"
#include "EngineStatement.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>

#include <utility>

namespace {

// The first statement of text; false when the engine refuses it.
bool Prepare(EngineConnection* db, const QString& text, std::unique_ptr<EngineStatement>* stmt,
             QString* tail) {
    const QByteArray utf8 = text.toUtf8();
    qsizetype used = utf8.size();
    if (db->Prepare(utf8, stmt, &used) != EngineCode::Ok) {
        stmt->reset();
        return false;
    }
    if (used < utf8.size())
        *tail = QString::fromUtf8(utf8.constData() + used, utf8.size() - used);
    return true;
}

EngineStatement::Keep KeepOf(bool keptInPlace) {
    return keptInPlace ? EngineStatement::Keep::InPlace : EngineStatement::Keep::Copy;
}

} // namespace

TSqlStatement::TSqlStatement(EngineConnection* db, const QString& text) : db_(db) {
    if (!db)
        throw EDatabaseError(QStringLiteral("The database connection has no engine handle"));
    if (!Prepare(db, text, &stmt_, &tail_))
        RaiseEngineError(db, db->ErrorCode());
}

TSqlStatement::~TSqlStatement() = default;

TSqlStatement::TSqlStatement(TSqlStatement&& other) noexcept
    : db_(other.db_), stmt_(std::move(other.stmt_)), tail_(std::move(other.tail_)) {}

TSqlStatement& TSqlStatement::operator=(TSqlStatement&& other) noexcept {
    if (this != &other) {
        db_ = other.db_;
        stmt_ = std::move(other.stmt_);
        tail_ = std::move(other.tail_);
    }
    return *this;
}

TSqlStatement TSqlStatement::TryPrepare(EngineConnection* db, const QString& text) {
    TSqlStatement statement;
    statement.db_ = db;
    if (db)
        Prepare(db, text, &statement.stmt_, &statement.tail_);
    return statement;
}

int TSqlStatement::ColumnCount() const {
    return stmt_ ? stmt_->ColumnCount() : 0;
}

QString TSqlStatement::ColumnName(int column) const {
    return stmt_->ColumnName(column);
}

QString TSqlStatement::ColumnDeclType(int column) const {
    return stmt_->ColumnDeclType(column);
}

QString TSqlStatement::ColumnDatabaseName(int column) const {
    return stmt_->ColumnDatabaseName(column);
}

QString TSqlStatement::ColumnTableName(int column) const {
    return stmt_->ColumnTableName(column);
}

QString TSqlStatement::ColumnOriginName(int column) const {
    return stmt_->ColumnOriginName(column);
}

int TSqlStatement::ParamCount() const {
    return stmt_ ? stmt_->ParamCount() : 0;
}

QString TSqlStatement::ParamName(int param) const {
    return stmt_->ParamName(param);
}

void TSqlStatement::Bind(int param, const QVariant& value) {
    int rc = EngineCode::Ok;
    if (!value.isValid() || value.isNull()) {
        rc = stmt_->BindNull(param);
    } else {
        switch (value.typeId()) {
        case QMetaType::QByteArray:
            rc = stmt_->BindBlob(param, *static_cast<const QByteArray*>(value.constData()),
                                 EngineStatement::Keep::Copy);
            break;
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
            rc = stmt_->BindInt64(param, value.toLongLong());
            break;
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            rc = stmt_->BindInt64(param, static_cast<qint64>(value.toULongLong()));
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = stmt_->BindDouble(param, value.toDouble());
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
            rc = stmt_->BindText(param, text);
        }
        }
    }
    if (rc != EngineCode::Ok)
        RaiseEngineError(db_, rc);
}

void TSqlStatement::BindUtf8(int param, QByteArrayView utf8, bool keptInPlace) {
    if (const int rc = stmt_->BindUtf8(param, utf8, KeepOf(keptInPlace)); rc != EngineCode::Ok)
        RaiseEngineError(db_, rc);
}

void TSqlStatement::BindBlob(int param, QByteArrayView bytes, bool keptInPlace) {
    if (const int rc = stmt_->BindBlob(param, bytes, KeepOf(keptInPlace)); rc != EngineCode::Ok)
        RaiseEngineError(db_, rc);
}

void TSqlStatement::BindAll(const std::function<QVariant(const QString& name)>& valueOf) {
    const int count = ParamCount();
    for (int param = 1; param <= count; ++param)
        Bind(param, valueOf(ParamName(param)));
}

bool TSqlStatement::Step() {
    const int rc = stmt_->Step();
    if (rc == EngineCode::Row)
        return true;
    if (rc == EngineCode::Done)
        return false;
    const QString message = ErrorMessage();
    stmt_->Reset();
    throw EDatabaseError(message, rc);
}

int TSqlStatement::StepCode() {
    return stmt_->Step();
}

void TSqlStatement::Reset() {
    stmt_->Reset();
    stmt_->ClearBindings();
}

void TSqlStatement::Run() {
    while (Step()) {
    }
}

QVariant TSqlStatement::ColumnBytes(int column) const {
    if (stmt_->ColumnIsNull(column))
        return QVariant(QMetaType::fromType<QByteArray>());
    return stmt_->ColumnData(column).toByteArray();
}

QVariant TSqlStatement::ColumnValue(int column) const {
    switch (stmt_->ColumnKind(column)) {
    case EngineStatement::Kind::Null:
        return QVariant(QMetaType::fromType<QString>());
    case EngineStatement::Kind::Integer:
        return QVariant(stmt_->ColumnInt64(column));
    case EngineStatement::Kind::Real:
        return QVariant(stmt_->ColumnDouble(column));
    case EngineStatement::Kind::Bytes:
        return stmt_->ColumnData(column).toByteArray();
    case EngineStatement::Kind::Text:
        break;
    }
    const QByteArrayView utf8 = stmt_->ColumnData(column);
    // An empty text is an empty string, never a null one.
    if (utf8.isEmpty())
        return QString(QLatin1String(""));
    return QString::fromUtf8(utf8.data(), utf8.size());
}

QByteArrayView TSqlStatement::ColumnView(int column) const {
    return stmt_->ColumnData(column);
}

QVariantList TSqlStatement::RowValues() const {
    QVariantList values;
    const int count = ColumnCount();
    values.reserve(count);
    for (int column = 0; column < count; ++column)
        values.append(ColumnValue(column));
    return values;
}

QString TSqlStatement::ErrorMessage() const {
    return db_->ErrorMessage();
}

void TSqlStatement::RaiseEngineError(EngineConnection* db, int code) {
    throw EDatabaseError(db->ErrorMessage(), code);
}

// --- TSqlTransaction -----------------------------------------------------------

TSqlTransaction::TSqlTransaction(EngineConnection* db, Lock lock) : db_(db) {
    if (!db_)
        throw EDatabaseError(QStringLiteral("The database connection has no engine handle"));
    if (!db_->InTransaction()) {
        if (Exec(lock == Lock::Immediate ? "BEGIN IMMEDIATE" : "BEGIN") != EngineCode::Ok)
            TSqlStatement::RaiseEngineError(db_, db_->ErrorCode());
    } else {
        // Unique among the savepoints open on any connection.
        static unsigned long long counter = 0;
        savepoint_ = "velmora_" + QByteArray::number(++counter);
        if (Exec("SAVEPOINT " + savepoint_) != EngineCode::Ok)
            TSqlStatement::RaiseEngineError(db_, db_->ErrorCode());
    }
    open_ = true;
}

TSqlTransaction::~TSqlTransaction() {
    Rollback();
}

int TSqlTransaction::Exec(const QByteArray& sql) {
    return db_->Exec(sql);
}

void TSqlTransaction::Commit() {
    if (!open_)
        throw EDatabaseError(QStringLiteral("The transaction has ended already"));
    // A failure that ended the whole transaction on its own leaves nothing
    // to commit: what was done is undone.
    if (!db_->InTransaction()) {
        open_ = false;
        throw EDatabaseError(QStringLiteral("The transaction was rolled back by the engine"));
    }
    if (Exec(savepoint_.isEmpty() ? QByteArray("COMMIT") : "RELEASE " + savepoint_) !=
        EngineCode::Ok) {
        const QString message = db_->ErrorMessage();
        const int code = db_->ErrorCode();
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
    if (!db_->InTransaction())
        return;
    if (savepoint_.isEmpty()) {
        Exec("ROLLBACK");
    } else {
        Exec("ROLLBACK TO " + savepoint_);
        Exec("RELEASE " + savepoint_);
    }
}
