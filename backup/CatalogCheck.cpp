#include "CatalogCheck.h"

#include "DatabaseStructure.h"
#include "TDatabase.h"
#include "TZunPigger.h"

#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <memory>

namespace {

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

QString Text(const unsigned char* text) {
    return text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QString();
}

QString EngineMessage(sqlite3* db) {
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

// The rows of the first column of a statement; false, with the engine's
// message in error, when it cannot be run to its end.
bool Rows(sqlite3* db, const char* sql, QStringList& rows, QString& error) {
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &prepared, nullptr) != SQLITE_OK) {
        error = EngineMessage(db);
        return false;
    }
    const Statement statement(prepared);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW)
        rows << Text(sqlite3_column_text(statement.get(), 0));
    if (step != SQLITE_DONE) {
        error = EngineMessage(db);
        return false;
    }
    return true;
}

// The tables of the structure description, as the engine names them.
QStringList CatalogTables() {
    TZunPigger structure;
    DatabaseStructure::Build(structure);
    QStringList tables;
    for (int i = 0; i < structure.ChildCount(); ++i) {
        const TZunPigger& element = *structure.Child(i);
        if (element.Name() == "TABLE")
            tables << QString::fromStdString(element.GetAttribute("name")).toLower();
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
    const QByteArray file = QFile::encodeName(scratch.filePath(name));
    sqlite3* opened = nullptr;
    const int openResult =
        sqlite3_open_v2(file.constData(), &opened, SQLITE_OPEN_READWRITE, nullptr);
    const Database db(opened);
    if (openResult != SQLITE_OK)
        return QStringLiteral("%1 in the archive can not be opened (%2)")
            .arg(name, EngineMessage(opened));

    // quick_check reads every page: a file that is no database, or a
    // damaged one, fails here.
    QStringList answer;
    QString error;
    if (!Rows(db.get(), "pragma quick_check", answer, error))
        return QStringLiteral("%1 in the archive is not a readable database (%2)").arg(name, error);
    if (answer != QStringList{QStringLiteral("ok")})
        return QStringLiteral("%1 in the archive is damaged (%2)")
            .arg(name, answer.isEmpty() ? QStringLiteral("no answer") : answer.first());

    QStringList tables;
    if (!Rows(db.get(), "select lower(name) from sqlite_master where type = 'table'", tables,
              error))
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
