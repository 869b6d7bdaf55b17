#include "ParadoxTable.h"

#include "ByteReader.h"

#include <QDate>
#include <QDateTime>
#include <QStringDecoder>
#include <QTime>

#include <bit>
#include <stdexcept>
#include <vector>

namespace {

// Raised inside the reader only; Open and ReadRecords turn it into their
// message.
struct Damaged : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr qint64 FixedHeaderSize = 0x58;
constexpr qint64 DataHeaderSize = 0x20;
constexpr int BlobPointerSize = 10;
constexpr qint64 BlobChunk = 4096;
constexpr int SubBlockEntries = 64;
constexpr int SubBlockTable = 12;

void Need(QByteArrayView bytes, qint64 offset, qint64 size, const char* what) {
    if (!ByteReader(bytes).Holds(offset, size))
        throw Damaged(std::string(what) + " lies outside the file");
}

[[noreturn]] void HeaderOutside() {
    throw Damaged("the header lies outside the file");
}

[[noreturn]] void BlobBlockOutside() {
    throw Damaged("a blob block lies outside the file");
}

[[noreturn]] void DataBlockOutside() {
    throw Damaged("a data block lies outside the file");
}

// A user data field: big-endian, with the sign bit flipped for positive
// values; all zero bytes mean an empty field.
bool AllZero(const char* data, int size) {
    for (int i = 0; i < size; ++i)
        if (data[i] != 0)
            return false;
    return true;
}

qint64 SignedBigEndian(const char* data, int size) {
    quint64 value = ByteReader(QByteArrayView(data, size), DataBlockOutside, ByteReader::BigEndian)
                        .Unsigned(0, size);
    const quint64 sign = quint64{1} << (size * 8 - 1);
    value ^= sign;
    if (value & sign)
        value |= ~((sign << 1) - 1);
    return static_cast<qint64>(value);
}

double DoubleField(const char* data) {
    constexpr quint64 Sign = quint64{1} << 63;
    const quint64 bits =
        ByteReader(QByteArrayView(data, 8), DataBlockOutside, ByteReader::BigEndian).UInt64(0);
    return std::bit_cast<double>(bits & Sign ? bits & ~Sign : ~bits);
}

// 17 bytes: the sign in the first byte's top bit (set for positive), then
// 32 digits as nibbles, the last `decimals` of them after the point; a
// negative number stores every digit nibble complemented.
double BcdField(const char* data, int decimals) {
    const bool negative = !(static_cast<unsigned char>(data[0]) & 0x80);
    double value = 0;
    for (int nibble = 0; nibble < 32; ++nibble) {
        const unsigned char byte = static_cast<unsigned char>(data[1 + nibble / 2]);
        int digit = nibble % 2 == 0 ? byte >> 4 : byte & 0x0F;
        if (negative)
            digit = 15 - digit;
        if (digit > 9)
            throw Damaged("a decimal field holds a digit that is none");
        value = value * 10 + digit;
    }
    for (int i = 0; i < decimals; ++i)
        value /= 10;
    return negative ? -value : value;
}

bool KnownType(unsigned type, int size) {
    switch (type) {
    case ParadoxTable::Alpha:
    case ParadoxTable::Bytes:
        return size >= 1 && size <= 255;
    case ParadoxTable::Date:
    case ParadoxTable::Long:
    case ParadoxTable::Time:
    case ParadoxTable::AutoIncrement:
        return size == 4;
    case ParadoxTable::Short:
        return size == 2;
    case ParadoxTable::Currency:
    case ParadoxTable::Number:
    case ParadoxTable::Timestamp:
        return size == 8;
    case ParadoxTable::Logical:
        return size == 1;
    case ParadoxTable::Bcd:
        return size == 17;
    case ParadoxTable::Memo:
    case ParadoxTable::Blob:
    case ParadoxTable::FormattedMemo:
    case ParadoxTable::Ole:
    case ParadoxTable::Graphic:
        return size >= BlobPointerSize && size <= 255;
    default:
        return false;
    }
}

QString CodecName(int codePage) {
    if (codePage >= 1250 && codePage <= 1258)
        return QStringLiteral("windows-%1").arg(codePage);
    if (codePage > 0)
        return QStringLiteral("IBM%1").arg(codePage);
    return {};
}

} // namespace

