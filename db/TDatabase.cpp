#include "TDatabase.h"

#include "EDatabaseError.h"
#include "EngineConnection.h"
#include "EngineVersion.h"
#include "TQuery.h"

#include <QDir>
#include <QSqlDriver>
#include <QSqlError>

#include <algorithm>

namespace {

std::vector<TDatabase*>& Registry() {
    static std::vector<TDatabase*> databases;
    return databases;
}

constexpr const char* SqliteDriver = "QSQLITE";

} // namespace

TDatabase::TDatabase(const QString& databaseName)
    : databaseName_(databaseName), connectionName_(QStringLiteral("velmora-") + databaseName) {
    Registry().push_back(this);
}

TDatabase::~TDatabase() {
    Close();
    for (TQuery* dataSet : dataSets_)
        dataSet->DatabaseName.clear();
    auto& registry = Registry();
    registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
    QSqlDatabase::removeDatabase(connectionName_);
}

TDatabase* TDatabase::Find(const QString& databaseName) {
    for (TDatabase* database : Registry()) {
        if (database->databaseName_.compare(databaseName, Qt::CaseInsensitive) == 0)
            return database;
    }
    return nullptr;
}

TDatabase& TDatabase::Connected(const QString& databaseName) {
    TDatabase* database = Find(databaseName);
    if (!database)
        throw EDatabaseError(QStringLiteral("Unknown database: %1").arg(databaseName));
    if (!database->IsConnected())
        database->Open();
    return *database;
}

bool TDatabase::DriverAvailable() {
    return QSqlDatabase::isDriverAvailable(SqliteDriver);
}

bool TDatabase::IsConnected() const {
    return QSqlDatabase::contains(connectionName_) &&
           QSqlDatabase::database(connectionName_, false).isOpen();
}

QString TDatabase::ParamValue(const QString& name) const {
    const QString prefix = name + QLatin1Char('=');
    for (const QString& line : Params) {
        if (line.startsWith(prefix, Qt::CaseInsensitive))
            return line.mid(prefix.size());
    }
    return {};
}

QString TDatabase::FileName() const {
    const QString folder = ParamValue(QStringLiteral("PATH"));
    return QDir(folder.isEmpty() ? QStringLiteral(".") : folder).filePath(FileNameInFolder);
}

void TDatabase::Open() {
    if (IsConnected())
        return;
    if (BeforeConnect)
        BeforeConnect(*this);
    if (!DriverAvailable())
        throw EDatabaseError(QStringLiteral("Driver not loaded: the SQLite database driver is "
                                            "not installed"));
    QSqlDatabase db = QSqlDatabase::contains(connectionName_)
                          ? QSqlDatabase::database(connectionName_, false)
                          : QSqlDatabase::addDatabase(SqliteDriver, connectionName_);
    db.setDatabaseName(FileName());
    engine_.reset();
    if (!db.open())
        throw EDatabaseError(db.lastError().text(), db.lastError().nativeErrorCode().toInt());
    // Handle() gives the driver's connection to the program's own engine
    // calls: never to another library than the driver's.
    QString mismatch;
    try {
        mismatch = EngineVersion::Mismatch(EngineVersion::OfDriver(db), EngineVersion::Linked());
    } catch (...) {
        db.close();
        throw;
    }
    if (!mismatch.isEmpty()) {
        db.close();
        throw EDatabaseError(mismatch);
    }
}

void TDatabase::Close() {
    // Closing a dataset may unregister it: work on a copy.
    const std::vector<TQuery*> open = dataSets_;
    for (TQuery* dataSet : open)
        dataSet->Close();
    engine_.reset();
    if (QSqlDatabase::contains(connectionName_))
        QSqlDatabase::database(connectionName_, false).close();
}

QSqlDatabase TDatabase::Connection() const {
    return QSqlDatabase::database(connectionName_, false);
}

EngineConnection* TDatabase::Handle() const {
    if (!IsConnected()) {
        engine_.reset();
        return nullptr;
    }
    if (!engine_)
        engine_ = EngineConnection::OfDriver(Connection().driver()->handle());
    return engine_.get();
}

void TDatabase::Register(TQuery* dataSet) {
    if (std::find(dataSets_.begin(), dataSets_.end(), dataSet) == dataSets_.end())
        dataSets_.push_back(dataSet);
}

void TDatabase::Unregister(TQuery* dataSet) {
    dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), dataSet), dataSets_.end());
}
