#include "CsvReader.h"

#include <utility>

CsvReader::CsvReader(QByteArray bytes, char separator)
    : bytes_(std::move(bytes)), separator_(separator) {
    if (bytes_.startsWith("\xEF\xBB\xBF"))
        position_ = 3;
}

bool CsvReader::SkipLineBreak() {
    const char* data = bytes_.constData();
    if (position_ >= bytes_.size())
        return false;
    const char c = data[position_];
    if (c == '\r') {
        ++position_;
        if (position_ < bytes_.size() && data[position_] == '\n')
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
    // Read through a pointer, and taken in runs rather than byte by byte:
    // a large file is read in one pass without copying a byte twice.
    const char* data = bytes_.constData();
    const qsizetype end = bytes_.size();
    if (position_ >= end)
        return false;

    record.line = line_;
    record.fields.clear();
    for (;;) {
        QByteArray text;
        bool quoted = false;
        if (data[position_] == '"') {
            quoted = true;
            const int openedOn = line_;
            ++position_;
            // Where the field's closing quote is, and whether doubled quotes
            // stand for quotes within it: a field without them is taken in
            // one piece.
            qsizetype close = position_;
            bool doubled = false;
            for (;;) {
                while (close < end && data[close] != '"') {
                    if (data[close] == '\n' ||
                        (data[close] == '\r' && !(close + 1 < end && data[close + 1] == '\n')))
                        ++line_;
                    ++close;
                }
                if (close >= end) {
                    error_ = QStringLiteral("Line %1: a quoted field is not closed").arg(openedOn);
                    return false;
                }
                if (close + 1 < end && data[close + 1] == '"') {
                    doubled = true;
                    close += 2;
                    continue;
                }
                break;
            }
            if (!doubled) {
                text = QByteArray(data + position_, close - position_);
            } else {
                text.reserve(close - position_);
                for (qsizetype at = position_; at < close; ++at) {
                    text.append(data[at]);
                    if (data[at] == '"')
                        ++at; // the second quote of a pair
                }
            }
            position_ = close + 1;
        }
        qsizetype run = position_;
        while (run < end && data[run] != separator_ && data[run] != '\r' && data[run] != '\n')
            ++run;
        if (run > position_) {
            if (text.isEmpty())
                text = QByteArray(data + position_, run - position_);
            else
                text.append(data + position_, run - position_);
        }
        position_ = run;
        record.fields.append(quoted || !text.isEmpty() ? CsvField(std::move(text)) : CsvField());
        if (position_ < end && data[position_] == separator_) {
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
    while (reader.Next(record)) {
        const qsizetype fields = record.fields.size();
        records.append(std::move(record));
        record = CsvRecord();
        record.fields.reserve(fields);
    }
    if (error)
        *error = reader.Error();
    return records;
}
