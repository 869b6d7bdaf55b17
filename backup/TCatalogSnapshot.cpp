#include "TCatalogSnapshot.h"

#include "EDatabaseError.h"
#include "EngineConnection.h"
#include "TDatabase.h"
#include "TSqlStatement.h"

#include <QFile>

namespace {

// How long the snapshot waits for a writer to commit before it gives up.
constexpr int WriterWaitMilliseconds = 10000;

// Runs a statement to its end; the first column of its last row in value.
bool Run(EngineConnection& db, const char* sql, QString* value = nullptr) {
    try {
        TSqlStatement statement(&db, QString::fromUtf8(sql));
        while (statement.Step()) {
            if (value)
                *value = QString::fromUtf8(statement.ColumnBytes(0).toByteArray());
        }
    } catch (const EDatabaseError&) {
        return false;
    }
    return true;
}

} // namespace

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
    QString openError;
    db_ =
        EngineConnection::OpenFile(catalogFile, EngineConnection::OpenMode::ReadWrite, &openError);
    if (!db_) {
        fault = QStringLiteral("the catalog can not be opened (%1)").arg(openError);
        return false;
    }
    EngineConnection& opened = *db_;
    opened.SetBusyTimeout(WriterWaitMilliseconds);
    QString mode;
    // The first read rolls back a journal left behind, and finds the mode
    // the file is kept in.
    if (!Run(opened, "select count(*) from sqlite_master") ||
        !Run(opened, "pragma journal_mode", &mode)) {
        fault = QStringLiteral("the catalog can not be read (%1)").arg(opened.ErrorMessage());
        return false;
    }
    if (mode.compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0)
        return CopyThroughEngine(scratchFolder, fault);
    // From the first read of the transaction on, no writer can commit.
    if (!Run(opened, "begin") || !Run(opened, "select count(*) from sqlite_master")) {
        fault = QStringLiteral("the catalog can not be read (%1)").arg(opened.ErrorMessage());
        return false;
    }
    file_ = catalogFile;
    return true;
}

bool TCatalogSnapshot::CopyThroughEngine(const QString& scratchFolder, QString& fault) {
    const QString copy =
        scratchFolder + QLatin1Char('/') + QString::fromLatin1(TDatabase::FileNameInFolder);
    const QString failure = db_->CopyInto(copy);
    if (!failure.isEmpty()) {
        fault = QStringLiteral("the catalog can not be copied (%1)").arg(failure);
        return false;
    }
    file_ = copy;
    return true;
}
