#pragma once

#include "TSqlStatement.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class TDatabase;

// The select of a live query as it was opened: its result columns, reading
// its rows, and fetching one row's blob when it is asked for.
//
// Blob columns (declared type containing "blob") are left in the table when
// the key column is among the plain result columns: the rows are read
// through a select of the plain columns only, which the engine merges into
// the statement, so no blob is read. A blob is then fetched from the
// statement by the row's key, or, for a row the statement no longer yields
// (changed so that it no longer meets its conditions), from the column's
// table by the key. Otherwise every column is read with the rows.
class TSelectStatement {
public:
    struct Column {
        QString name;
        // As the table declares it ("char(32)"); empty for expressions.
        QString type;
        bool blob = false;
        // Not read with the rows but fetched by key.
        bool lazy = false;
        // The table column it comes from, quoted ("main"."figures" and
        // "figure_id"); empty for expressions.
        QString table;
        QString origin;
    };

    // Prepares text with its named parameters and reads every row, handing
    // onRow one value per column: the engine's values, blob columns as
    // bytes, and an invalid QVariant for a lazy column. Raises
    // EDatabaseError with the engine's message.
    void Open(TDatabase& connection, const QString& text, const QHash<QString, QVariant>& params,
              const QString& keyField, const std::function<void(std::vector<QVariant>&&)>& onRow);
    // Drops the columns and the prepared statements.
    void Close();

    const std::vector<Column>& Columns() const { return columns_; }
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    // Index of a column by name, ignoring letter case; -1 when absent.
    int ColumnIndex(const QString& name) const { return index_.value(name.toLower(), -1); }
    int KeyIndex() const { return keyIndex_; }

    // The lazy blob column field of the row the table holds under key, as
    // bytes; a null QByteArray variant when it is NULL or the row is gone.
    // The last few blobs fetched are kept by row (rowId, 0 for none), so
    // that showing a row again does not read it again.
    QVariant FetchBlob(std::uint64_t rowId, const QVariant& key, int field);
    // The lazy blob column field of the row the table holds under key as
    // it is now, never one kept: false, and *value untouched, when the
    // statement has no row under key.
    bool ReadBlob(const QVariant& key, int field, QVariant* value);
    // Forgets the blobs kept: the table has changed.
    void ForgetBlobs();

    // A value as a blob column holds it: bytes (text as UTF-8), or a null
    // QByteArray variant.
    static QVariant AsBlob(const QVariant& value);

private:
    struct KeptBlob {
        std::uint64_t rowId = 0;
        int field = -1;
        QVariant value;
    };

    void Describe(TDatabase& connection, const QString& keyField);

    TDatabase* connection_ = nullptr;
    QString text_;
    QHash<QString, QVariant> params_;
    std::vector<Column> columns_;
    QHash<QString, int> index_;
    QStringList paramNames_;
    bool uniqueNames_ = true;
    int keyIndex_ = -1;
    // One statement per lazy column, prepared on first use: through the
    // statement, and straight from the column's table.
    std::vector<TSqlStatement> blobStatements_;
    std::vector<TSqlStatement> tableStatements_;
    std::array<KeptBlob, 4> kept_;
    size_t nextKept_ = 0;
};
