#include "CsvReader.h"

#include <utility>

CsvReader::CsvReader(QByteArray bytes, char separator)
    : bytes_(std::move(bytes)), separator_(separator) {
    if (bytes_.startsWith("\xEF\xBB\xBF"))
        position_ = 3;
}

bool CsvReader::SkipLineBreak() {
    if (position_ >= bytes_.size())
        return false;
    const char c = bytes_[position_];
    if (c == '\r') {
        ++position_;
        if (position_ < bytes_.size() && bytes_[position_] == '\n')
            ++position_;
    } else if (c == '\n') {
        ++position_;
    } else {
        return false;
    }
    ++line_;
    return true;
}

bool CsvReader::Next(CsvRecord& record) {
    if (!error_.isEmpty())
        return false;
    while (SkipLineBreak()) {
    }
    const qsizetype end = bytes_.size();
    if (position_ >= end)
        return false;

    record.line = line_;
    record.fields.clear();
    for (;;) {
        QByteArray text;
        bool quoted = false;
        if (position_ < end && bytes_[position_] == '"') {
            quoted = true;
            const int openedOn = line_;
            ++position_;
            for (;;) {
                if (position_ >= end) {
                    error_ = QStringLiteral("Line %1: a quoted field is not closed").arg(openedOn);
                    return false;
                }
                const char c = bytes_[position_];
                if (c == '"') {
                    if (position_ + 1 < end && bytes_[position_ + 1] == '"') {
                        text.append('"');
                        position_ += 2;
                        continue;
                    }
                    ++position_;
                    break;
                }
                if (c == '\n' ||
                    (c == '\r' && !(position_ + 1 < end && bytes_[position_ + 1] == '\n')))
                    ++line_;
                text.append(c);
                ++position_;
            }
        }
        while (position_ < end) {
            const char c = bytes_[position_];
            if (c == separator_ || c == '\r' || c == '\n')
                break;
            text.append(c);
            ++position_;
        }
        record.fields.append(quoted || !text.isEmpty() ? CsvField(text) : CsvField());
        if (position_ < end && bytes_[position_] == separator_) {
            ++position_;
            continue;
        }
        SkipLineBreak();
        return true;
    }
}

QList<CsvRecord> CsvReader::ReadAll(const QByteArray& bytes, char separator, QString* error) {
    CsvReader reader(bytes, separator);
    QList<CsvRecord> records;
    CsvRecord record;
    while (reader.Next(record))
        records.append(record);
    if (error)
        *error = reader.Error();
    return records;
}