bool ParadoxTable::Open(QByteArrayView table, QByteArrayView blobs, QString* error) {
    table_ = table;
    blobs_ = blobs;
    fields_.clear();
    try {
        if (table.size() < FixedHeaderSize)
            throw Damaged("the file is too short for a table header");
        const ByteReader fixed(table, HeaderOutside);
        recordSize_ = fixed.UInt16(0x00);
        headerSize_ = fixed.UInt16(0x02);
        const unsigned fileType = fixed.UInt8(0x04);
        const unsigned maxTableSize = fixed.UInt8(0x05);
        recordCount_ = fixed.UInt32(0x06);
        firstBlock_ = fixed.UInt16(0x0E);
        const unsigned fieldCount = fixed.UInt16(0x21);
        version_ = fixed.UInt8(0x39);
        if (fileType != 0 && fileType != 2)
            throw Damaged("the file is no table (it may be an index)");
        if (version_ < 3 || version_ > 12)
            throw Damaged("unknown file version " + std::to_string(version_));
        if (maxTableSize < 1 || maxTableSize > 32)
            throw Damaged("the block size is not one a table has");
        blockSize_ = static_cast<int>(maxTableSize) * 1024;
        if (fieldCount < 1 || fieldCount > 255)
            throw Damaged("the header names no fields or too many");
        if (fixed.UInt32(0x25) != 0)
            throw Damaged("the table is protected by a password");
        const bool dataHeader = version_ >= 5;
        if (dataHeader && fixed.UInt32(0x5C) != 0)
            throw Damaged("the table is protected by a password");
        codePage_ = dataHeader ? fixed.UInt16(0x6A) : 0;
        codec_ = CodecName(codePage_);
        if (codec_.isEmpty() || !QStringDecoder(codec_.toLatin1().constData()).isValid())
            codec_ = QStringLiteral("windows-1252");
        if (headerSize_ > table.size())
            throw Damaged("the header is longer than the file");
        const QByteArrayView header = table.first(headerSize_);

        qint64 position = FixedHeaderSize + (dataHeader ? DataHeaderSize : 0);
        int total = 0;
        for (unsigned i = 0; i < fieldCount; ++i, position += 2) {
            Need(header, position, 2, "the field list");
            Field field;
            field.type = static_cast<unsigned char>(header[position]);
            field.size = static_cast<unsigned char>(header[position + 1]);
            // A decimal field takes 17 bytes; the header gives its decimals.
            if (field.type == Bcd) {
                field.decimals = field.size;
                field.size = 17;
                if (field.decimals > 32)
                    throw Damaged("field " + std::to_string(i + 1) + " has too many decimals");
            }
            if (!KnownType(field.type, field.size))
                throw Damaged("field " + std::to_string(i + 1) + " has an unknown type or size");
            total += field.size;
            fields_.push_back(field);
        }
        if (total != recordSize_)
            throw Damaged("the fields do not fill the record size");
        if (recordSize_ + 6 > blockSize_)
            throw Damaged("a record is larger than a block");
        position += 4 + 4 * static_cast<qint64>(fieldCount);
        position += version_ >= 12 ? 261 : 79;
        for (Field& field : fields_) {
            Need(header, position, 1, "the field names");
            const QByteArrayView rest = header.sliced(position);
            const qsizetype end = rest.indexOf('\0');
            if (end < 0)
                throw Damaged("a field name is not ended");
            field.name = Text(rest.data(), end);
            position += end + 1;
        }
    } catch (const Damaged& e) {
        fields_.clear();
        if (error)
            *error = QString::fromStdString(e.what());
        return false;
    }
    return true;
}

QString ParadoxTable::Text(const char* data, qsizetype size) const {
    QStringDecoder decoder(codec_.toLatin1().constData());
    return decoder.decode(QByteArrayView(data, size));
}

QByteArray ParadoxTable::BlobBytes(const Field& field, const char* data, qint64 record) const {
    const int leader = field.size - BlobPointerSize;
    const ByteReader fieldBytes(QByteArrayView(data, field.size), DataBlockOutside);
    const quint32 pointer = fieldBytes.UInt32(leader);
    const quint32 length = fieldBytes.UInt32(leader + 4);
    if (length == 0)
        return {};
    const auto damaged = [&](const std::string& what) {
        return Damaged("record " + std::to_string(record) + ", field " + field.name.toStdString() +
                       ": " + what);
    };
    if (length <= static_cast<quint32>(leader) && pointer == 0)
        return QByteArray(data, length);
    if (blobs_.isEmpty())
        throw damaged("its blob file is missing");
    const qint64 block = pointer & 0xFFFFFF00u;
    const unsigned index = pointer & 0xFFu;
    if (block == 0 || block % BlobChunk != 0)
        throw damaged("the blob pointer is not one of a blob block");
    Need(blobs_, block, SubBlockTable, "a blob block");
    const ByteReader blobBlock(blobs_, BlobBlockOutside);
    const unsigned type = blobBlock.UInt8(block);
    if (index == 0xFF) {
        if (type != 2)
            throw damaged("the blob pointer leads to a block of another kind");
        if (blobBlock.UInt32(block + 3) != length)
            throw damaged("the blob block and the record disagree on the length");
        const qint64 span = blobBlock.UInt16(block + 1) * BlobChunk;
        if (9 + static_cast<qint64>(length) > span)
            throw damaged("the blob is longer than its block");
        Need(blobs_, block + 9, length, "a blob");
        return blobs_.sliced(block + 9, length).toByteArray();
    }
    if (type != 3)
        throw damaged("the blob pointer leads to a block of another kind");
    if (index >= SubBlockEntries)
        throw damaged("the blob pointer names an entry the block does not have");
    const qint64 entry = block + SubBlockTable + 5 * static_cast<qint64>(index);
    Need(blobs_, entry, 5, "a blob block");
    const qint64 offset = blobBlock.UInt8(entry) * 16;
    const qint64 chunks = blobBlock.UInt8(entry + 1);
    if (offset == 0 || static_cast<qint64>(length) > chunks * 16 ||
        static_cast<qint64>(length) <= (chunks - 1) * 16 || offset + length > BlobChunk)
        throw damaged("the blob block and the record disagree on the blob");
    Need(blobs_, block + offset, length, "a blob");
    return blobs_.sliced(block + offset, length).toByteArray();
}

