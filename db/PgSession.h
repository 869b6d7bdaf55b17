#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

struct pg_conn;
struct pg_result;

class PgStatement;

// A statement prepared on the server under a name, with what is known of
// its parameters' types and its result columns.
struct PgPrepared {
    struct Column {
        QString Name;
        unsigned Type = 0;
        int Modifier = -1;
        unsigned Table = 0;
        int TableColumn = 0;
    };
    QByteArray Name;
    QStringList ParamNames;
    std::vector<unsigned> ParamTypes;
    bool Described = false;
    std::vector<Column> Columns;
    bool ColumnsKnown = false;
    // Whether it is kept for the next statement of the same text.
    bool Kept = false;
};

// What a PostgreSQL connection and the statements prepared on it share: the
// server connection itself (closed when the last of them goes), the last
// failure, the change counts, the names of tables and columns result
// columns come from, the prepared statements kept for their text to run
// again and those to release, and the statement whose rows are still
// coming in.
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
    // The statement prepared earlier for text, or nullptr.
    std::shared_ptr<PgPrepared> Kept(const QByteArray& text);
    // Keeps a statement prepared for text to run again; the least recently
    // used ones beyond a few hundred are released.
    void Keep(const QByteArray& text, const std::shared_ptr<PgPrepared>& prepared);
    // Forgets what is kept after a change of the tables or the settings
    // the kept statements were prepared with.
    void ForgetKept();
    // Whether a statement of this text changes tables or settings, so that
    // statements prepared before may no longer fit.
    static bool ChangesStructure(QByteArrayView text);

    // The statement whose rows are still coming from the server: before
    // the connection does anything else, it takes the rest of them.
    void SetStreaming(PgStatement* statement) { streaming_ = statement; }
    PgStatement* Streaming() const { return streaming_; }
    // Makes the connection free for a new command.
    void Claim();
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
    QHash<QByteArray, std::shared_ptr<PgPrepared>> kept_;
    QList<QByteArray> keptOrder_;
    PgStatement* streaming_ = nullptr;
};
