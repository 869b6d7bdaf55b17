#include "TablePacker.h"

#include "DBactions.h"
#include "EDatabaseError.h"
#include "EngineCode.h"
#include "EngineConnection.h"
#include "TDatabase.h"
#include "TTable.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <QVariant>

#include <exception>

namespace {

// How long a step waits for another program to let go of the database
// before it fails with the engine's message.
constexpr int ShortWaitMilliseconds = 300;

struct PackedTable {
    const char* line;
    const char* name;
};

const PackedTable PackedTables[] = {
    {"  Genres...", "genres"},
    {"  Producers...", "producers"},
    {"  Figures...", "figures"},
    {"  Additional images...", "add_pictures"},
};

QString FailureLine(const QString& name, const std::exception& error) {
    return QStringLiteral("!!! Can not fix the problem : ") + name + QLatin1Char(':') +
           QString::fromUtf8(error.what());
}

// Shortens the connection's wait for locks for its lifetime; a connection
// that cannot be made is left for the steps to report.
class ShortWait {
public:
    explicit ShortWait(const QString& databaseName) : databaseName_(databaseName) {
        try {
            if (EngineConnection* engine = TDatabase::Connected(databaseName).Handle()) {
                previous_ = engine->BusyTimeout();
                engine->SetBusyTimeout(ShortWaitMilliseconds);
            }
        } catch (const std::exception&) {
            previous_ = -1;
        }
    }
    ~ShortWait() {
        const TDatabase* database = TDatabase::Find(databaseName_);
        if (previous_ < 0 || !database)
            return;
        if (EngineConnection* engine = database->Handle())
            engine->SetBusyTimeout(previous_);
    }
    ShortWait(const ShortWait&) = delete;
    ShortWait& operator=(const ShortWait&) = delete;

private:
    QString databaseName_;
    int previous_ = -1;
};

// The server keeps its own files: each table is vacuumed, its statistics
// renewed and its indexes rebuilt, outside any transaction.
bool PackOnServer(const QString& databaseName, const QString& tableName,
                  const TablePacker::History& history) {
    try {
        EngineConnection* engine = TDatabase::Connected(databaseName).Handle();
        for (const QString& sql :
             {QStringLiteral("vacuum (analyze) %1"), QStringLiteral("reindex table %1")}) {
            if (engine->Exec(sql.arg(tableName).toUtf8()) != EngineCode::Ok)
                throw EDatabaseError(engine->ErrorMessage(), engine->ErrorCode());
        }
        return true;
    } catch (const std::exception& error) {
        history(FailureLine(tableName, error));
        return false;
    }
}

qint64 Megabytes(qint64 bytes, bool roundUp) {
    constexpr qint64 Megabyte = 1024 * 1024;
    return roundUp ? (bytes + Megabyte - 1) / Megabyte : bytes / Megabyte;
}

} // namespace

TablePacker::TablePacker(const QString& databaseName)
    : FreeSpace([](const QString& folder) { return QStorageInfo(folder).bytesAvailable(); }),
      databaseName_(databaseName) {}

bool TablePacker::Pack(const History& history) {
    const ShortWait wait(databaseName_);
    const TDatabase* database = TDatabase::Find(databaseName_);
    const bool onServer = database && database->OnServer();
    history(QStringLiteral("--- Primary keys checking and tables packing ---"));
    bool packed = true;
    for (const PackedTable& table : PackedTables) {
        history(QString::fromLatin1(table.line));
        const QString name = QString::fromLatin1(table.name);
        packed =
            (onServer ? PackOnServer(databaseName_, name, history) : PackOneTable(name, history)) &&
            packed;
    }
    // The server has no file of the catalog to compact.
    return onServer ? packed : Compact(history) && packed;
}

bool TablePacker::PackOneTable(const QString& tableName, const History& history) {
    TTable table(databaseName_);
    table.TableName = tableName;
    table.Exclusive = true;
    try {
        table.Open();
        PackTable(table);
        table.Close();
        return true;
    } catch (const std::exception& error) {
        table.Close();
        history(FailureLine(tableName, error));
        return false;
    }
}

bool TablePacker::Compact(const History& history) {
    QString fileName;
    try {
        const TDatabase& database = TDatabase::Connected(databaseName_);
        fileName = QFileInfo(database.FileName()).fileName();
        // Compacting needs about the file's size again beside it, for the
        // engine's journal.
        const qint64 needed = QFileInfo(database.FileName()).size();
        const qint64 available = FreeSpace(QFileInfo(database.FileName()).absolutePath());
        if (available >= 0 && available < needed) {
            history(QStringLiteral("!!! Not enough disk space to compact the catalog: %1 MB "
                                   "free, %2 MB needed")
                        .arg(Megabytes(available, false))
                        .arg(Megabytes(needed, true)));
            return false;
        }
        CompactDatabase(databaseName_);
        return true;
    } catch (const std::exception& error) {
        history(FailureLine(fileName.isEmpty() ? databaseName_ : fileName, error));
        return false;
    }
}
