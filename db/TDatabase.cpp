#include "TDatabase.h"

#include "EDatabaseError.h"
#include "EngineConnection.h"
#include "TQuery.h"

#include <QDir>

#include <algorithm>

namespace {

std::vector<TDatabase*>& Registry() {
    static std::vector<TDatabase*> databases;
    return databases;
}

} // namespace

TDatabase::TDatabase(const QString& databaseName) : databaseName_(databaseName) {
    Registry().push_back(this);
}

TDatabase::~TDatabase() {
    Close();
    for (TQuery* dataSet : dataSets_)
        dataSet->DatabaseName.clear();
    auto& registry = Registry();
    registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
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

bool TDatabase::IsConnected() const {
    return engine_ != nullptr;
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
    QString error;
    std::unique_ptr<EngineConnection> engine =
        OnServer()
            ? OpenServer(&error)
            : EngineConnection::OpenFile(FileName(),
                                         ReadOnly ? EngineConnection::OpenMode::ReadOnly
                                                  : EngineConnection::OpenMode::ReadWriteCreate,
                                         &error);
    if (!engine)
        throw EDatabaseError(error);
    engine->SetBusyTimeout(BusyMilliseconds);
    engine_ = std::move(engine);
}

std::unique_ptr<EngineConnection> TDatabase::OpenServer(QString* error) {
    // A password given for another server is not tried on this one.
    if (passwordServer_ != Server) {
        serverPassword_.clear();
        passwordServer_ = Server;
    }
    for (;;) {
        bool needsPassword = false;
        std::unique_ptr<EngineConnection> engine =
            EngineConnection::OpenServer(Server, error, serverPassword_, &needsPassword);
        if (engine) {
            if (ReadOnly)
                engine->Exec("set default_transaction_read_only to on");
            return engine;
        }
        QString password;
        if (!needsPassword || !PasswordCallback || !PasswordCallback(password))
            return nullptr;
        serverPassword_ = password;
    }
}

void TDatabase::Close() {
    // Closing a dataset may unregister it: work on a copy.
    const std::vector<TQuery*> open = dataSets_;
    for (TQuery* dataSet : open)
        dataSet->Close();
    engine_.reset();
}

EngineConnection* TDatabase::Handle() const {
    return engine_.get();
}

void TDatabase::Register(TQuery* dataSet) {
    if (std::find(dataSets_.begin(), dataSets_.end(), dataSet) == dataSets_.end())
        dataSets_.push_back(dataSet);
}

void TDatabase::Unregister(TQuery* dataSet) {
    dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), dataSet), dataSets_.end());
}
