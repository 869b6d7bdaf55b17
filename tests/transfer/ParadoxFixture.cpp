#include "ParadoxFixture.h"

#include "ParadoxTable.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace ParadoxFixture {
namespace {

constexpr int Chunk = 4096;
constexpr int SubTable = 12;
constexpr int SubEntries = 64;
constexpr int SubThreshold = 2048;

void Put16(QByteArray& bytes, qsizetype at, unsigned value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8 & 0xFF);
}

void Put32(QByteArray& bytes, qsizetype at, quint32 value) {
    Put16(bytes, at, value & 0xFFFF);
    Put16(bytes, at + 2, value >> 16);
}

void PutSigned(char* out, qint64 value, int size) {
    quint64 bits = static_cast<quint64>(value);
    bits ^= quint64{1} << (size * 8 - 1);
    for (int i = size - 1; i >= 0; --i, bits >>= 8)
        out[i] = static_cast<char>(bits & 0xFF);
}

void PutDouble(char* out, double value) {
    quint64 bits;
    std::memcpy(&bits, &value, 8);
    if (bits >> 63)
        bits = ~bits;
    else
        bits |= quint64{1} << 63;
    for (int i = 7; i >= 0; --i, bits >>= 8)
        out[i] = static_cast<char>(bits & 0xFF);
}

// The sign bit (set for positive numbers), a bit always set and the
// decimals, then 32 digits as nibbles; a negative number's digits
// complemented.
void PutBcd(char* out, double value, int decimals) {
    const bool negative = value < 0;
    double scaled = std::abs(value);
    for (int i = 0; i < decimals; ++i)
        scaled *= 10;
    QByteArray digits = QByteArray::number(static_cast<qint64>(std::llround(scaled)));
    digits = QByteArray(32 - digits.size(), '0') + digits;
    out[0] = static_cast<char>((negative ? 0x00 : 0x80) | 0x40 | decimals);
    for (int i = 0; i < 32; ++i) {
        int digit = digits[i] - '0';
        if (negative)
            digit = 15 - digit;
        char& byte = out[1 + i / 2];
        byte = static_cast<char>(i % 2 == 0 ? digit << 4 : (byte & 0xF0) | digit);
    }
}

// Tables without a code page are read as Windows-1252.
QString CodecName(int codePage) {
    if (codePage <= 0)
        return QStringLiteral("windows-1252");
    return codePage >= 1250 && codePage <= 1258 ? QStringLiteral("windows-%1").arg(codePage)
                                                : QStringLiteral("IBM%1").arg(codePage);
}

// The blob file as it grows: its header block, whole blocks for large
// blobs, and blocks of small ones sharing 4 KB.
class BlobFile {
public:
    BlobFile() : bytes_(Chunk, '\0') {
        Put16(bytes_, 1, 1);
        Put16(bytes_, 0x0B, Chunk);
        Put16(bytes_, 0x0D, Chunk);
        bytes_[0x10] = 0x10;
        Put16(bytes_, 0x11, SubEntries);
        Put16(bytes_, 0x13, SubThreshold);
    }

    // The pointer a record holds for the blob.
    quint32 Add(const QByteArray& blob) {
        used_ = true;
        if (blob.size() > SubThreshold) {
            const qsizetype start = bytes_.size();
            const qsizetype chunks = (9 + blob.size() + Chunk - 1) / Chunk;
            bytes_.append(QByteArray(chunks * Chunk, '\0'));
            bytes_[start] = 2;
            Put16(bytes_, start + 1, static_cast<unsigned>(chunks));
            Put32(bytes_, start + 3, static_cast<quint32>(blob.size()));
            Put16(bytes_, start + 7, 1);
            std::memcpy(bytes_.data() + start + 9, blob.constData(), blob.size());
            return static_cast<quint32>(start) | 0xFF;
        }
        const qsizetype paragraphs = (blob.size() + 15) / 16;
        if (sub_ < 0 || entry_ == SubEntries || next_ + paragraphs * 16 > Chunk) {
            sub_ = bytes_.size();
            bytes_.append(QByteArray(Chunk, '\0'));
            bytes_[sub_] = 3;
            Put16(bytes_, sub_ + 1, 1);
            entry_ = 0;
            next_ = (SubTable + SubEntries * 5 + 15) / 16 * 16;
        }
        const qsizetype entry = sub_ + SubTable + 5 * entry_;
        bytes_[entry] = static_cast<char>(next_ / 16);
        bytes_[entry + 1] = static_cast<char>(paragraphs);
        Put16(bytes_, entry + 2, 1);
        bytes_[entry + 4] = static_cast<char>(blob.size() - (paragraphs - 1) * 16);
        std::memcpy(bytes_.data() + sub_ + next_, blob.constData(), blob.size());
        next_ += paragraphs * 16;
        return static_cast<quint32>(sub_) | static_cast<quint32>(entry_++);
    }

