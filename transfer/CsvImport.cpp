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

#include <sqlite3.h>

#include <array>
#include <exception>
#include <memory>
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
    QByteArray producerName;
    QByteArray genreName;
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

    // The key (as UTF-8) of the name given as UTF-8, the record made first
    // when there is none; empty for an empty name.
    QByteArray Key(const QByteArray& utf8Name,
                   const std::function<void(TSqlStatement&, const QString&)>& bindExtra,
                   const QString& extraColumns, int& created) {
        if (utf8Name.isEmpty())
            return {};
        // Rows mostly repeat a few names as they are written.
        if (const auto seen = seen_.constFind(utf8Name); seen != seen_.constEnd())
            return *seen;
        const QString name = QString::fromUtf8(utf8Name);
        const QString folded = name.toCaseFolded();
        if (const auto found = keys_.constFind(folded); found != keys_.constEnd())
            return seen_.insert(utf8Name, found->toUtf8()).value();
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
        return seen_.insert(utf8Name, key.toUtf8()).value();
    }

private:
    sqlite3* db_;
    const char* table_;
    const char* keyColumn_;
    const char* nameColumn_;
    QHash<QString, QString> keys_;
    QHash<QByteArray, QByteArray> seen_;
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

// The number of characters of UTF-8 text.
qsizetype Utf8Length(const QByteArray& text) {
    qsizetype length = 0;
    for (const char byte : text)
        length += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    return length;
}

class RowPreparer {
public:
    RowPreparer(const CsvImportFile& file, const CsvImportMapping& mapping, QSet<QString>& keys)
        : file_(file), keys_(keys) {
        const auto column = [&mapping](const char* field) {
            return mapping.ColumnOf(QLatin1String(field));
        };
        for (const TextTarget& target : TextTargets)
            texts_.push_back({target, column(target.field),
                              CsvImportMapping::FieldWidth(QLatin1String(target.field))});
        for (const TextTarget& target : NumberTargets)
            numbers_.push_back({target, column(target.field), 0});
        files_ = column("figure_files");
        producer_ = column("producer_name");
        genre_ = column("genre_name");
        picture_ = column("picture");
        lookupWidth_ = CsvImportMapping::FieldWidth(QStringLiteral("producer_name"));
    }

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
        const auto bytes = [&record](int column) -> const QByteArray* {
            if (column < 0 || column >= record.fields.size() || !record.fields[column])
                return nullptr;
            return &*record.fields[column];
        };
        const auto value = [&record](int column) -> std::optional<QString> {
            if (column < 0)
                return std::nullopt;
            return column < record.fields.size() ? Text(record.fields[column]) : QString();
        };
        const auto tooLongReason = [](const char* field, int width) {
            return QStringLiteral("%1 is longer than %2 characters")
                .arg(QLatin1String(field))
                .arg(width);
        };

        // Text goes to the table as the UTF-8 it was read in.
        for (const Source& source : texts_) {
            const QByteArray* text = bytes(source.column);
            if (!text || text->isEmpty())
                continue;
            const Column target = source.target.column;
            const QByteArray stored =
                target == FigureId || target == FigureName ? text->trimmed() : *text;
            if (source.width > 0 && Utf8Length(stored) > source.width)
                return skip(tooLongReason(source.target.field, source.width));
            row.values[target] = stored;
        }
        if (row.values[FigureName].toByteArray().isEmpty())
            return skip(QStringLiteral("the figure has no name"));

        for (const Source& source : numbers_) {
            const std::optional<QString> text = value(source.column);
            if (!text || text->trimmed().isEmpty())
                continue;
            const std::optional<double> number = Number(*text);
            if (!number)
                return skip(QStringLiteral("%1 is not a number: \"%2\"")
                                .arg(QLatin1String(source.target.field), *text));
            row.values[source.target.column] = *number;
        }
        if (const std::optional<QString> files = value(files_); files && !files->isEmpty())
            row.values[FigureFiles] = FileList(*files);

        if (const QByteArray* name = bytes(producer_))
            row.producerName = name->trimmed();
        if (Utf8Length(row.producerName) > lookupWidth_)
            return skip(tooLongReason("producer_name", lookupWidth_));
        if (const QByteArray* name = bytes(genre_))
            row.genreName = name->trimmed();
        if (Utf8Length(row.genreName) > lookupWidth_)
            return skip(tooLongReason("genre_name", lookupWidth_));

