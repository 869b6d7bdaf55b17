#include "CsvImport.h"

#include "CollectionColumns.h"
#include "CsvImportFile.h"
#include "CsvImportLookup.h"
#include "CsvImportMapping.h"
#include "CsvImportRow.h"
#include "DBactions.h"
#include "DatabaseStructure.h"
#include "EDatabaseError.h"
#include "EngineCode.h"
#include "EngineConnection.h"
#include "TDatabase.h"
#include "TSqlStatement.h"

#include <QDateTime>
#include <QSet>
#include <QVariant>

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>

namespace {

constexpr int ProgressStep = 100;
// From this many rows on, the table's indexes are made again after the
// rows are in rather than grown with them.
constexpr int ManyRows = 5000;

constexpr const char* InsertFigure =
    "insert into figures (figure_id, figure_name, producer_id, genre_id, type_ci, scale, "
    "figure_dsc, figure_files, manual_sheme, picture_th, picture, sculpter_name, painter_name, "
    "prc_kit, prc_pr, prc_pe) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

// The figure's row of the collection table: its key, then the columns.
QString InsertCollection() {
    return QStringLiteral("insert into %1 (figure_id, %2) values (?%3)")
        .arg(QLatin1String(DatabaseStructure::CollectionTable),
             CollectionColumns::Names().join(QStringLiteral(", ")),
             QStringLiteral(", ?").repeated(CollectionColumns::Count));
}

// The connection's page cache enlarged for its lifetime.
class LargerCache {
public:
    explicit LargerCache(EngineConnection* db) : db_(db) {
        TSqlStatement current(db, QStringLiteral("pragma cache_size"));
        if (current.Step())
            previous_ = current.ColumnBytes(0).toByteArray();
        Pragma(QByteArrayLiteral("-262144")); // 256 MB at most, taken as needed
    }
    ~LargerCache() {
        if (!previous_.isEmpty())
            Pragma(previous_);
    }
    LargerCache(const LargerCache&) = delete;
    LargerCache& operator=(const LargerCache&) = delete;

private:
    void Pragma(const QByteArray& size) { db_->Exec("pragma cache_size = " + size); }

    EngineConnection* db_;
    QByteArray previous_;
};

// Whether the record holds nothing but blanks.
bool Blank(const CsvRecord& record) {
    for (const CsvField& field : record.fields) {
        if (!field)
            continue;
        for (const char c : *field)
            if (c != ' ' && c != '\t')
                return false;
    }
    return true;
}

// Binds a row value: text as UTF-8, pictures as bytes, numbers as they are.
// A NULL is left as it is, since a reset statement has every parameter
// NULL. The bytes are bound where they are: the row outlives the step.
void BindValue(TSqlStatement& statement, int param, const CsvImportValue& value) {
    switch (value.kind) {
    case CsvImportValue::Kind::Null:
        break;
    case CsvImportValue::Kind::Text:
        statement.BindUtf8(param, value.bytes, true);
        break;
    case CsvImportValue::Kind::Bytes:
        statement.BindBlob(param, value.bytes, true);
        break;
    case CsvImportValue::Kind::Number:
        statement.Bind(param, value.number);
        break;
    }
}

// The figures table's own indexes, dropped while many rows go in and made
// again afterwards: building an index once from all its rows is much
// cheaper than growing it a row at a time. Inside the import's transaction,
// so a failure brings them back as they were.
class IndexesSetAside {
public:
    explicit IndexesSetAside(EngineConnection* db) : db_(db) {
        TSqlStatement select(db, QStringLiteral("select name, sql from sqlite_master where "
                                                "type = 'index' and tbl_name = 'figures' and "
                                                "sql is not null"));
        while (select.Step())
            indexes_.append(
                {select.ColumnBytes(0).toByteArray(), select.ColumnBytes(1).toByteArray()});
        for (const auto& [name, sql] : indexes_)
            Exec("drop index \"" + name + "\"");
    }
    void Restore() {
        // Each index is sorted in memory rather than in temporary files.
        const LargerCache cache(db_);
        for (const auto& [name, sql] : indexes_)
            Exec(sql);
        indexes_.clear();
    }

private:
    void Exec(const QByteArray& sql) {
        if (const int rc = db_->Exec(sql); rc != EngineCode::Ok)
            TSqlStatement::RaiseEngineError(db_, rc);
    }

    EngineConnection* db_;
    QList<std::pair<QByteArray, QByteArray>> indexes_;
};

QSet<QString> FigureKeys(EngineConnection* db) {
    QSet<QString> keys;
    TSqlStatement select(db, QStringLiteral("select figure_id from figures"));
    while (select.Step())
        keys.insert(QString::fromUtf8(select.ColumnBytes(0).toByteArray()));
    return keys;
}

} // namespace

