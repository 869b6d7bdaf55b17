#include "CatalogExport.h"

#include "CollectionColumns.h"
#include "CsvWriter.h"
#include "DatabaseStructure.h"
#include "EDatabaseError.h"
#include "EFileError.h"
#include "TDatabase.h"
#include "TSqlStatement.h"
#include "TTable.h"
#include "TZunPigger.h"
#include "WholeFile.h"

#include <QDir>
#include <QSaveFile>

#include <exception>
#include <optional>

namespace {

CsvField FieldOf(const QVariant& value) {
    if (value.isNull())
        return std::nullopt;
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    return value.toString().toUtf8();
}

// The name a lookup gives a key; NULL for a key it does not hold.
CsvField NameOf(const QHash<QString, QString>& names, const QVariant& key) {
    const auto name = names.constFind(key.toString());
    if (key.isNull() || name == names.cend())
        return std::nullopt;
    return name->toUtf8();
}

// A key as a file name: letters, digits, '-' and '_' stay, anything else
// becomes '_' so that no key reaches outside the folder.
QString FileStem(const QString& key) {
    QString stem;
    for (const QChar c : key) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           c == QLatin1Char('-') || c == QLatin1Char('_');
        stem.append(plain ? c : QLatin1Char('_'));
    }
    return stem.isEmpty() ? QStringLiteral("_") : stem;
}

// A CSV file written whole when closed, or not at all.
class CsvFile {
public:
    explicit CsvFile(const QString& fileName) : file_(fileName), writer_(file_) {
        if (!file_.open(QIODevice::WriteOnly))
            throw EFileError::CannotCreate(fileName.toStdString());
    }

    void Write(const QList<CsvField>& fields) {
        if (!writer_.WriteRecord(fields))
            throw EFileError::CannotCreate(file_.fileName().toStdString());
        ++rows_;
    }

    // The number of rows below the header.
    int Close() {
        if (!file_.commit())
            throw EFileError::CannotCreate(file_.fileName().toStdString());
        return rows_ - 1;
    }

private:
    QSaveFile file_;
    CsvWriter writer_;
    int rows_ = 0;
};

QList<CsvField> Header(const QStringList& columns) {
    QList<CsvField> fields;
    for (const QString& column : columns)
        fields.append(column.toUtf8());
    return fields;
}

QStringList Columns(const TSqlStatement& statement) {
    QStringList columns;
    for (int i = 0; i < statement.ColumnCount(); ++i)
        columns.append(statement.ColumnName(i));
    return columns;
}

