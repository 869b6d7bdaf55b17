#pragma once

#include "EngineConnection.h"

struct sqlite3;

// A SQLite connection: one of its own, closed on destruction, or one
// borrowed from its owner.
class SqliteConnection final : public EngineConnection {
public:
    SqliteConnection(sqlite3* db, bool owned) : db_(db), owned_(owned) {}
    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    static std::unique_ptr<EngineConnection> Open(const QString& file, OpenMode mode,
                                                  QString* error);
    static EngineVersion LinkedVersion();
    static QString CodeText(int code);

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
    QString CopyInto(const QString& file) override;
    bool MayWrite(const QString& table) override;

    // The SQLite connection itself.
    sqlite3* Raw() const { return db_; }

private:
    sqlite3* db_;
    bool owned_;
};
