// Reads arbitrary bytes as an older installation's table file and its blob
// file: the first 4 bytes (little-endian) give the length of the table
// file's part, the rest is the blob file. Nothing may crash; a refusal
// always names its reason; no more records come than the table file can
// hold, and every blob lies within the bytes given.

#include "ByteReader.h"
#include "ParadoxTable.h"

#include <QByteArrayView>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const uint32_t split = ByteReader(bytes).UInt32(0);
    const QByteArrayView rest = bytes.sliced(4);
    const qsizetype tableSize = std::min<qsizetype>(split, rest.size());
    const QByteArrayView table = rest.first(tableSize);
    const QByteArrayView blobs = rest.sliced(tableSize);

    ParadoxTable reader;
    QString error;
    if (!reader.Open(table, blobs, &error)) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    int recordSize = 0;
    for (const ParadoxTable::Field& field : reader.Fields())
        recordSize += field.size;
    qint64 records = 0;
    const bool read = reader.ReadRecords(
        [&](const std::vector<QVariant>& values) {
            ++records;
            if (values.size() != reader.Fields().size())
                std::abort();
            for (const QVariant& value : values)
                if (value.typeId() == QMetaType::QByteArray &&
                    value.toByteArray().size() > rest.size())
                    std::abort();
            return true;
        },
        &error);
    if (!read && error.isEmpty())
        std::abort();
    if (records > table.size() / recordSize) {
        std::fprintf(stderr, "%lld records from a table file of %lld bytes\n",
                     static_cast<long long>(records), static_cast<long long>(table.size()));
        std::abort();
    }
    return 0;
}
