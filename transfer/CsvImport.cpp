#include "CsvImport.h"

#include "AutoThumbnail.h"
#include "CsvImportFile.h"
#include "CsvImportMapping.h"
#include "DBactions.h"
#include "EDatabaseError.h"
#include "JpegEncoder.h"
#include "PictureLoader.h"
#include "TDatabase.h"
#include "TSqlStatement.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QVariant>

#include <array>
#include <exception>
#include <optional>
#include <vector>

namespace {

constexpr int ProgressStep = 100;

// Columns of the figures table a row writes, in the insert's order.
enum Column {
    FigureId,
    FigureName,
    ProducerId,
    GenreId,
    TypeCi,
    Scale,
    FigureDsc,
    FigureFiles,
    ManualSheme,
    PictureTh,
    Picture,
    SculpterName,
    PainterName,
    PrcKit,
    PrcPr,
    PrcPe,
    ColumnCount
};

constexpr const char* InsertFigure =
    "insert into figures (figure_id, figure_name, producer_id, genre_id, type_ci, scale, "
    "figure_dsc, figure_files, manual_sheme, picture_th, picture, sculpter_name, painter_name, "
    "prc_kit, prc_pr, prc_pe) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

// Where a plain text field goes.
struct TextTarget {
    const char* field;
    Column column;
};
constexpr TextTarget TextTargets[] = {
    {"figure_id", FigureId},
    {"figure_name", FigureName},
    {"type_ci", TypeCi},
    {"scale", Scale},
    {"figure_dsc", FigureDsc},
    {"manual_sheme", ManualSheme},
    {"sculpter_name", SculpterName},
    {"painter_name", PainterName},
};
constexpr TextTarget NumberTargets[] = {{"prc_kit", PrcKit}, {"prc_pr", PrcPr}, {"prc_pe", PrcPe}};

// A row ready to insert, or why it is skipped.
struct PreparedRow {
    std::array<QVariant, ColumnCount> values;
    QString producerName;
    QString genreName;
    QString skipReason;
};

// The names of a lookup table by their folded form, with their keys.
class Lookup {
public:
    Lookup(sqlite3* db, const char* table, const char* keyColumn, const char* nameColumn)
        : db_(db), table_(table), keyColumn_(keyColumn), nameColumn_(nameColumn) {
        TSqlStatement select(db, QStringLiteral("select %1, %2 from %3")
                                     .arg(QLatin1String(keyColumn), QLatin1String(nameColumn),
                                          QLatin1String(table)));
        while (select.Step()) {
            const QString key = QString::fromUtf8(select.ColumnBytes(0).toByteArray());
            const QString name = QString::fromUtf8(select.ColumnBytes(1).toByteArray());
            keys_.insert(name.trimmed().toCaseFolded(), key);
        }
    }

    // The key of the name, the record made first when there is none; empty
    // for an empty name.
    QString Key(const QString& name,
                const std::function<void(TSqlStatement&, const QString&)>& bindExtra,
                const QString& extraColumns, int& created) {
        if (name.isEmpty())
            return {};
        const QString folded = name.toCaseFolded();
        const auto found = keys_.constFind(folded);
        if (found != keys_.constEnd())
            return *found;
        if (!insert_.IsValid())
            insert_ = TSqlStatement(db_, QStringLiteral("insert into %1 (%2, %3%4) values (?, ?%5)")
                                             .arg(QLatin1String(table_), QLatin1String(keyColumn_),
                                                  QLatin1String(nameColumn_), extraColumns,
                                                  QStringLiteral(", ?").repeated(
                                                      extraColumns.count(QLatin1Char(',')))));
        const QString key = NewRecordKey();
        insert_.Reset();
        insert_.Bind(1, key);
        insert_.Bind(2, name);
        bindExtra(insert_, key);
        insert_.Step();
        keys_.insert(folded, key);
        ++created;
        return key;
    }

private:
    sqlite3* db_;
    const char* table_;
    const char* keyColumn_;
    const char* nameColumn_;
    QHash<QString, QString> keys_;
    TSqlStatement insert_;
};

QString Text(const CsvField& field) {
    return field ? QString::fromUtf8(*field) : QString();
}

// The stored form of attached files: each path followed by CR LF.
QString FileList(const QString& text) {
    QString stored;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")))) {
        const QString path = line.trimmed();
        if (!path.isEmpty())
            stored += path + QStringLiteral("\r\n");
    }
    return stored;
}

