#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class EngineConnection;
class TQuery;

// A named database connection (the program's is "ADB"), as the rest of the
// program addresses it. Parameters are set just before connecting through
// BeforeConnect: the driver name "STANDARD" and the line "PATH=<folder>"
// mean the SQLite database file velmora.db in that folder.
//
// Every query names its database; the first use of a closed connection
// connects it. Closing the connection closes every dataset open on it.
class TDatabase {
public:
    static constexpr const char* FileNameInFolder = "velmora.db";

    explicit TDatabase(const QString& databaseName);
    ~TDatabase();
    TDatabase(const TDatabase&) = delete;
    TDatabase& operator=(const TDatabase&) = delete;

    // The connection of that name, or nullptr.
    static TDatabase* Find(const QString& databaseName);
    // The connection of that name, connected; raises EDatabaseError when
    // there is none or it cannot connect.
    static TDatabase& Connected(const QString& databaseName);

    // Whether the SQLite driver of the toolkit can be loaded.
    static bool DriverAvailable();

    QString DatabaseName() const { return databaseName_; }
    QString AliasName;
    QString DriverName;
    QStringList Params;
    // Called every time the connection is about to connect.
    std::function<void(TDatabase&)> BeforeConnect;
    // Asked for a password when the engine meets a protected table: fill in
    // the password and return true to retry, false to give up. The embedded
    // engine has no protected tables and never asks.
    std::function<bool(QString& password)> PasswordCallback;

    bool IsConnected() const;
    // Raises EDatabaseError with the engine's message on failure, and when
    // the driver's SQLite is not the library the program is linked with.
    void Open();
    void Close();

    // The database file: velmora.db in the PATH= folder.
    QString FileName() const;
    // The open connection (Open first).
    QSqlDatabase Connection() const;
    // The engine connection beneath the open connection, for what the
    // toolkit's driver does not offer; nullptr while closed. It lives until
    // the connection closes.
    EngineConnection* Handle() const;

    void Register(TQuery* dataSet);
    void Unregister(TQuery* dataSet);

private:
    QString ParamValue(const QString& name) const;

    QString databaseName_;
    QString connectionName_;
    std::vector<TQuery*> dataSets_;
    mutable std::unique_ptr<EngineConnection> engine_;
};
