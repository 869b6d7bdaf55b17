#pragma once

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
    static constexpr int BusyMilliseconds = 5000;

    explicit TDatabase(const QString& databaseName);
    ~TDatabase();
    TDatabase(const TDatabase&) = delete;
    TDatabase& operator=(const TDatabase&) = delete;

    // The connection of that name, or nullptr.
    static TDatabase* Find(const QString& databaseName);
    // The connection of that name, connected; raises EDatabaseError when
    // there is none or it cannot connect.
    static TDatabase& Connected(const QString& databaseName);

    QString DatabaseName() const { return databaseName_; }
    QString AliasName;
    QString DriverName;
    QStringList Params;
    // Called every time the connection is about to connect.
    std::function<void(TDatabase&)> BeforeConnect;
    // Asked for a password when the database server wants one that the
    // connection string and libpq's usual places do not give: fill in the
    // password and return true to retry, false to give up. The password is
    // kept in memory only, for connecting again. The database file never
    // asks.
    std::function<bool(QString& password)> PasswordCallback;
    // Set before connecting: the connection only reads, and a missing file
    // is not created.
    bool ReadOnly = false;
    // Set before connecting: a libpq connection string of a catalog on a
    // database server; empty for the file in the PATH= folder.
    QString Server;

    bool IsConnected() const;
    // Opens the database file, creating it when it is missing; a statement
    // waits up to BusyMilliseconds for another program to let go of the
    // file. Raises EDatabaseError with the engine's message on failure.
    void Open();
    void Close();

    // The database file: velmora.db in the PATH= folder.
    QString FileName() const;
    // Whether the catalog lives on a database server.
    bool OnServer() const { return !Server.isEmpty(); }
    // The engine connection every statement runs on; nullptr while closed.
    // It lives until the connection closes.
    EngineConnection* Handle() const;

    void Register(TQuery* dataSet);
    void Unregister(TQuery* dataSet);

private:
    QString ParamValue(const QString& name) const;

    QString databaseName_;
    std::vector<TQuery*> dataSets_;
    std::unique_ptr<EngineConnection> OpenServer(QString* error);

    std::unique_ptr<EngineConnection> engine_;
    QString serverPassword_;
    QString passwordServer_;
};
