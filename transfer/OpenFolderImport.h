#pragma once

#include "CsvField.h"
#include "RowImporter.h"

#include <QString>
#include <QStringList>

#include <optional>

struct CsvRecord;

// Reads a folder written by CatalogExport back into the catalog of a
// connection, in one transaction through RowImporter: manufacturers,
// genres, scales, figures with their collection rows and additional
// pictures, with the pictures, thumbnails and manuals read from the files
// their columns name. Rows whose key is already in the catalog are skipped
// and reported; a row whose file is missing or lies outside the folder, or
// whose collection value cannot be stored, is skipped with that reason.
class OpenFolderImport {
public:
    explicit OpenFolderImport(const QString& folder,
                              const QString& databaseName = QStringLiteral("ADB"));

    // Whether the folder holds such an export (its figures.csv).
    static bool IsOpenExport(const QString& folder);

    // True when the rows were brought in (also when every one was skipped);
    // false, with Error() and nothing written, when the files cannot be read
    // or the catalog refused them.
    bool Run();

    QString Error() const { return error_; }
    int Added() const { return importer_.Added(); }
    QStringList SummaryLines() const { return importer_.SummaryLines(); }

private:
    // One CSV file of the folder into a table; false on an error. A file
    // that is not there counts as empty unless it is required.
    bool ImportFile(const char* fileName, const QString& table, bool required);
    // The row of one record, or no row (the reason in `reason`).
    std::optional<QVariantHash> Row(const QString& table, const QStringList& header,
                                    const CsvRecord& record, QString& reason) const;
    // The figure's row of the collection table from its collection
    // columns: empty when their cells are, no row (the reason in `reason`)
    // for a value that cannot be stored.
    std::optional<QVariantHash> CollectionRow(const QStringList& header, const CsvRecord& record,
                                              const QVariantHash& figure, QString& reason) const;
    // The bytes of a file the column names, relative to the folder.
    std::optional<QByteArray> FileBytes(const QByteArray& path, QString& reason) const;
    bool Fail(const QString& message);

    QString folder_;
    RowImporter importer_;
    QString error_;
};
