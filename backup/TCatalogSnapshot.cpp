#include "TCatalogSnapshot.h"

#include "TDatabase.h"

#include <QFile>

#include <sqlite3.h>

namespace {

// How long the snapshot waits for a writer to commit before it gives up.
constexpr int WriterWaitMilliseconds = 10000;

QString EngineMessage(sqlite3* db) {
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

// Runs a statement to its end; the first column of its last row in value.
bool Run(sqlite3* db, const char* sql, QString* value = nullptr) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        return false;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        if (value)
            *value =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    }
    sqlite3_finalize(statement);
    return step == SQLITE_DONE;
}

} // namespace

void TCatalogSnapshot::Close::operator()(sqlite3* db) const {
    // Ends the read transaction, if one is open.
    sqlite3_close_v2(db);
}

TCatalogSnapshot::TCatalogSnapshot() = default;

TCatalogSnapshot::~TCatalogSnapshot() = default;

bool TCatalogSnapshot::IsJournal(const QString& name) {
    const QString catalog = QString::fromLatin1(TDatabase::FileNameInFolder);
    return name == catalog + QStringLiteral("-journal") ||
           name == catalog + QStringLiteral("-wal") || name == catalog + QStringLiteral("-shm");
}

bool TCatalogSnapshot::Take(const QString& catalogFile, const QString& scratchFolder,
                            QString& fault) {
    db_.reset();
    file_.clear();
    sqlite3* opened = nullptr;
    const int result = sqlite3_open_v2(QFile::encodeName(catalogFile).constData(), &opened,
                                       SQLITE_OPEN_READWRITE, nullptr);
    db_.reset(opened);
    if (result != SQLITE_OK) {
        fault = QStringLiteral("the catalog can not be opened (%1)").arg(EngineMessage(opened));
        return false;
    }
    sqlite3_busy_timeout(opened, WriterWaitMilliseconds);
    QString mode;
    // The first read rolls back a journal left behind, and finds the mode
    // the file is kept in.
    if (!Run(opened, "select count(*) from sqlite_master") ||
        !Run(opened, "pragma journal_mode", &mode)) {
        fault = QStringLiteral("the catalog can not be read (%1)").arg(EngineMessage(opened));
        return false;
    }
    if (mode.compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0)
        return CopyThroughEngine(scratchFolder, fault);
    // From the first read of the transaction on, no writer can commit.
    if (!Run(opened, "begin") || !Run(opened, "select count(*) from sqlite_master")) {
        fault = QStringLiteral("the catalog can not be read (%1)").arg(EngineMessage(opened));
        return false;
    }
    file_ = catalogFile;
    return true;
}

bool TCatalogSnapshot::CopyThroughEngine(const QString& scratchFolder, QString& fault) {
    const QString copy =
        scratchFolder + QLatin1Char('/') + QString::fromLatin1(TDatabase::FileNameInFolder);
    sqlite3* opened = nullptr;
    int result = sqlite3_open_v2(QFile::encodeName(copy).constData(), &opened,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const std::unique_ptr<sqlite3, Close> target(opened);
    if (result == SQLITE_OK) {
        // One step copies every page inside one read transaction.
        sqlite3_backup* backup = sqlite3_backup_init(opened, "main", db_.get(), "main");
        if (!backup) {
            result = sqlite3_errcode(opened);
        } else {
            result = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            if (result == SQLITE_DONE)
                result = sqlite3_errcode(opened);
        }
    }
    if (result != SQLITE_OK) {
        fault = QStringLiteral("the catalog can not be copied (%1)")
                    .arg(QString::fromUtf8(sqlite3_errstr(result)));
        return false;
    }
    file_ = copy;
    return true;
}