        const QString key = QString::fromUtf8(row.values[FigureId].toByteArray());
        if (!key.isEmpty() && keys_.contains(key))
            return skip(QStringLiteral("the key %1 is already in the catalog").arg(key));

        if (const std::optional<QString> path = value(picture_);
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
    // A field of the table, the file's column for it (-1 when none) and
    // its width.
    struct Source {
        TextTarget target;
        int column;
        int width;
    };

    const CsvImportFile& file_;
    QSet<QString>& keys_;
    std::vector<Source> texts_;
    std::vector<Source> numbers_;
    int files_ = -1;
    int producer_ = -1;
    int genre_ = -1;
    int picture_ = -1;
    int lookupWidth_ = 0;
};

// The connection's page cache enlarged for its lifetime.
class LargerCache {
public:
    explicit LargerCache(sqlite3* db) : db_(db) {
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
    void Pragma(const QByteArray& size) {
        sqlite3_exec(db_, QByteArray("pragma cache_size = " + size).constData(), nullptr, nullptr,
                     nullptr);
    }

    sqlite3* db_;
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

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

// Binds a row value: UTF-8 bytes as text, except in the picture columns,
// which take them as they are.
void BindValue(sqlite3* db, sqlite3_stmt* statement, int column, const QVariant& value) {
    int rc = SQLITE_OK;
    const int param = column + 1;
    if (!value.isValid()) {
        rc = sqlite3_bind_null(statement, param);
    } else if (value.typeId() == QMetaType::Double) {
        rc = sqlite3_bind_double(statement, param, value.toDouble());
    } else {
        const QByteArray bytes = value.typeId() == QMetaType::QByteArray
                                     ? value.toByteArray()
                                     : value.toString().toUtf8();
        if (column == Picture || column == PictureTh)
            rc = sqlite3_bind_blob64(statement, param, bytes.constData(),
                                     static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT);
        else
            rc = sqlite3_bind_text64(statement, param, bytes.constData(),
                                     static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
    }
    if (rc != SQLITE_OK)
        TSqlStatement::RaiseEngineError(db, rc);
}

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
        const bool keysMapped = mapping.ColumnOf(QStringLiteral("figure_id")) >= 0;
        QSet<QString> keys = keysMapped ? FigureKeys(db) : QSet<QString>();
        // The table and its indexes grow in one transaction: a cache that
        // holds them spares writing pages out and reading them back.
        const LargerCache cache(db);
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
        sqlite3_stmt* prepared = nullptr;
        if (const int rc = sqlite3_prepare_v2(db, InsertFigure, -1, &prepared, nullptr);
            rc != SQLITE_OK)
            TSqlStatement::RaiseEngineError(db, rc);
        const Statement insert(prepared, &sqlite3_finalize);

        for (int index = 0; index < total; ++index) {
            if (progress && index % ProgressStep == 0 && !progress(index, total)) {
                summary = CsvImportSummary();
                summary.stopped = true;
                return summary; // the transaction rolls back
            }
            const CsvRecord& record = file.Rows()[index];
            if (Blank(record))
                continue;
            PreparedRow row = preparer.Prepare(record);
            if (!row.skipReason.isEmpty()) {
                summary.skipped.append({record.line, row.skipReason});
                continue;
            }
            if (!row.values[FigureId].isValid())
                row.values[FigureId] = NewRecordKey();
            else if (keysMapped)
                keys.insert(QString::fromUtf8(row.values[FigureId].toByteArray()));
            const QByteArray producerId =
                producers.Key(row.producerName, producerExtra, QStringLiteral(", insert_time"),
                              summary.producersCreated);
            const QByteArray genreId =
                genres.Key(row.genreName, genreExtra, QStringLiteral(", RX, RY, RH, RW, TB, TE"),
                           summary.genresCreated);
            if (!producerId.isEmpty())
                row.values[ProducerId] = producerId;
            if (!genreId.isEmpty())
                row.values[GenreId] = genreId;
            sqlite3_reset(insert.get());
            for (int column = 0; column < ColumnCount; ++column)
                BindValue(db, insert.get(), column, row.values[column]);
            if (const int rc = sqlite3_step(insert.get()); rc != SQLITE_DONE)
                TSqlStatement::RaiseEngineError(db, rc);
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
