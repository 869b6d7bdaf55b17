#include "CsvReader.h"

#include <algorithm>
#include <cstring>
#include <thread>
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

// From this size on, bytes are read in two halves at the same time.
constexpr qsizetype SplitSize = qsizetype(1) << 20;

// Where a record most likely starts near the middle of the bytes: after a
// line feed with an even number of quotes before it. 0 when there is none
// close by.
qsizetype MiddleRecordStart(const QByteArray& bytes) {
    constexpr qsizetype Search = 1 << 16;
    const char* data = bytes.constData();
    const qsizetype middle = bytes.size() / 2;
    bool quoted = std::count(data, data + middle, '"') % 2 != 0;
    const qsizetype limit = std::min(bytes.size() - 1, middle + Search);
    for (qsizetype at = middle; at < limit; ++at) {
        if (data[at] == '"')
            quoted = !quoted;
        else if (data[at] == '\n' && !quoted)
            return at + 1;
    }
    return 0;
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
                const char* quote = Find(data + close, data + end, '"');
                close = quote != nullptr ? quote - data : end;
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
            line_ += LineBreaks(data, position_, close, end);
            if (!doubled) {
                text = Field(position_, close - position_);
            } else {
                // Each run up to a pair's first quote, then past its second.
                text = QByteArray(close - position_, Qt::Uninitialized);
                char* out = text.data();
                qsizetype at = position_;
                while (at < close) {
                    const char* quote = Find(data + at, data + close, '"');
                    const qsizetype stop = quote != nullptr ? quote - data + 1 : close;
                    std::memcpy(out, data + at, static_cast<std::size_t>(stop - at));
                    out += stop - at;
                    at = stop + 1;
                }
                text.truncate(out - text.constData());
            }
            position_ = close + 1;
        }
        const char separator = separator_;
        qsizetype run = position_;
        while (run < end && data[run] != separator && data[run] != '\r' && data[run] != '\n')
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

void CsvReader::AppendRecords(QList<CsvRecord>& records, qsizetype stopAt) {
    CsvRecord record;
    while (position_ < stopAt && Next(record)) {
        const qsizetype count = record.fields.size();
        records.append(std::move(record));
        record = CsvRecord();
        record.fields.reserve(count);
    }
}

QList<CsvRecord> CsvReader::ReadAll(const QByteArray& bytes, char separator, QString* error,
                                    Fields fields) {
    CsvReader reader(bytes, separator, fields);
    QList<CsvRecord> records;
    if (const qsizetype middle = bytes.size() >= SplitSize ? MiddleRecordStart(bytes) : 0;
        middle > 0) {
        // The second half is read from where a record most likely starts.
        // It is taken when the first half's last record ends exactly there:
        // then it reads as it would have after the first. Otherwise the
        // first half's reading goes on through it.
        CsvReader second(bytes, separator, fields);
        second.position_ = middle;
        QList<CsvRecord> rest;
        bool secondRead = false;
        std::thread thread([&second, &rest, &secondRead] {
            try {
                second.AppendRecords(rest, second.bytes_.size());
                secondRead = second.error_.isEmpty();
            } catch (...) {
            }
        });
        try {
            reader.AppendRecords(records, middle);
        } catch (...) {
            thread.join();
            throw;
        }
        thread.join();
        if (secondRead && reader.position_ == middle && reader.error_.isEmpty()) {
            for (CsvRecord& record : rest)
                record.line += reader.line_ - 1;
            records.append(std::move(rest));
            reader.position_ = bytes.size();
        }
    }
    reader.AppendRecords(records, bytes.size());
    if (error)
        *error = reader.Error();
    return records;
}
