#include "CsvReader.h"

#include <cstring>
#include <utility>

CsvReader::CsvReader(QByteArray bytes, char separator, Fields fields)
    : bytes_(std::move(bytes)), separator_(separator), fields_(fields) {
    if (bytes_.startsWith("\xEF\xBB\xBF"))
        position_ = 3;
}

namespace {

const char* Find(const char* from, const char* to, char c) {
    return static_cast<const char*>(std::memchr(from, c, static_cast<std::size_t>(to - from)));
}

// The line breaks (CR LF, LF or a lone CR) that end within data[from, to).
int LineBreaks(const char* data, qsizetype from, qsizetype to, qsizetype end) {
    int breaks = 0;
    for (const char* at = Find(data + from, data + to, '\n'); at != nullptr;
         at = Find(at + 1, data + to, '\n'))
        ++breaks;
    for (const char* at = Find(data + from, data + to, '\r'); at != nullptr;
         at = Find(at + 1, data + to, '\r'))
        if (!(at + 1 < data + end && at[1] == '\n'))
            ++breaks;
    return breaks;
}

} // namespace

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

QByteArray CsvReader::Field(qsizetype from, qsizetype length) const {
    if (fields_ == Fields::ViewsOfTheBytes)
        return QByteArray::fromRawData(bytes_.constData() + from, length);
    return QByteArray(bytes_.constData() + from, length);
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
                const void* quote =
                    std::memchr(data + close, '"', static_cast<std::size_t>(end - close));
                const qsizetype stop =
                    quote != nullptr ? static_cast<const char*>(quote) - data : end;
                line_ += LineBreaks(data, close, stop, end);
                close = stop;
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
                text = Field(position_, close - position_);
            } else {
                // Each run up to a pair's first quote, then past its second.
                text.reserve(close - position_);
                qsizetype at = position_;
                while (at < close) {
                    const char* quote = static_cast<const char*>(
                        std::memchr(data + at, '"', static_cast<std::size_t>(close - at)));
                    const qsizetype stop = quote != nullptr ? quote - data + 1 : close;
                    text.append(data + at, stop - at);
                    at = stop + 1;
                }
            }
            position_ = close + 1;
        }
        qsizetype run = position_;
        while (run < end && data[run] != separator_ && data[run] != '\r' && data[run] != '\n')
            ++run;
        if (run > position_) {
            if (text.isEmpty())
                text = Field(position_, run - position_);
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

QList<CsvRecord> CsvReader::ReadAll(const QByteArray& bytes, char separator, QString* error,
                                    Fields fields) {
    CsvReader reader(bytes, separator, fields);
    QList<CsvRecord> records;
    CsvRecord record;
    while (reader.Next(record)) {
        const qsizetype count = record.fields.size();
        records.append(std::move(record));
        record = CsvRecord();
        record.fields.reserve(count);
    }
    if (error)
        *error = reader.Error();
    return records;
}
