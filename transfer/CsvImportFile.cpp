#include "CsvImportFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

QString Text(const CsvField& field) {
    return field ? QString::fromUtf8(*field) : QString();
}

} // namespace

bool CsvImportFile::Load(const QString& fileName) {
    fileName_ = fileName;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("%1 can not be read (%2)").arg(fileName, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error_ = QStringLiteral("%1 can not be read (%2)").arg(fileName, file.errorString());
        return false;
    }
    return LoadBytes(bytes, QFileInfo(fileName).absolutePath());
}

bool CsvImportFile::LoadBytes(const QByteArray& bytes, const QString& folder) {
    folder_ = folder;
    error_.clear();
    header_.clear();
    rows_.clear();
    text_.clear();
    encoding_ = CsvImportText::GuessEncoding(bytes);
    const QByteArray utf8 = CsvImportText::ToUtf8(bytes, encoding_);
    separator_ = CsvImportText::GuessSeparator(utf8);
    QString error;
    QList<CsvRecord> records =
        CsvReader::ReadAll(utf8, separator_, &error, CsvReader::Fields::ViewsOfTheBytes);
    if (!error.isEmpty()) {
        error_ = error;
        return false;
    }
    if (records.isEmpty()) {
        error_ = QStringLiteral("the file holds no line with column names");
        return false;
    }
    for (const CsvField& field : records.front().fields)
        header_ << Text(field).trimmed();
    records.removeFirst();
    text_ = utf8;
    rows_ = std::move(records);
    return true;
}

QList<QStringList> CsvImportFile::Preview() const {
    QList<QStringList> preview;
    const qsizetype count = std::min<qsizetype>(rows_.size(), PreviewRows);
    for (qsizetype i = 0; i < count; ++i) {
        QStringList texts;
        for (qsizetype column = 0; column < header_.size(); ++column)
            texts << (column < rows_[i].fields.size() ? Text(rows_[i].fields[column]) : QString());
        preview << texts;
    }
    return preview;
}
