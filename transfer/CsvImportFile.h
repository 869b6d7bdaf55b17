#pragma once

#include "CsvImportText.h"
#include "CsvReader.h"

#include <QList>
#include <QString>
#include <QStringList>

// A CSV file read for importing: its encoding and separator guessed, its
// first record taken as the column names and the others as the rows.
class CsvImportFile {
public:
    static constexpr int PreviewRows = 20;

    // Reads and splits the file; false with Error() set when it cannot be
    // read, holds no record, or a quoted field is left open.
    bool Load(const QString& fileName);
    // The same for bytes already read; folder is where relative picture
    // paths are looked up.
    bool LoadBytes(const QByteArray& bytes, const QString& folder);

    const QString& Error() const { return error_; }
    const QString& FileName() const { return fileName_; }
    // The folder of the file: relative paths in it are taken from there.
    const QString& Folder() const { return folder_; }
    CsvImportText::Encoding Encoding() const { return encoding_; }
    char Separator() const { return separator_; }
    const QStringList& Header() const { return header_; }
    // The records after the header, with the line each starts on. Their
    // fields are views of the file's text held here: a field kept longer
    // than this file is a deep copy (QByteArray(data, size)).
    const QList<CsvRecord>& Rows() const { return rows_; }
    // The first PreviewRows rows as texts, as many columns as the header
    // has (missing fields empty).
    QList<QStringList> Preview() const;

private:
    QString fileName_;
    QString folder_;
    QString error_;
    CsvImportText::Encoding encoding_ = CsvImportText::Encoding::Utf8;
    char separator_ = ',';
    QStringList header_;
    // The file's text as UTF-8, which the rows' fields refer to.
    QByteArray text_;
    QList<CsvRecord> rows_;
};