CsvImport::CsvImport(const QString& databaseName) : databaseName_(databaseName) {}

CsvImportSummary CsvImport::Run(const CsvImportFile& file, const CsvImportMapping& mapping,
                                const Progress& progress) {
    CsvImportSummary summary;
    const QString problem = mapping.Problem();
    if (!problem.isEmpty()) {
        summary.failure = problem;
        return summary;
    }
    const int total = static_cast<int>(file.Rows().size());
    try {
        EngineConnection* db = TDatabase::Connected(databaseName_).Handle();
        TSqlTransaction transaction(db, TSqlTransaction::Lock::Immediate);
        const bool keysMapped = mapping.ColumnOf(QStringLiteral("figure_id")) >= 0;
        QSet<QString> keys = keysMapped ? FigureKeys(db) : QSet<QString>();
        // A cache that holds the pages the import changes spares writing
        // them out before the commit and reading them back (to grow the
        // indexes, or to make them again): each is written once, at the
        // commit, and the journal is not synced on the way.
        const LargerCache cache(db);
        const QDateTime now = QDateTime::currentDateTime();
        CsvImportLookup producers(db, "producers", "producer_id", "producer_name",
                                  QStringLiteral(", insert_time"),
                                  [&now](TSqlStatement& insert) { insert.Bind(3, now); });
        // New genres start where the genres list puts a new one.
        CsvImportLookup genres(db, "genres", "genre_id", "genre_name",
                               QStringLiteral(", RX, RY, RH, RW, TB, TE"),
                               [](TSqlStatement& insert) {
                                   const int values[] = {170, 90, 50, 50, 150, 200};
                                   for (int i = 0; i < 6; ++i)
                                       insert.Bind(3 + i, values[i]);
                               });
        const CsvImportRowReader reader(file, mapping, keys);
        TSqlStatement insert(db, QString::fromLatin1(InsertFigure));
        std::optional<TSqlStatement> insertCollection;
        if (reader.CollectionMapped())
            insertCollection.emplace(db, InsertCollection());
        std::optional<IndexesSetAside> setAside;
        if (total >= ManyRows)
            setAside.emplace(db);
        const QList<QByteArray> newKeys = keysMapped ? QList<QByteArray>() : NewRecordKeys(total);
        qsizetype nextKey = 0;

        for (int index = 0; index < total; ++index) {
            if (progress && index % ProgressStep == 0 && !progress(index, total)) {
                summary = CsvImportSummary();
                summary.stopped = true;
                return summary; // the transaction rolls back
            }
            const CsvRecord& record = file.Rows()[index];
            if (Blank(record))
                continue;
            CsvImportRow row = reader.Read(record);
            if (!row.skipReason.isEmpty()) {
                summary.skipped.append({record.line, row.skipReason});
                continue;
            }
            CsvImportValue& key = row.values[FigureId];
            if (key.IsNull())
                key.SetText(nextKey < newKeys.size() ? newKeys[nextKey++]
                                                     : NewRecordKey().toLatin1());
            else if (keysMapped)
                keys.insert(QString::fromUtf8(key.bytes));
            if (const QByteArray& producerId = producers.Key(row.producerName);
                !producerId.isEmpty())
                row.values[ProducerId].SetText(producerId);
            if (const QByteArray& genreId = genres.Key(row.genreName); !genreId.isEmpty())
                row.values[GenreId].SetText(genreId);
            for (int column = 0; column < ColumnCount; ++column)
                BindValue(insert, column + 1, row.values[column]);
            if (const int rc = insert.StepCode(); rc != EngineCode::Done)
                TSqlStatement::RaiseEngineError(db, rc);
            // The row's bytes go with it: nothing stays bound to them.
            insert.Reset();
            if (!row.collection.isEmpty()) {
                insertCollection->Bind(1, QString::fromUtf8(key.bytes));
                for (int column = 0; column < CollectionColumns::Count; ++column)
                    insertCollection->Bind(column + 2, row.collection[column]);
                if (const int rc = insertCollection->StepCode(); rc != EngineCode::Done)
                    TSqlStatement::RaiseEngineError(db, rc);
                insertCollection->Reset();
            }
            ++summary.added;
        }
        if (setAside)
            setAside->Restore();
        summary.producersCreated = producers.Created();
        summary.genresCreated = genres.Created();
        if (progress && !progress(total, total)) {
            summary = CsvImportSummary();
            summary.stopped = true;
            return summary;
        }
        transaction.Commit();
    } catch (const std::exception& error) {
        summary = CsvImportSummary();
        summary.failure = QString::fromUtf8(error.what());
    }
    return summary;
}
