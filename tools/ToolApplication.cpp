#include "ToolApplication.h"

#include "TDatabase.h"

#include <QSqlDatabase>

std::unique_ptr<QGuiApplication> MakeGuiApplication() {
    if (QGuiApplication::instance() != nullptr)
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "velmora-tool";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

void OpenCatalogReadOnly(TDatabase& database, const QString& folder) {
    database.DriverName = QStringLiteral("STANDARD");
    database.Params = {QStringLiteral("PATH=") + folder};
    database.Open();
    QSqlDatabase connection = database.Connection();
    connection.close();
    connection.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
    database.Open();
}
