#include "PgConnection.h"

#include "EngineCode.h"
#include "PgSession.h"
#include "PgSqlText.h"
#include "PgStatement.h"
#include "TCatalogCopy.h"

#include <libpq-fe.h>

#include <QMap>
#include <QRegularExpression>
#include <QStringList>

#include <cstdlib>
#include <exception>

namespace {

// Notices ("relation already exists, skipping") are not the program's
// messages.
void IgnoreNotice(void*, const char*) {}

// The server takes its locks row by row as it writes; a transaction that
// should hold the write lock from its start is a plain one there.
QByteArray ServerForm(const QByteArray& sql) {
    static const QRegularExpression begin(
        QStringLiteral("^\\s*begin\\s+(deferred|immediate|exclusive)\\s*(transaction)?\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    return begin.match(QString::fromUtf8(sql)).hasMatch() ? QByteArray("BEGIN") : sql;
}

bool IsRollback(const QByteArray& sql) {
    return sql.trimmed().toLower().startsWith("rollback");
}

} // namespace

PgConnection::PgConnection(std::shared_ptr<PgSession> session) : session_(std::move(session)) {}

PgConnection::~PgConnection() = default;

std::unique_ptr<EngineConnection> PgConnection::Open(const QString& conninfo, QString* error,
                                                     const QString& password, bool* needsPassword) {
    // The connection string is expanded as the database name, so a URI and
    // the keyword form both work; a password given here comes on top of it.
    const QByteArray dbname = conninfo.toUtf8();
    const QByteArray secret = password.toUtf8();
    const char* keywords[] = {"dbname", password.isEmpty() ? nullptr : "password", nullptr};
    const char* values[] = {dbname.constData(), secret.constData(), nullptr};
    PGconn* conn = PQconnectdbParams(keywords, values, 1);
    auto session = std::make_shared<PgSession>(conn);
    if (needsPassword)
        *needsPassword = conn && PQstatus(conn) != CONNECTION_OK && PQconnectionNeedsPassword(conn);
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        if (error)
            *error = conn ? QString::fromUtf8(PQerrorMessage(conn)).trimmed()
                          : QStringLiteral("out of memory");
        return nullptr;
    }
    PQsetNoticeProcessor(conn, IgnoreNotice, nullptr);
    // Text crosses as UTF-8, dates as the embedded engine keeps them.
    if (PQsetClientEncoding(conn, "UTF8") != 0 ||
        session->Take(PQexec(conn, "set datestyle to iso, ymd")) != EngineCode::Ok) {
        if (error)
            *error = session->ErrorMessage();
        return nullptr;
    }
    auto connection = std::make_unique<PgConnection>(std::move(session));
    connection->SetBusyTimeout(0);
    return connection;
}

QString PgConnection::ServerKey(const QString& conninfo) {
    char* message = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), &message);
    PQfreemem(message);
    if (!options)
        return conninfo.trimmed();
    QMap<QString, QString> settings;
    for (const PQconninfoOption* option = options; option->keyword; ++option)
        if (option->val && *option->val && qstrcmp(option->keyword, "password") != 0)
            settings.insert(QString::fromUtf8(option->keyword), QString::fromUtf8(option->val));
    PQconninfoFree(options);
    // What the server is reached with when the string leaves it out: the
    // environment's or libpq's port and user, and a database named after
    // the user.
    if (PQconninfoOption* defaults = PQconndefaults()) {
        for (const PQconninfoOption* option = defaults; option->keyword; ++option) {
            const QString keyword = QString::fromUtf8(option->keyword);
            if ((keyword == QLatin1String("port") || keyword == QLatin1String("user")) &&
                option->val && *option->val && !settings.contains(keyword))
                settings.insert(keyword, QString::fromUtf8(option->val));
        }
        PQconninfoFree(defaults);
    }
    if (!settings.contains(QStringLiteral("dbname")) && settings.contains(QStringLiteral("user")))
        settings.insert(QStringLiteral("dbname"), settings.value(QStringLiteral("user")));
    QStringList lines;
    for (auto setting = settings.cbegin(); setting != settings.cend(); ++setting)
        lines << setting.key() + QLatin1Char('=') + setting.value();
    return lines.join(QLatin1Char('\n'));
}

int PgConnection::Prepare(QByteArrayView utf8, std::unique_ptr<EngineStatement>* statement,
                          qsizetype* used) {
    statement->reset();
    const PgSqlText text = PgSqlText::FirstStatement(utf8);
    if (used)
        *used = text.Used;
    if (text.Empty)
        return session_->Fail(QString(), EngineCode::Ok);
    session_->ReleasePending();
    return PgStatement::Prepare(session_, text, statement);
}