QVariant ParadoxTable::Value(const Field& field, const char* data, qint64 record) const {
    switch (field.type) {
    case Alpha: {
        qsizetype end = 0;
        while (end < field.size && data[end] != 0)
            ++end;
        return end == 0 ? QVariant() : QVariant(Text(data, end));
    }
    case Memo: {
        const QByteArray bytes = BlobBytes(field, data, record);
        return bytes.isEmpty() ? QVariant() : QVariant(Text(bytes.constData(), bytes.size()));
    }
    case Blob:
    case FormattedMemo:
    case Ole:
    case Graphic: {
        const QByteArray bytes = BlobBytes(field, data, record);
        return bytes.isEmpty() ? QVariant() : QVariant(bytes);
    }
    case Bytes:
        return AllZero(data, field.size) ? QVariant() : QVariant(QByteArray(data, field.size));
    default:
        break;
    }
    if (AllZero(data, field.size))
        return {};
    switch (field.type) {
    case Date: {
        const QDate date =
            QDate::fromJulianDay(QDate(1, 1, 1).toJulianDay() - 1 + SignedBigEndian(data, 4));
        return date.isValid() ? QVariant(date) : QVariant();
    }
    case Short:
    case Long:
    case AutoIncrement:
        return static_cast<int>(SignedBigEndian(data, field.size));
    case Logical:
        return SignedBigEndian(data, 1) != 0;
    case Currency:
    case Number:
        return DoubleField(data);
    case Bcd:
        return BcdField(data, field.decimals);
    case Time: {
        const qint64 ms = SignedBigEndian(data, 4);
        if (ms < 0 || ms >= 86400000)
            return {};
        return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
    }
    case Timestamp: {
        const double ms = DoubleField(data);
        if (!(ms > 0 && ms < 4.0e14))
            return {};
        const qint64 whole = static_cast<qint64>(ms);
        const QDate day = QDate(1, 1, 1).addDays(whole / 86400000 - 1);
        return QDateTime(day, QTime::fromMSecsSinceStartOfDay(static_cast<int>(whole % 86400000)));
    }
    default:
        return {};
    }
}

bool ParadoxTable::ReadRecords(const std::function<bool(const std::vector<QVariant>&)>& row,
                               QString* error) const {
    if (fields_.empty()) {
        if (error)
            *error = QStringLiteral("the table is not open");
        return false;
    }
    try {
        std::vector<bool> visited;
        qint64 record = 0;
        int block = firstBlock_;
        std::vector<QVariant> values(fields_.size());
        while (block != 0) {
            if (static_cast<size_t>(block) >= visited.size())
                visited.resize(static_cast<size_t>(block) + 1, false);
            if (visited[static_cast<size_t>(block)])
                throw Damaged("the block chain runs in a circle");
            visited[static_cast<size_t>(block)] = true;
            const qint64 start = headerSize_ + static_cast<qint64>(block - 1) * blockSize_;
            Need(table_, start, 6, "a data block");
            const ByteReader dataBlock(table_, DataBlockOutside);
            const int next = dataBlock.UInt16(start);
            const int last = dataBlock.Int16(start + 4);
            if (last >= 0) {
                if (last % recordSize_ != 0 || last + recordSize_ + 6 > blockSize_)
                    throw Damaged("a data block states a record count it cannot hold");
                const int count = last / recordSize_ + 1;
                Need(table_, start + 6, static_cast<qint64>(count) * recordSize_, "a data block");
                for (int i = 0; i < count; ++i) {
                    ++record;
                    const char* data = table_.data() + start + 6 + i * recordSize_;
                    for (size_t f = 0; f < fields_.size(); ++f) {
                        values[f] = Value(fields_[f], data, record);
                        data += fields_[f].size;
                    }
                    if (!row(values))
                        return true;
                }
            }
            block = next;
        }
    } catch (const Damaged& e) {
        if (error)
            *error = QString::fromStdString(e.what());
        return false;
    }
    return true;
}
