#pragma once

#include <QPdfWriter>
#include <QSaveFile>
#include <QString>

#include <memory>

// A PDF file written whole or not at all: A4 pages with 15 mm margins,
// drawn through Writer() and put in place by Commit(). A file left
// uncommitted is never created.
class PdfFile {
public:
    // Raises EFileError ("Cannot create file ...") when the file cannot be
    // written.
    PdfFile(const QString& fileName, const QString& title);
    ~PdfFile();
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    QPdfWriter& Writer() { return *writer_; }
    // Raises EFileError when the file cannot be completed.
    void Commit();

private:
    QString fileName_;
    QSaveFile file_;
    std::unique_ptr<QPdfWriter> writer_;
};
