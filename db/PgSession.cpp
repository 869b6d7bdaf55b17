#include "PgSession.h"

#include "EngineCode.h"
#include "PgStatement.h"

#include <libpq-fe.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

bool StartsWith(const char* text, const char* start) {
    return text && std::strncmp(text, start, std::strlen(start)) == 0;
}

} // namespace

// How many prepared statements a connection keeps for their text to run
// again.
constexpr int KeptLimit = 256;

PgSession::~PgSession() {
    PQfinish(conn_);
}

int PgSession::Take(const pg_result* result) {
    if (!result)
        return FailWithConnectionMessage(EngineCode::IoError);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_EMPTY_QUERY) {
        const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
        QString message = QString::fromUtf8(primary ? primary : PQresultErrorMessage(result));
        if (const char* detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL))
            message += QLatin1Char('\n') + QString::fromUtf8(detail);
        return Fail(message.trimmed(), CodeOf(PQresultErrorField(result, PG_DIAG_SQLSTATE)));
    }
    // As the embedded engine counts: only inserts, updates and deletes.
    const char* command = PQcmdStatus(const_cast<PGresult*>(result));
    if (StartsWith(command, "INSERT") || StartsWith(command, "UPDATE") ||
        StartsWith(command, "DELETE") || StartsWith(command, "MERGE")) {
        changes_ = std::atoll(PQcmdTuples(const_cast<PGresult*>(result)));
        total_ += changes_;
    }
    message_.clear();
    code_ = EngineCode::Ok;
    return code_;
}

int PgSession::Fail(const QString& message, int code) {
    message_ = message;
    code_ = code;
    return code;
}

int PgSession::FailWithConnectionMessage(int code) {
    if (PQstatus(conn_) == CONNECTION_BAD)
        code = EngineCode::IoError;
    return Fail(QString::fromUtf8(PQerrorMessage(conn_)).trimmed(), code);
}

int PgSession::CodeOf(const char* sqlState) {
    if (!sqlState || std::strlen(sqlState) != 5)
        return EngineCode::Error;
    struct Mapping {
        const char* state; // a whole SQLSTATE, or its class of two
        int code;
    };
    static const Mapping mappings[] = {
        {"23", EngineCode::Constraint},  {"40P01", EngineCode::Busy},
        {"40001", EngineCode::Busy},     {"55P03", EngineCode::Busy},
        {"25006", EngineCode::ReadOnly}, {"42501", EngineCode::ReadOnly},
        {"25P02", EngineCode::Abort},    {"57014", EngineCode::Interrupt},
        {"53100", EngineCode::Full},     {"53200", EngineCode::NoMemory},
        {"08", EngineCode::IoError},     {"57P", EngineCode::IoError},
        {"58", EngineCode::IoError},     {"XX001", EngineCode::Corrupt},
        {"XX002", EngineCode::Corrupt},
    };
    for (const Mapping& mapping : mappings)
        if (StartsWith(sqlState, mapping.state))
            return mapping.code;
    return EngineCode::Error;
}

PgSession::Origin PgSession::OriginOf(unsigned table, int column) {
    if (table == InvalidOid || column <= 0)
        return {};
    auto found = tables_.constFind(table);
    if (found == tables_.constEnd() || !found->Columns.contains(column)) {
        if (!LoadTable(table))
            return {};
        found = tables_.constFind(table);
    }
    return {found->Schema, found->Name, found->Columns.value(column)};
}

bool PgSession::LoadTable(unsigned table) {
    Claim();
    const QByteArray oid = QByteArray::number(table);
    const char* values[] = {oid.constData()};
    PGresult* result = PQexecParams(conn_,
                                    "select n.nspname, c.relname, a.attnum, a.attname "
                                    "from pg_class c join pg_namespace n on n.oid = c.relnamespace "
                                    "join pg_attribute a on a.attrelid = c.oid "
                                    "where c.oid = $1::oid and a.attnum > 0 and not a.attisdropped",
                                    1, nullptr, values, nullptr, nullptr, 0);
    const bool loaded = PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0;
    if (loaded) {
        Table& cached = tables_[table];
        cached.Schema = QString::fromUtf8(PQgetvalue(result, 0, 0));
        cached.Name = QString::fromUtf8(PQgetvalue(result, 0, 1));
        cached.Columns.clear();
        for (int row = 0; row < PQntuples(result); ++row)
            cached.Columns.insert(std::atoi(PQgetvalue(result, row, 2)),
                                  QString::fromUtf8(PQgetvalue(result, row, 3)));
    }
    PQclear(result);
    return loaded;
}

QByteArray PgSession::NewStatementName() {
    return "velmora_s" + QByteArray::number(++statements_);
}

void PgSession::Release(const QByteArray& name) {
    toRelease_ << name;
    ReleasePending();
}

std::shared_ptr<PgPrepared> PgSession::Kept(const QByteArray& text) {
    auto found = kept_.constFind(text);
    if (found == kept_.constEnd())
        return nullptr;
    keptOrder_.removeOne(text);
    keptOrder_ << text;
    return *found;
}

void PgSession::Keep(const QByteArray& text, const std::shared_ptr<PgPrepared>& prepared) {
    prepared->Kept = true;
    kept_.insert(text, prepared);
    keptOrder_ << text;
    for (qsizetype i = 0; kept_.size() > KeptLimit && i < keptOrder_.size();) {
        const std::shared_ptr<PgPrepared>& oldest = kept_[keptOrder_[i]];
        if (oldest.use_count() > 1) {
            ++i;
            continue;
        }
        toRelease_ << oldest->Name;
        kept_.remove(keptOrder_.takeAt(i));
    }
}

void PgSession::ForgetKept() {
    // Those in use are released when their statement goes.
    for (const std::shared_ptr<PgPrepared>& prepared : std::as_const(kept_)) {
        prepared->Kept = false;
        if (prepared.use_count() == 1)
            toRelease_ << prepared->Name;
    }
    kept_.clear();
    keptOrder_.clear();
}

bool PgSession::ChangesStructure(QByteArrayView text) {
    static const char* const words[] = {"create", "alter", "drop", "set", "reset", "discard"};
    const QByteArray start =
        text.trimmed().first(qMin<qsizetype>(8, text.trimmed().size())).toByteArray().toLower();
    for (const char* word : words)
        if (start.startsWith(word) && (start.size() == qsizetype(std::strlen(word)) ||
                                       !std::isalpha(start[std::strlen(word)])))
            return true;
    return false;
}

void PgSession::Claim() {
    if (PgStatement* statement = streaming_)
        statement->TakeRest();
}

void PgSession::ReleasePending() {
    Claim();
    // A failed transaction refuses every statement until it is rolled back.
    const PGTransactionStatusType status = PQtransactionStatus(conn_);
    if (toRelease_.isEmpty() || (status != PQTRANS_IDLE && status != PQTRANS_INTRANS))
        return;
    QByteArray sql;
    for (const QByteArray& name : std::as_const(toRelease_))
        sql += "deallocate " + name + ';';
    toRelease_.clear();
    PQclear(PQexec(conn_, sql.constData()));
}
