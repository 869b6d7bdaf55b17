#include "OpenFolderImport.h"

#include "CatalogExport.h"
#include "CollectionColumns.h"
#include "CsvReader.h"
#include "DatabaseStructure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Columns whose field names a file of the folder rather than holding the
// value.
bool NamesAFile(const QString& column) {
    return column == QLatin1String("picture") || column == QLatin1String("picture_th") ||
           column == QLatin1String("manual_sheme");
}

// Columns of figures.csv that are there for a reader of the file, or that
// go to the collection table, not to the figure.
bool NotTheFigures(const QString& table, const QString& column) {
    return table == QLatin1String("figures") &&
           (column == QLatin1String(CatalogExport::ProducerNameColumn) ||
            column == QLatin1String(CatalogExport::GenreNameColumn) ||
            column == QLatin1String(CatalogExport::AddPicturesColumn) ||
            CollectionColumns::Names().contains(column));
}

} // namespace

OpenFolderImport::OpenFolderImport(const QString& folder, const QString& databaseName)
    : folder_(folder), importer_(databaseName) {}

bool OpenFolderImport::IsOpenExport(const QString& folder) {
    return QFileInfo(QDir(folder).filePath(QString::fromLatin1(CatalogExport::FiguresFile)))
        .isFile();
}

bool OpenFolderImport::Fail(const QString& message) {
    error_ = message;
    importer_.Rollback();
    return false;
}

std::optional<QByteArray> OpenFolderImport::FileBytes(const QByteArray& path,
                                                      QString& reason) const {
    const QString relative = QDir::cleanPath(QString::fromUtf8(path));
    if (QDir::isAbsolutePath(relative) || relative == QLatin1String("..") ||
        relative.startsWith(QLatin1String("../"))) {
        reason = QStringLiteral("the file %1 lies outside the folder").arg(relative);
        return std::nullopt;
    }
    // A link inside the folder may still lead out of it.
    const QString inside = QDir(folder_).canonicalPath() + QLatin1Char('/');
    const QString canonical = QFileInfo(QDir(folder_).filePath(relative)).canonicalFilePath();
    if (!canonical.isEmpty() && !canonical.startsWith(inside)) {
        reason = QStringLiteral("the file %1 lies outside the folder").arg(relative);
        return std::nullopt;
    }
    QFile file(QDir(folder_).filePath(relative));
    if (!file.open(QIODevice::ReadOnly)) {
        reason = QStringLiteral("the file %1 cannot be read").arg(relative);
        return std::nullopt;
    }
    return file.readAll();
}

std::optional<QVariantHash> OpenFolderImport::Row(const QString& table, const QStringList& header,
                                                  const CsvRecord& record, QString& reason) const {
    QVariantHash row;
    for (qsizetype i = 0; i < header.size() && i < record.fields.size(); ++i) {
        const QString& column = header[i];
        const CsvField& field = record.fields[i];
        if (NotTheFigures(table, column))
            continue;
        if (!field) {
            row.insert(column, QVariant());
        } else if (!NamesAFile(column)) {
            // An empty text stays apart from NULL.
            row.insert(column, field->isEmpty() ? QStringLiteral("") : QString::fromUtf8(*field));
        } else if (field->isEmpty()) {
            row.insert(column, QByteArray(""));
        } else {
            const std::optional<QByteArray> bytes = FileBytes(*field, reason);
            if (!bytes)
                return std::nullopt;
            row.insert(column, *bytes);
        }
    }
    return row;
}

std::optional<QVariantHash> OpenFolderImport::CollectionRow(const QStringList& header,
                                                            const CsvRecord& record,
                                                            const QVariantHash& figure,
                                                            QString& reason) const {
    QList<CsvField> cells;
    for (const QString& name : CollectionColumns::Names()) {
        const qsizetype column = header.indexOf(name);
        cells.append(column >= 0 && column < record.fields.size() ? record.fields[column]
                                                                  : CsvField());
    }
    const CollectionColumns::Row collection = CollectionColumns::Read(cells);
    if (!collection.error.isEmpty()) {
        reason = collection.error;
        return std::nullopt;
    }
    QVariantHash row;
    if (collection.values.isEmpty())
        return row;
    row.insert(QStringLiteral("figure_id"), figure.value(QStringLiteral("figure_id")));
    for (int i = 0; i < CollectionColumns::Count; ++i)
        row.insert(CollectionColumns::Names()[i], collection.values[i]);
    return row;
}

bool OpenFolderImport::ImportFile(const char* fileName, const QString& table, bool required) {
    const QString name = QString::fromLatin1(fileName);
    QFile file(QDir(folder_).filePath(name));
    if (!file.exists() && !required)
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("%1 cannot be read").arg(name));
    CsvReader reader(file.readAll());
    CsvRecord record;
    if (!reader.Next(record))
        return reader.Error().isEmpty() ? true : Fail(name + QStringLiteral(": ") + reader.Error());
    QStringList header;
    for (const CsvField& field : record.fields)
        header.append(field ? QString::fromUtf8(*field).trimmed().toLower() : QString());
    while (reader.Next(record)) {
        const QString label = QStringLiteral("%1 line %2").arg(name).arg(record.line);
        QString reason;
        std::optional<QVariantHash> row = Row(table, header, record, reason);
        std::optional<QVariantHash> collection;
        if (row && table == QLatin1String("figures")) {
            collection = CollectionRow(header, record, *row, reason);
            if (!collection)
                row.reset();
        }
        if (!row) {
            importer_.Skip(table, label, reason);
        } else if (!importer_.Add(table, *row, label)) {
            if (importer_.Failed())
                return Fail(importer_.Error());
        } else if (collection && !collection->isEmpty() &&
                   !importer_.Add(QString::fromLatin1(DatabaseStructure::CollectionTable),
                                  *collection, label) &&
                   importer_.Failed()) {
            return Fail(importer_.Error());
        }
    }
    if (!reader.Error().isEmpty())
        return Fail(name + QStringLiteral(": ") + reader.Error());
    return true;
}

bool OpenFolderImport::Run() {
    error_.clear();
    if (!IsOpenExport(folder_))
        return Fail(QStringLiteral("%1 holds no %2")
                        .arg(QDir::toNativeSeparators(folder_),
                             QString::fromLatin1(CatalogExport::FiguresFile)));
    if (!importer_.Begin())
        return Fail(importer_.Error());
    const bool read =
        ImportFile(CatalogExport::ManufacturersFile, QStringLiteral("producers"), false) &&
        ImportFile(CatalogExport::GenresFile, QStringLiteral("genres"), false) &&
        ImportFile(CatalogExport::ScalesFile, QStringLiteral("scales"), false) &&
        ImportFile(CatalogExport::FiguresFile, QStringLiteral("figures"), true) &&
        ImportFile(CatalogExport::AddPicturesFile, QStringLiteral("add_pictures"), false);
    if (!read)
        return false;
    if (!importer_.Commit())
        return Fail(importer_.Error());
    return true;
}
