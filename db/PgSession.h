#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

struct pg_conn;
struct pg_result;

// What a PostgreSQL connection and the statements prepared on it share: the
// server connection itself (closed when the last of them goes), the last
// failure, the change counts, the names of tables and columns result
// columns come from, and the prepared statements to release.
class PgSession {
public:
    explicit PgSession(pg_conn* connection) : conn_(connection) {}
    ~PgSession();
    PgSession(const PgSession&) = delete;
    PgSession& operator=(const PgSession&) = delete;

    pg_conn* Connection() const { return conn_; }

    // Takes what a finished command tells: its failure (the result is
    // then the last error) or its changes. The result's EngineCode.
    int Take(const pg_result* result);
    int Fail(const QString& message, int code);
    // The server's message without its severity, or libpq's own.
    int FailWithConnectionMessage(int code);

    QString ErrorMessage() const { return message_; }
    int ErrorCode() const { return code_; }
    qint64 Changes() const { return changes_; }
    qint64 TotalChanges() const { return total_; }

    // The EngineCode of a server's SQLSTATE.
    static int CodeOf(const char* sqlState);

    // Where the column `column` (1-based) of the table `table` comes from:
    // schema, table and column names; empty when unknown.
    struct Origin {
        QString Schema, Table, Column;
    };
    Origin OriginOf(unsigned table, int column);

    // A name for a new prepared statement.
    QByteArray NewStatementName();
    // Releases a prepared statement on the server, now or, when a failed
    // transaction refuses it, before the next statement is prepared.
    void Release(const QByteArray& name);
    void ReleasePending();

private:
    struct Table {
        QString Schema, Name;
        QHash<int, QString> Columns;
    };
    bool LoadTable(unsigned table);

    pg_conn* conn_;
    QString message_;
    int code_ = 0;
    qint64 changes_ = 0;
    qint64 total_ = 0;
    QHash<unsigned, Table> tables_;
    quint64 statements_ = 0;
    QList<QByteArray> toRelease_;
};
