#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

// One table of the older installation's engine, read from the bytes of its
// table file (.db) and of its blob file (.mb, empty when there is none):
// file versions of levels 3 to 7, data files keyed or not. Every read is
// checked against the bytes given; a damaged file gives a message naming
// what is wrong, never a read outside them, and the block chain is walked
// once at most.
//
// Values come as: text fields and memos as QString (decoded from the
// table's code page), dates as QDate, times as QTime, time stamps as
// QDateTime, integers as int, numbers, money and decimals as double,
// logicals as bool, every other blob as QByteArray. An empty field is a
// null QVariant.
class ParadoxTable {
public:
    enum FieldType : unsigned char {
        Alpha = 0x01,
        Date = 0x02,
        Short = 0x03,
        Long = 0x04,
        Currency = 0x05,
        Number = 0x06,
        Logical = 0x09,
        Memo = 0x0C,
        Blob = 0x0D,
        FormattedMemo = 0x0E,
        Ole = 0x0F,
        Graphic = 0x10,
        Time = 0x14,
        Timestamp = 0x15,
        AutoIncrement = 0x16,
        Bcd = 0x17,
        Bytes = 0x18,
    };

    struct Field {
        QString name;
        unsigned char type = 0;
        // Bytes in the record.
        int size = 0;
        // Digits after the point of a decimal field.
        int decimals = 0;
    };

    // The bytes must stay valid while the table is read. False, with the
    // reason in error, when the header is not one of a readable table.
    bool Open(QByteArrayView table, QByteArrayView blobs, QString* error);

    const std::vector<Field>& Fields() const { return fields_; }
    // The record count the header states.
    qint64 RecordCount() const { return recordCount_; }
    int FileVersion() const { return version_; }
    // The code page the header names (0 when it names none) and the one
    // texts are decoded from.
    int CodePage() const { return codePage_; }
    QString TextCodec() const { return codec_; }

    // Calls row with the values of every record, in the order of the block
    // chain, until it returns false. False, with the reason in error, when
    // the table or the blob file is damaged; rows given before stay given.
    bool ReadRecords(const std::function<bool(const std::vector<QVariant>&)>& row,
                     QString* error) const;

private:
    QVariant Value(const Field& field, const char* data, qint64 record) const;
    QByteArray BlobBytes(const Field& field, const char* data, qint64 record) const;
    QString Text(const char* data, qsizetype size) const;

    QByteArrayView table_;
    QByteArrayView blobs_;
    std::vector<Field> fields_;
    int recordSize_ = 0;
    int headerSize_ = 0;
    int blockSize_ = 0;
    int firstBlock_ = 0;
    qint64 recordCount_ = 0;
    int version_ = 0;
    int codePage_ = 0;
    QString codec_;
};