int PgConnection::Exec(const QByteArray& sql) {
    session_->ReleasePending();
    PGconn* conn = session_->Connection();
    const bool failedBefore = PQtransactionStatus(conn) == PQTRANS_INERROR;
    PGresult* result = PQexec(conn, ServerForm(sql).constData());
    int code = session_->Take(result);
    // A commit of a transaction a failure has ended rolls it back without
    // an error of its own.
    if (code == EngineCode::Ok && failedBefore && !IsRollback(sql) &&
        qstrcmp(PQcmdStatus(result), "ROLLBACK") == 0)
        code =
            session_->Fail(QStringLiteral("the transaction was rolled back after a failure in it"),
                           EngineCode::Abort);
    PQclear(result);
    if (code == EngineCode::Ok && PgSession::ChangesStructure(sql))
        session_->ForgetKept();
    return code;
}

QString PgConnection::ErrorMessage() const {
    return session_->ErrorMessage();
}

int PgConnection::ErrorCode() const {
    return session_->ErrorCode();
}

bool PgConnection::InTransaction() const {
    // While rows are still coming the server tells nothing of it.
    if (PQtransactionStatus(session_->Connection()) == PQTRANS_ACTIVE)
        session_->Claim();
    const PGTransactionStatusType status = PQtransactionStatus(session_->Connection());
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
}

qint64 PgConnection::TotalChanges() const {
    return session_->TotalChanges();
}

qint64 PgConnection::Changes() const {
    return session_->Changes();
}

int PgConnection::BusyTimeout() {
    // A setting made in a transaction that was rolled back is gone again.
    session_->Claim();
    PGresult* result = PQexec(session_->Connection(),
                              "select setting from pg_settings where name = 'lock_timeout'");
    if (PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) == 1) {
        const int server = std::atoi(PQgetvalue(result, 0, 0));
        if (server != qMax(1, busyTimeout_))
            busyTimeout_ = server;
    }
    PQclear(result);
    return busyTimeout_;
}

void PgConnection::SetBusyTimeout(int milliseconds) {
    busyTimeout_ = qMax(0, milliseconds);
    // The server's zero would wait for ever; here it fails at once.
    const QByteArray sql = "set lock_timeout = " + QByteArray::number(qMax(1, busyTimeout_));
    session_->Claim();
    PQclear(PQexec(session_->Connection(), sql.constData()));
}

int PgConnection::Listen(const QString& channel) {
    PGconn* conn = session_->Connection();
    const QByteArray name = channel.toUtf8();
    char* quoted = PQescapeIdentifier(conn, name.constData(), static_cast<size_t>(name.size()));
    if (!quoted)
        return session_->FailWithConnectionMessage(EngineCode::Error);
    const QByteArray sql = QByteArray("listen ") + quoted;
    PQfreemem(quoted);
    return Exec(sql);
}

int PgConnection::Notify(const QString& channel, const QString& payload) {
    session_->ReleasePending();
    const QByteArray name = channel.toUtf8();
    const QByteArray text = payload.toUtf8();
    const char* values[] = {name.constData(), text.constData()};
    PGresult* result = PQexecParams(session_->Connection(), "select pg_notify($1, $2)", 2, nullptr,
                                    values, nullptr, nullptr, 0);
    const int code = session_->Take(result);
    PQclear(result);
    return code;
}

QList<EngineConnection::Notification> PgConnection::TakeNotifications() {
    PGconn* conn = session_->Connection();
    // Reads what has arrived without waiting, also while rows of a
    // statement are still coming.
    PQconsumeInput(conn);
    QList<Notification> notifications;
    while (PGnotify* notify = PQnotifies(conn)) {
        notifications.append(
            {QString::fromUtf8(notify->relname), QString::fromUtf8(notify->extra)});
        PQfreemem(notify);
    }
    return notifications;
}

int PgConnection::NotificationSocket() const {
    return PQsocket(session_->Connection());
}

bool PgConnection::MayWrite(const QString& table) {
    session_->ReleasePending();
    const QByteArray name = table.toUtf8();
    const char* values[] = {name.constData()};
    PGresult* result = PQexecParams(
        session_->Connection(),
        // A table that is not there is not refused here: writing to it
        // fails on its own.
        "select coalesce((select has_table_privilege(c, 'INSERT') and has_table_privilege(c, "
        "'UPDATE') and has_table_privilege(c, 'DELETE') from to_regclass($1) c where c is not "
        "null), true) and current_setting('transaction_read_only') = 'off'",
        1, nullptr, values, nullptr, nullptr, 0);
    // A question, not a command: the last failure stays as it was.
    const bool may = PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) == 1 &&
                     qstrcmp(PQgetvalue(result, 0, 0), "t") == 0;
    PQclear(result);
    return may;
}

QString PgConnection::CopyInto(const QString& file) {
    QString error;
    const std::unique_ptr<EngineConnection> copy =
        OpenFile(file, OpenMode::ReadWriteCreate, &error);
    if (!copy)
        return error;
    try {
        TCatalogCopy::Copy(*this, *copy);
    } catch (const std::exception& failure) {
        return QString::fromUtf8(failure.what());
    }
    return {};
}