// The position of a column, its name's letter case aside; -1 when absent.
int ColumnIndex(const QStringList& columns, const QString& name) {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace

CatalogExport::CatalogExport(const QString& outFolder, Scope scope, const QString& databaseName)
    : outFolder_(outFolder), scope_(scope), databaseName_(databaseName),
      connection_(TDatabase::Connected(databaseName).Handle()) {}

QByteArray CatalogExport::ManualFile(const QByteArray& stored) {
    TZunPigger scheme;
    try {
        scheme.LoadFromString(std::string_view(stored.constData(), stored.size()));
    } catch (const std::exception&) {
        return stored;
    }
    if (scheme.Name() != "SHEME" || scheme.GetAttribute("VERSION") == "2")
        return stored;
    scheme.SetAttribute("VERSION", "2");
    const std::string text = scheme.SaveToString();
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

TSqlStatement CatalogExport::Prepared(const QString& table, const QString& statement) const {
    try {
        return TSqlStatement(connection_, statement);
    } catch (const EDatabaseError& error) {
        throw EDatabaseError(table + QStringLiteral(": ") + error.Message(), error.EngineCode);
    }
}

TSqlStatement CatalogExport::Select(const QString& table, const QString& order) const {
    return Prepared(table, QStringLiteral("select * from %1 order by %2").arg(table, order));
}

int CatalogExport::Count(const QString& table) const {
    TSqlStatement query = Prepared(table, QStringLiteral("select count(*) from ") + table);
    if (!query.Step())
        throw EDatabaseError(table + QStringLiteral(": no count"));
    return query.ColumnValue(0).toInt();
}

QHash<QString, QString> CatalogExport::Names(const QString& table, const QString& key,
                                             const QString& name) const {
    TSqlStatement query =
        Prepared(table, QStringLiteral("select %1, %2 from %3").arg(key, name, table));
    QHash<QString, QString> names;
    while (query.Step())
        names.insert(query.ColumnValue(0).toString(), query.ColumnValue(1).toString());
    return names;
}

QHash<QString, QList<CsvField>> CatalogExport::CollectionCells() const {
    const QString table = QString::fromLatin1(DatabaseStructure::CollectionTable);
    TTable collection(databaseName_);
    collection.TableName = table;
    try {
        collection.GetFieldNames();
    } catch (const EDatabaseError&) {
        return {}; // read only, the catalog was not brought up to date
    }
    TSqlStatement query =
        Prepared(table, QStringLiteral("select figure_id, %1 from %2")
                            .arg(CollectionColumns::Names().join(QStringLiteral(", ")), table));
    QHash<QString, QList<CsvField>> cells;
    while (query.Step()) {
        QVariantList stored;
        for (int i = 1; i < query.ColumnCount(); ++i)
            stored.append(query.ColumnValue(i));
        cells.insert(query.ColumnValue(0).toString(), CollectionColumns::Cells(stored));
    }
    return cells;
}

void CatalogExport::Step() {
    ++done_;
    if (progress_)
        progress_(done_, total_);
}

QString CatalogExport::Claim(const QString& folder, const QString& stem, const QString& suffix) {
    QString name = folder + QLatin1Char('/') + stem + suffix;
    for (int n = 2; claimed_.contains(name.toLower()); ++n)
        name = folder + QLatin1Char('/') + stem + QLatin1Char('~') + QString::number(n) + suffix;
    claimed_.insert(name.toLower());
    return name;
}

CsvField CatalogExport::WriteBlob(const QVariant& value, const char* folder, const QString& stem,
                                  const QString& suffix) {
    if (value.isNull())
        return std::nullopt;
    const QByteArray bytes = value.toByteArray();
    if (bytes.isEmpty())
        return QByteArray("");
    const QString path = Claim(QString::fromLatin1(folder), stem, suffix);
    const QString fileName = QDir(outFolder_).filePath(path);
    if (!WriteWholeFile(fileName, bytes))
        throw EFileError::CannotCreate(fileName.toStdString());
    ++filesWritten_;
    return path.toUtf8();
}

int CatalogExport::WriteTable(const QString& table, const char* fileName) {
    TSqlStatement query = Select(table, QStringLiteral("rowid"));
    CsvFile file(QDir(outFolder_).filePath(QString::fromLatin1(fileName)));
    file.Write(Header(Columns(query)));
    while (query.Step()) {
        QList<CsvField> fields;
        for (int i = 0; i < query.ColumnCount(); ++i)
            fields.append(FieldOf(query.ColumnValue(i)));
        file.Write(fields);
    }
    const int rows = file.Close();
    summary_.append(QStringLiteral("%1: %2 rows").arg(QString::fromLatin1(fileName)).arg(rows));
    return rows;
}

void CatalogExport::WriteAddPictures() {
    const bool writeCsv = scope_ == Scope::Everything;
    TSqlStatement query =
        Select(QStringLiteral("add_pictures"), QStringLiteral("figure_id, rowid"));
    const QStringList columns = Columns(query);
    std::optional<CsvFile> file;
    if (writeCsv) {
        file.emplace(QDir(outFolder_).filePath(QString::fromLatin1(AddPicturesFile)));
        file->Write(Header(columns));
    }
    const int figureColumn = ColumnIndex(columns, QStringLiteral("figure_id"));
    const int keyColumn = ColumnIndex(columns, QStringLiteral("add_picture_id"));
    QHash<QString, int> numbers;
    while (query.Step()) {
        QString owner = figureColumn < 0 ? QString() : query.ColumnValue(figureColumn).toString();
        if (owner.isEmpty() && keyColumn >= 0)
            owner = query.ColumnValue(keyColumn).toString();
        const QString stem = FileStem(owner) + QLatin1Char('-') + QString::number(++numbers[owner]);
        QList<CsvField> fields;
        for (int i = 0; i < columns.size(); ++i) {
            const QString& column = columns[i];
            const QVariant value = query.ColumnValue(i);
            if (column == QLatin1String("picture")) {
                const CsvField path =
                    WriteBlob(value, PicturesFolder, stem, QStringLiteral(".jpg"));
                if (path && !path->isEmpty())
                    addPicturePaths_[owner].append(*path + "\r\n");
                fields.append(path);
            } else if (column == QLatin1String("picture_th")) {
                fields.append(WriteBlob(value, PicturesFolder, stem, QStringLiteral("-thumb.bmp")));
            } else {
                fields.append(FieldOf(value));
            }
        }
        if (file)
            file->Write(fields);
        Step();
    }
    if (file) {
        const int rows = file->Close();
        summary_.append(
            QStringLiteral("%1: %2 rows").arg(QString::fromLatin1(AddPicturesFile)).arg(rows));
    }
}

void CatalogExport::WriteFigures() {
    const QHash<QString, QString> producers =
        Names(QStringLiteral("producers"), QStringLiteral("producer_id"),
              QStringLiteral("producer_name"));
    const QHash<QString, QString> genres =
        Names(QStringLiteral("genres"), QStringLiteral("genre_id"), QStringLiteral("genre_name"));
    const QHash<QString, QList<CsvField>> collection = CollectionCells();
    const QList<CsvField> noCollection = CollectionColumns::Cells({});
    TSqlStatement query = Select(QStringLiteral("figures"), QStringLiteral("rowid"));
    const QStringList columns = Columns(query);
    const bool withManuals = scope_ == Scope::Everything;

    QStringList header;
    for (const QString& column : columns) {
        if (column == QLatin1String("manual_sheme") && !withManuals)
            continue;
        header.append(column);
        if (column == QLatin1String("producer_id"))
            header.append(QString::fromLatin1(ProducerNameColumn));
        else if (column == QLatin1String("genre_id"))
            header.append(QString::fromLatin1(GenreNameColumn));
    }
    header.append(CollectionColumns::Names());
    header.append(QString::fromLatin1(AddPicturesColumn));

    CsvFile file(QDir(outFolder_).filePath(QString::fromLatin1(FiguresFile)));
    file.Write(Header(header));
    const int keyColumn = ColumnIndex(columns, QStringLiteral("figure_id"));
    while (query.Step()) {
        const QString key = keyColumn < 0 ? QString() : query.ColumnValue(keyColumn).toString();
        const QString stem = FileStem(key);
        QList<CsvField> fields;
        for (int i = 0; i < columns.size(); ++i) {
            const QString& column = columns[i];
            const QVariant value = query.ColumnValue(i);
            if (column == QLatin1String("picture")) {
                fields.append(WriteBlob(value, PicturesFolder, stem, QStringLiteral(".jpg")));
            } else if (column == QLatin1String("picture_th")) {
                fields.append(WriteBlob(value, PicturesFolder, stem, QStringLiteral("-thumb.bmp")));
            } else if (column == QLatin1String("manual_sheme")) {
                if (!withManuals)
                    continue;
                QVariant manual = value;
                if (!value.toByteArray().isEmpty()) {
                    manual = ManualFile(value.toByteArray());
                    ++manualsWritten_;
                }
                fields.append(WriteBlob(manual, ManualsFolder, stem, QStringLiteral(".APSH")));
            } else {
                fields.append(FieldOf(value));
            }
            if (column == QLatin1String("producer_id"))
                fields.append(NameOf(producers, value));
            else if (column == QLatin1String("genre_id"))
                fields.append(NameOf(genres, value));
        }
        fields.append(collection.value(key, noCollection));
        const auto paths = addPicturePaths_.constFind(key);
        fields.append(paths == addPicturePaths_.cend() ? CsvField() : CsvField(*paths));
        file.Write(fields);
        Step();
    }
    const int rows = file.Close();
    summary_.append(QStringLiteral("%1: %2 rows").arg(QString::fromLatin1(FiguresFile)).arg(rows));
}

void CatalogExport::Run() {
    const QDir out(outFolder_);
    QStringList folders = {QString::fromLatin1(PicturesFolder)};
    if (scope_ == Scope::Everything)
        folders.append(QString::fromLatin1(ManualsFolder));
    for (const QString& folder : folders)
        if (!out.mkpath(folder))
            throw EFileError::CannotCreate(out.filePath(folder).toStdString());

    done_ = 0;
    total_ = Count(QStringLiteral("figures")) + Count(QStringLiteral("add_pictures"));
    summary_.clear();
    claimed_.clear();
    addPicturePaths_.clear();
    filesWritten_ = 0;
    manualsWritten_ = 0;

    WriteAddPictures();
    const QStringList addPictures = summary_;
    summary_.clear();
    WriteFigures();
    summary_.append(addPictures);
    WriteTable(QStringLiteral("producers"), ManufacturersFile);
    WriteTable(QStringLiteral("genres"), GenresFile);
    if (scope_ == Scope::Everything)
        WriteTable(QStringLiteral("scales"), ScalesFile);
    summary_.append(QStringLiteral("%1: %2 files")
                        .arg(QString::fromLatin1(PicturesFolder))
                        .arg(filesWritten_ - manualsWritten_));
    if (scope_ == Scope::Everything)
        summary_.append(QStringLiteral("%1: %2 files")
                            .arg(QString::fromLatin1(ManualsFolder))
                            .arg(manualsWritten_));
}
