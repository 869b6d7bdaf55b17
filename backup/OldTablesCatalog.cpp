#include "OldTablesCatalog.h"

#include "CatalogCheck.h"
#include "ParadoxImport.h"
#include "TDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A connection of its own: the program's "ADB" is closed during a restore
// and must stay so.
const QString ConnectionName = QStringLiteral("OLD_TABLES");

void RemoveCatalog(const QDir& folder) {
    QFile::remove(folder.filePath(QLatin1String(OldTablesCatalog::CatalogFile)));
    QFile::remove(
        folder.filePath(QLatin1String(OldTablesCatalog::CatalogFile) + QStringLiteral("-journal")));
}

} // namespace

bool OldTablesCatalog::Holds(const QStringList& names) {
    return !names.contains(QLatin1String(CatalogFile), Qt::CaseInsensitive) &&
           ParadoxImport::HoldsTables(names);
}

std::int64_t OldTablesCatalog::Make(const QString& folder, const QStringList& names,
                                    QString& fault) {
    const QDir dir(folder);
    bool imported = false;
    {
        TDatabase database(ConnectionName);
        database.DriverName = QStringLiteral("STANDARD");
        database.Params = {QStringLiteral("PATH=") + folder};
        ParadoxImport import(ConnectionName);
        imported = import.Run(folder);
        database.Close();
        if (!imported)
            fault = QStringLiteral("the tables of an older version could not be imported: ") +
                    import.Error();
    }
    if (!imported) {
        RemoveCatalog(dir);
        return -1;
    }
    QFile::remove(dir.filePath(QLatin1String(CatalogFile) + QStringLiteral("-journal")));
    for (const QString& name : names)
        if (name.compare(QLatin1String(CatalogFile), Qt::CaseInsensitive) != 0)
            QFile::remove(dir.filePath(name));
    return QFileInfo(dir.filePath(QLatin1String(CatalogFile))).size();
}

QString OldTablesCatalog::Restorable(const QString& folder, QStringList& names,
                                     std::vector<std::int64_t>& sizes,
                                     const std::function<bool()>& importOld) {
    const QString fault = CatalogCheck::Problem(folder, names);
    if (fault.isEmpty() || !Holds(names))
        return fault;
    if (!importOld || !importOld())
        return QStringLiteral("the archive holds tables of an older version, which were not "
                              "imported");
    // The tables give way to the catalog made of them.
    QString failure;
    const std::int64_t size = Make(folder, names, failure);
    if (size < 0)
        return failure;
    names = {QString::fromLatin1(CatalogFile)};
    sizes = {size};
    return CatalogCheck::Problem(folder, names);
}
