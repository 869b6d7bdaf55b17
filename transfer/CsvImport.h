#pragma once

#include "CsvImportSummary.h"

#include <QString>

#include <functional>

class CsvImportFile;
class CsvImportMapping;

// Brings the rows of a CSV file into the figures of a catalog, each column
// to the field the mapping names; collection columns give the figure its
// row of the collection table when one of them is not empty. Manufacturers
// and genres are found by name ignoring case and created when missing; a
// picture column holds paths of picture files (relative ones from the
// file's folder), each loaded by the picture loader and stored with its
// automatic thumbnail. A row that cannot be taken is skipped and named in
// the summary. Everything happens in one transaction: when the import is
// stopped or fails, the catalog stays as it was.
class CsvImport {
public:
    // Called every few rows and at the end with the rows done and their
    // number; returning false stops the import.
    using Progress = std::function<bool(int done, int total)>;

    explicit CsvImport(const QString& databaseName = QStringLiteral("ADB"));

    // The connection must be open on a catalog with the built-in structure.
    // Never throws: a failure is told in the summary.
    CsvImportSummary Run(const CsvImportFile& file, const CsvImportMapping& mapping,
                         const Progress& progress = {});

private:
    QString databaseName_;
};
