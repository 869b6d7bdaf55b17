#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <vector>

// Writes tables in the older installation's format for the tests: a table
// file and, when a blob does not fit its record, a blob file. Values: text
// as QString (encoded in the code page), blobs as QByteArray (memos may be
// QString), dates as QDate, integers as int, numbers as double.
namespace ParadoxFixture {

struct Column {
    QString name;
    unsigned char type;
    // Bytes in the record; for a decimal field, its decimals.
    int size;
};

struct Options {
    int version = 12;
    int codePage = 1252;
    int blockKilobytes = 4;
};

using Rows = std::vector<std::vector<QVariant>>;

struct Files {
    QByteArray table;
    QByteArray blobs;
};

Files Make(const std::vector<Column>& columns, const Rows& rows, const Options& options = {});
// Writes folder/<name>.db and folder/<name>.mb (the latter only when it
// holds a blob).
void Write(const QString& folder, const QString& name, const std::vector<Column>& columns,
           const Rows& rows, const Options& options = {});

// The 8-byte header some graphic blobs carry before the picture bytes.
QByteArray WithGraphicHeader(const QByteArray& picture);

// The catalog's tables with the types the older installation gave them.
std::vector<Column> FiguresColumns();
std::vector<Column> AddPicturesColumns();
std::vector<Column> ProducersColumns();
std::vector<Column> GenresColumns();
std::vector<Column> ScalesColumns();

} // namespace ParadoxFixture
