#pragma once

#include "TSqlStatement.h"

#include <QByteArrayView>
#include <QVariant>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class TSelectStatement;

// Reads the blob columns a select leaves in the table (its lazy columns),
// one row's blob at a time, by the value of the row's key. Every read of
// such a blob goes through here: the rows shown, a search over them (one
// by one, or all at once), and the table's value a change writes back.
//
// A blob is read through the statement itself, or, for a row the statement
// no longer yields (changed so that it no longer meets its conditions),
// from the column's table by the key. The last few blobs fetched are kept
// by row, so that showing a row again does not read it again.
class TBlobFetcher {
public:
    explicit TBlobFetcher(const TSelectStatement& select) : select_(select) {}

    // Prepares nothing yet: one statement per column, on first use.
    void Open(int columnCount);
    // Drops the statements and the blobs kept.
    void Close();

    // The value a row holds for field: value itself unless it is an
    // invalid QVariant in a lazy column (never read), then the blob the
    // table holds under key, as Fetch gives it.
    QVariant Resolve(std::uint64_t rowId, const QVariant& key, int field, const QVariant& value);
    // The lazy blob column field of the row the table holds under key, as
    // bytes; a null QByteArray variant when it is NULL or the row is gone.
    // Kept by row (rowId, 0 for none).
    QVariant Fetch(std::uint64_t rowId, const QVariant& key, int field);
    // The lazy blob column field of the row the table holds under key as
    // it is now, never one kept: false, and *value untouched, when the
    // statement has no row under key.
    bool Read(const QVariant& key, int field, QVariant* value);
    // The columns fields (blob or not) of every row the statement yields,
    // at once: onRow gets each row's key and the columns' bytes (text as
    // UTF-8; empty for NULL), valid during the call, in the statement's
    // order. Nothing is kept. Raises EDatabaseError when the select has no
    // key column or the statement cannot be nested.
    using ScanSink =
        std::function<void(QByteArrayView key, const std::vector<QByteArrayView>& values)>;
    void Scan(const std::vector<int>& fields, const ScanSink& onRow);
    // Forgets the blobs kept: the table has changed.
    void Forget();

private:
    struct KeptBlob {
        std::uint64_t rowId = 0;
        int field = -1;
        QVariant value;
    };

    bool ReadWith(TSqlStatement& statement, bool withParams, const QVariant& key, QVariant* value);

    const TSelectStatement& select_;
    // Through the statement, and straight from the column's table.
    std::vector<TSqlStatement> nested_;
    std::vector<TSqlStatement> direct_;
    std::array<KeptBlob, 4> kept_;
    size_t nextKept_ = 0;
};