std::optional<double> Number(QString text) {
    text = text.trimmed();
    if (!text.contains(QLatin1Char('.')))
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

class RowPreparer {
public:
    RowPreparer(const CsvImportFile& file, const CsvImportMapping& mapping, QSet<QString>& keys)
        : file_(file), mapping_(mapping), keys_(keys) {}

    PreparedRow Prepare(const CsvRecord& record) const {
        PreparedRow row;
        const auto skip = [&row](const QString& reason) {
            row.skipReason = reason;
            return row;
        };
        if (record.fields.size() > file_.Header().size())
            return skip(QStringLiteral("%1 fields where the first line names %2 columns")
                            .arg(record.fields.size())
                            .arg(file_.Header().size()));
        const auto value = [&](const char* field) -> std::optional<QString> {
            const int column = mapping_.ColumnOf(QLatin1String(field));
            if (column < 0)
                return std::nullopt;
            return column < record.fields.size() ? Text(record.fields[column]) : QString();
        };
        const auto tooLong = [&](const char* field, const QString& text) {
            const int width = CsvImportMapping::FieldWidth(QLatin1String(field));
            return width > 0 && text.size() > width;
        };
        const auto tooLongReason = [](const char* field) {
            return QStringLiteral("%1 is longer than %2 characters")
                .arg(QLatin1String(field))
                .arg(CsvImportMapping::FieldWidth(QLatin1String(field)));
        };

        for (const TextTarget& target : TextTargets) {
            const std::optional<QString> text = value(target.field);
            if (!text || text->isEmpty())
                continue;
            const QString stored =
                target.column == FigureId || target.column == FigureName ? text->trimmed() : *text;
            if (tooLong(target.field, stored))
                return skip(tooLongReason(target.field));
            row.values[target.column] = stored;
        }
        if (row.values[FigureName].toString().isEmpty())
            return skip(QStringLiteral("the figure has no name"));

        for (const TextTarget& target : NumberTargets) {
            const std::optional<QString> text = value(target.field);
            if (!text || text->trimmed().isEmpty())
                continue;
            const std::optional<double> number = Number(*text);
            if (!number)
                return skip(QStringLiteral("%1 is not a number: \"%2\"")
                                .arg(QLatin1String(target.field), *text));
            row.values[target.column] = *number;
        }
        if (const std::optional<QString> files = value("figure_files"); files && !files->isEmpty())
            row.values[FigureFiles] = FileList(*files);

        row.producerName = value("producer_name").value_or(QString()).trimmed();
        if (tooLong("producer_name", row.producerName))
            return skip(tooLongReason("producer_name"));
        row.genreName = value("genre_name").value_or(QString()).trimmed();
        if (tooLong("genre_name", row.genreName))
            return skip(tooLongReason("genre_name"));

        const QString key = row.values[FigureId].toString();
        if (!key.isEmpty() && keys_.contains(key))
            return skip(QStringLiteral("the key %1 is already in the catalog").arg(key));

        if (const std::optional<QString> path = value("picture");
            path && !path->trimmed().isEmpty()) {
            const QString fileName = QDir(file_.Folder()).absoluteFilePath(path->trimmed());
            if (!QFileInfo(fileName).isFile())
                return skip(
                    QStringLiteral("the picture file %1 does not exist").arg(path->trimmed()));
            QString failure;
            const std::optional<QImage> picture = LoadPictureFile(fileName, &failure);
            if (!picture)
                return skip(QStringLiteral("the picture %1 can not be loaded%2")
                                .arg(path->trimmed(), failure.isEmpty()
                                                          ? QString()
                                                          : QStringLiteral(": ") + failure));
            row.values[Picture] = PictureToJpegBytes(*picture);
            row.values[PictureTh] = AutoThumbnailBytes(*picture);
        }
        return row;
    }

private:
    const CsvImportFile& file_;
    const CsvImportMapping& mapping_;
    QSet<QString>& keys_;
};

QSet<QString> FigureKeys(sqlite3* db) {
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
        sqlite3* db = TDatabase::Connected(databaseName_).Handle();
        TSqlTransaction transaction(db, TSqlTransaction::Lock::Immediate);
        QSet<QString> keys =
            mapping.ColumnOf(QStringLiteral("figure_id")) >= 0 ? FigureKeys(db) : QSet<QString>();
        Lookup producers(db, "producers", "producer_id", "producer_name");
        Lookup genres(db, "genres", "genre_id", "genre_name");
        const QDateTime now = QDateTime::currentDateTime();
        const auto producerExtra = [&now](TSqlStatement& insert, const QString&) {
            insert.Bind(3, now);
        };
        // New genres start where the genres list puts a new one.
        const auto genreExtra = [](TSqlStatement& insert, const QString&) {
            const int values[] = {170, 90, 50, 50, 150, 200};
            for (int i = 0; i < 6; ++i)
                insert.Bind(3 + i, values[i]);
        };
        const RowPreparer preparer(file, mapping, keys);
        TSqlStatement insert(db, QString::fromLatin1(InsertFigure));

        for (int index = 0; index < total; ++index) {
            if (progress && index % ProgressStep == 0 && !progress(index, total)) {
                summary = CsvImportSummary();
                summary.stopped = true;
                return summary; // the transaction rolls back
            }
            const CsvRecord& record = file.Rows()[index];
            bool blank = true;
            for (const CsvField& field : record.fields)
                blank = blank && (!field || field->trimmed().isEmpty());
            if (blank)
                continue;
            PreparedRow row = preparer.Prepare(record);
            if (!row.skipReason.isEmpty()) {
                summary.skipped.append({record.line, row.skipReason});
                continue;
            }
            if (row.values[FigureId].toString().isEmpty())
                row.values[FigureId] = NewRecordKey();
            keys.insert(row.values[FigureId].toString());
            const QString producerId =
                producers.Key(row.producerName, producerExtra, QStringLiteral(", insert_time"),
                              summary.producersCreated);
            const QString genreId =
                genres.Key(row.genreName, genreExtra, QStringLiteral(", RX, RY, RH, RW, TB, TE"),
                           summary.genresCreated);
            if (!producerId.isEmpty())
                row.values[ProducerId] = producerId;
            if (!genreId.isEmpty())
                row.values[GenreId] = genreId;
            insert.Reset();
            for (int column = 0; column < ColumnCount; ++column)
                insert.Bind(column + 1, row.values[column]);
            insert.Step();
            ++summary.added;
        }
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
