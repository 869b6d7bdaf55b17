#include "CatalogCheck.h"

#include "DatabaseStructure.h"
#include "EDatabaseError.h"
#include "EngineConnection.h"
#include "TDatabase.h"
#include "TSqlStatement.h"
#include "TZunPigger.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

// The rows of the first column of a statement; false, with the engine's
// message in error, when it cannot be run to its end.
bool Rows(EngineConnection& db, const char* sql, QStringList& rows, QString& error) {
    try {
        TSqlStatement statement(&db, QString::fromUtf8(sql));
        while (statement.Step())
            rows << QString::fromUtf8(statement.ColumnBytes(0).toByteArray());
    } catch (const EDatabaseError& failure) {
        error = failure.Message();
        return false;
    }
    return true;
}

// The tables of the structure description, as the engine names them,
// but for the collection table: a catalog saved before it had none, and
// the structure check that follows every restore makes it.
QStringList CatalogTables() {
    TZunPigger structure;
    DatabaseStructure::Build(structure);
    const QString addedLater = QString::fromLatin1(DatabaseStructure::CollectionTable);
    QStringList tables;
    for (int i = 0; i < structure.ChildCount(); ++i) {
        const TZunPigger& element = *structure.Child(i);
        const QString name = QString::fromStdString(element.GetAttribute("name")).toLower();
        if (element.Name() == "TABLE" && name != addedLater)
            tables << name;
    }
    return tables;
}

} // namespace

QString CatalogCheck::Problem(const QString& folder, const QStringList& names) {
    const QString name = QString::fromLatin1(TDatabase::FileNameInFolder);
    if (!names.contains(name))
        return QStringLiteral("the archive holds no catalog database (%1)").arg(name);

    const QTemporaryDir scratch(folder + QStringLiteral("/.check-XXXXXX"));
    for (const QString& copied : names) {
        if (copied != name && copied != name + QStringLiteral("-journal") &&
            copied != name + QStringLiteral("-wal"))
            continue;
        if (!scratch.isValid() ||
            !QFile::copy(folder + QLatin1Char('/') + copied, scratch.filePath(copied)))
            return QStringLiteral("%1 in the archive can not be copied for its check").arg(name);
        QFile::setPermissions(scratch.filePath(copied), QFile::ReadOwner | QFile::WriteOwner);
    }
    QString openError;
    const std::unique_ptr<EngineConnection> db = EngineConnection::OpenFile(
        scratch.filePath(name), EngineConnection::OpenMode::ReadWrite, &openError);
    if (!db)
        return QStringLiteral("%1 in the archive can not be opened (%2)").arg(name, openError);

    // quick_check reads every page: a file that is no database, or a
    // damaged one, fails here.
    QStringList answer;
    QString error;
    if (!Rows(*db, "pragma quick_check", answer, error))
        return QStringLiteral("%1 in the archive is not a readable database (%2)").arg(name, error);
    if (answer != QStringList{QStringLiteral("ok")})
        return QStringLiteral("%1 in the archive is damaged (%2)")
            .arg(name, answer.isEmpty() ? QStringLiteral("no answer") : answer.first());

    QStringList tables;
    if (!Rows(*db, "select lower(name) from sqlite_master where type = 'table'", tables, error))
        return QStringLiteral("%1 in the archive is not a readable database (%2)").arg(name, error);
    QStringList missing;
    for (const QString& table : CatalogTables()) {
        if (!tables.contains(table))
            missing << table;
    }
    if (!missing.isEmpty())
        return QStringLiteral("%1 in the archive is no Velmora catalog (no table %2)")
            .arg(name, missing.join(QStringLiteral(", ")));
    return {};
}
