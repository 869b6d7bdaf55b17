#include "ReadOnlyCatalog.h"

#include "EngineConnection.h"
#include "Msg.h"
#include "TDatabase.h"

QString ReadOnlyCatalog::Message() {
    return QStringLiteral("This catalog is read-only for you");
}

bool ReadOnlyCatalog::Applies(const QString& databaseName, const QStringList& tables) {
    const TDatabase* database = TDatabase::Find(databaseName);
    EngineConnection* handle = database && database->IsConnected() ? database->Handle() : nullptr;
    if (!handle)
        return false;
    for (const QString& table : tables) {
        if (!handle->MayWrite(table))
            return true;
    }
    return false;
}

bool ReadOnlyCatalog::Tell(const QString& databaseName, const QStringList& tables) {
    if (!Applies(databaseName, tables))
        return false;
    ShowMsg(Message());
    return true;
}