    QByteArray Bytes() const { return used_ ? bytes_ : QByteArray(); }

private:
    QByteArray bytes_;
    qsizetype sub_ = -1;
    int entry_ = 0;
    qsizetype next_ = 0;
    bool used_ = false;
};

int RecordBytes(const Column& column) {
    return column.type == ParadoxTable::Bcd ? 17 : column.size;
}

bool IsBlob(unsigned char type) {
    return type == ParadoxTable::Memo || type == ParadoxTable::Blob ||
           type == ParadoxTable::FormattedMemo || type == ParadoxTable::Ole ||
           type == ParadoxTable::Graphic;
}

} // namespace

QByteArray WithGraphicHeader(const QByteArray& picture) {
    QByteArray header(8, '\0');
    Put16(header, 0, 1);
    Put16(header, 2, 0x0100);
    Put32(header, 4, static_cast<quint32>(picture.size()));
    return header + picture;
}

Files Make(const std::vector<Column>& columns, const Rows& rows, const Options& options) {
    QStringEncoder encoder(CodecName(options.codePage).toLatin1().constData());
    const auto encode = [&](const QString& text) { return QByteArray(encoder.encode(text)); };
    const bool dataHeader = options.version >= 5;
    int recordSize = 0;
    for (const Column& column : columns)
        recordSize += RecordBytes(column);
    const int blockSize = options.blockKilobytes * 1024;
    const int perBlock = (blockSize - 6) / recordSize;
    const int blocks = rows.empty() ? 0 : static_cast<int>((rows.size() + perBlock - 1) / perBlock);

    QByteArray header(0x58 + (dataHeader ? 0x20 : 0), '\0');
    for (const Column& column : columns) {
        header.append(static_cast<char>(column.type));
        header.append(static_cast<char>(column.size));
    }
    header.append(QByteArray(4 + 4 * static_cast<qsizetype>(columns.size()), '\0'));
    QByteArray tableName = "fixture.db";
    tableName.resize(options.version >= 12 ? 261 : 79, '\0');
    header.append(tableName);
    for (const Column& column : columns)
        header.append(encode(column.name)).append('\0');
    const int headerSize = static_cast<int>((header.size() + 0x7FF) / 0x800 * 0x800);
    header.resize(headerSize, '\0');
    Put16(header, 0x00, static_cast<unsigned>(recordSize));
    Put16(header, 0x02, static_cast<unsigned>(headerSize));
    header[0x04] = 2;
    header[0x05] = static_cast<char>(options.blockKilobytes);
    Put32(header, 0x06, static_cast<quint32>(rows.size()));
    Put16(header, 0x0A, static_cast<unsigned>(blocks + 1));
    Put16(header, 0x0C, static_cast<unsigned>(blocks));
    Put16(header, 0x0E, blocks > 0 ? 1 : 0);
    Put16(header, 0x10, static_cast<unsigned>(blocks));
    Put16(header, 0x21, static_cast<unsigned>(columns.size()));
    header[0x39] = static_cast<char>(options.version);
    if (dataHeader) {
        Put16(header, 0x58, static_cast<unsigned>(options.version));
        Put16(header, 0x5A, static_cast<unsigned>(options.version));
        Put16(header, 0x68, static_cast<unsigned>(columns.size()));
        Put16(header, 0x6A, static_cast<unsigned>(options.codePage));
    }

    BlobFile blobFile;
    QByteArray table = header;
    for (int block = 0; block < blocks; ++block) {
        QByteArray data(blockSize, '\0');
        const int first = block * perBlock;
        const int count = std::min<int>(perBlock, static_cast<int>(rows.size()) - first);
        Put16(data, 0, block + 1 < blocks ? static_cast<unsigned>(block + 2) : 0);
        Put16(data, 2, static_cast<unsigned>(block));
        Put16(data, 4, static_cast<unsigned>((count - 1) * recordSize));
        char* out = data.data() + 6;
        for (int r = first; r < first + count; ++r) {
            const std::vector<QVariant>& row = rows[static_cast<size_t>(r)];
            for (size_t c = 0; c < columns.size(); ++c) {
                const Column& column = columns[c];
                const QVariant value = c < row.size() ? row[c] : QVariant();
                if (value.isNull()) {
                } else if (column.type == ParadoxTable::Alpha) {
                    const QByteArray text = encode(value.toString()).left(column.size);
                    std::memcpy(out, text.constData(), static_cast<size_t>(text.size()));
                } else if (IsBlob(column.type)) {
                    const QByteArray blob = value.typeId() == QMetaType::QString
                                                ? encode(value.toString())
                                                : value.toByteArray();
                    const int leader = column.size - 10;
                    std::memcpy(out, blob.constData(),
                                static_cast<size_t>(std::min<qsizetype>(leader, blob.size())));
                    QByteArray pointer(10, '\0');
                    if (blob.size() > leader)
                        Put32(pointer, 0, blobFile.Add(blob));
                    Put32(pointer, 4, static_cast<quint32>(blob.size()));
                    Put16(pointer, 8, 1);
                    std::memcpy(out + leader, pointer.constData(), 10);
                } else if (column.type == ParadoxTable::Date) {
                    PutSigned(out, value.toDate().toJulianDay() - QDate(1, 1, 1).toJulianDay() + 1,
                              4);
                } else if (column.type == ParadoxTable::Short ||
                           column.type == ParadoxTable::Long) {
                    PutSigned(out, value.toInt(), column.size);
                } else if (column.type == ParadoxTable::Number ||
                           column.type == ParadoxTable::Currency) {
                    PutDouble(out, value.toDouble());
                } else if (column.type == ParadoxTable::Bcd) {
                    PutBcd(out, value.toDouble(), column.size);
                } else {
                    throw std::logic_error("the fixture writer has no form for this type");
                }
                out += RecordBytes(column);
            }
        }
        table.append(data);
    }
    return {table, blobFile.Bytes()};
}

