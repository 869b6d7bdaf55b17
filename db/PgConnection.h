#pragma once

#include "EngineConnection.h"

#include <memory>

class PgSession;

// A connection to a PostgreSQL server through libpq. Statements prepared
// on it share its server connection, which closes when the last of them
// and the connection are gone.
class PgConnection final : public EngineConnection {
public:
    explicit PgConnection(std::shared_ptr<PgSession> session);
    ~PgConnection() override;
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Connects with a libpq connection string ("postgresql://host/db" or
    // "host=... dbname=..."); nullptr, with libpq's message in *error, when
    // that fails.
    static std::unique_ptr<EngineConnection> Open(const QString& conninfo, QString* error,
                                                  const QString& password = {},
                                                  bool* needsPassword = nullptr);

    // A connection string's settings in one text however it is written
    // (URI or keywords, any order): "keyword=value" lines sorted, without
    // the password. The string itself when it cannot be read.
    static QString ServerKey(const QString& conninfo);

    int Prepare(QByteArrayView utf8, std::unique_ptr<EngineStatement>* statement,
                qsizetype* used) override;
    int Exec(const QByteArray& sql) override;
    QString ErrorMessage() const override;
    int ErrorCode() const override;
    bool InTransaction() const override;
    qint64 TotalChanges() const override;
    qint64 Changes() const override;
    int BusyTimeout() override;
    void SetBusyTimeout(int milliseconds) override;
    Dialect SqlDialect() const override { return Dialect::PostgreSql; }
    int Listen(const QString& channel) override;
    int Notify(const QString& channel, const QString& payload) override;
    QList<Notification> TakeNotifications() override;
    int NotificationSocket() const override;
    // From the role's privileges on the table, and whether its
    // transactions may write at all.
    bool MayWrite(const QString& table) override;
    // A new database file with the catalog's structure, holding the rows
    // of one snapshot of the server's tables.
    QString CopyInto(const QString& file) override;

private:
    std::shared_ptr<PgSession> session_;
    int busyTimeout_ = 0;
};
