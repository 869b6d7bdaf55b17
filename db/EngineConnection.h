#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

class EngineStatement;
class EngineVersion;

// A connection of the database engine beneath the program: preparing
// statements, running plain ones, transactions, and the engine's own error
// message and code (an EngineCode) of its last failure. The rest of the
// program reaches the engine only through this and EngineStatement; one
// implementation per engine stands behind them.
class EngineConnection {
public:
    enum class OpenMode { ReadOnly, ReadWrite, ReadWriteCreate };
    // The SQL an engine speaks where engines differ (column types, for one).
    enum class Dialect { Sqlite, PostgreSql };

    virtual ~EngineConnection();

    // Prepares the first statement of utf8 into *statement and tells in
    // *used how many bytes it took. An empty *statement with EngineCode::Ok
    // when that part holds nothing but blanks and comments.
    virtual int Prepare(QByteArrayView utf8, std::unique_ptr<EngineStatement>* statement,
                        qsizetype* used) = 0;
    // Runs statements that return no rows.
    virtual int Exec(const QByteArray& sql) = 0;

    // The message and the (extended) code of the last failure.
    virtual QString ErrorMessage() const = 0;
    virtual int ErrorCode() const = 0;

    // Whether a transaction is open.
    virtual bool InTransaction() const = 0;
    // Rows written by every statement since the connection opened, and by
    // the last insert, update or delete.
    virtual qint64 TotalChanges() const = 0;
    virtual qint64 Changes() const = 0;

    // How long a statement waits for another program to let go of the
    // database before it fails as busy.
    virtual int BusyTimeout() = 0;
    virtual void SetBusyTimeout(int milliseconds) = 0;

    virtual Dialect SqlDialect() const { return Dialect::Sqlite; }

    // Notifications between the clients of one database, on named
    // channels. A notification sent in a transaction goes out when it
    // commits. An engine without them hears nothing and sends nothing.
    struct Notification {
        QString Channel;
        QString Payload;
    };
    virtual int Listen(const QString& channel);
    virtual int Notify(const QString& channel, const QString& payload);
    // The notifications that have arrived, without waiting for any.
    virtual QList<Notification> TakeNotifications();
    // The descriptor that becomes readable when one arrives; -1 when none.
    virtual int NotificationSocket() const;

    // Whether rows of a table may be added, changed and deleted through
    // this connection.
    virtual bool MayWrite(const QString& table);

    // Copies the whole database, as one committed state, into a new file.
    // Empty when done; otherwise why not. Not every engine can.
    virtual QString CopyInto(const QString& file);

    // Opens a database file of its own; nullptr, with the engine's message
    // in *error, when that fails.
    static std::unique_ptr<EngineConnection> OpenFile(const QString& file, OpenMode mode,
                                                      QString* error);
    // Connects to a database server with a libpq connection string
    // ("postgresql://[user@]host[:port]/dbname", "host=... dbname=...");
    // nullptr, with the client library's message in *error, when that fails;
    // *needsPassword then tells whether the server asked for a password
    // that neither the string nor libpq's usual places gave.
    static std::unique_ptr<EngineConnection> OpenServer(const QString& conninfo, QString* error,
                                                        const QString& password = {},
                                                        bool* needsPassword = nullptr);
    // The engine library the program is linked with.
    static EngineVersion LinkedVersion();
    // The text of a result code.
    static QString CodeText(int code);
};