void Write(const QString& folder, const QString& name, const std::vector<Column>& columns,
           const Rows& rows, const Options& options) {
    const Files files = Make(columns, rows, options);
    const auto save = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write " + path.toStdString());
    };
    save(QDir(folder).filePath(name + QStringLiteral(".db")), files.table);
    if (!files.blobs.isEmpty())
        save(QDir(folder).filePath(name + QStringLiteral(".mb")), files.blobs);
}

namespace {

constexpr unsigned char A = ParadoxTable::Alpha;
constexpr unsigned char M = ParadoxTable::Memo;
constexpr unsigned char G = ParadoxTable::Graphic;
constexpr unsigned char N = ParadoxTable::Number;

} // namespace

std::vector<Column> FiguresColumns() {
    return {{"figure_id", A, 32},    {"figure_name", A, 32},  {"producer_id", A, 32},
            {"genre_id", A, 32},     {"type_ci", A, 32},      {"scale", A, 16},
            {"figure_dsc", M, 11},   {"figure_files", M, 11}, {"manual_sheme", M, 11},
            {"picture_th", G, 11},   {"picture", G, 11},      {"sculpter_name", A, 32},
            {"painter_name", A, 32}, {"prc_kit", N, 8},       {"prc_pr", N, 8},
            {"prc_pe", N, 8}};
}

std::vector<Column> AddPicturesColumns() {
    return {{"add_picture_id", A, 32},
            {"add_picture_name", A, 32},
            {"figure_id", A, 32},
            {"picture_th", G, 11},
            {"picture", G, 11}};
}

std::vector<Column> ProducersColumns() {
    return {{"producer_id", A, 32},
            {"producer_name", A, 32},
            {"producer_website", A, 64},
            {"producer_dsc", M, 11},
            {"insert_time", ParadoxTable::Date, 4}};
}

std::vector<Column> GenresColumns() {
    constexpr unsigned char I = ParadoxTable::Long;
    return {{"genre_id", A, 32}, {"genre_name", A, 32}, {"RX", I, 4},
            {"RY", I, 4},        {"RH", I, 4},          {"RW", I, 4},
            {"TB", I, 4},        {"TE", I, 4},          {"location_shape", A, 2}};
}

std::vector<Column> ScalesColumns() {
    return {{"scale_id", A, 32}, {"scale_name", A, 32}};
}

} // namespace ParadoxFixture
