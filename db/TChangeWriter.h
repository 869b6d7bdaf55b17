#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>
#include <vector>

class TSelectStatement;
struct TUpdateSQL;
struct sqlite3;

// Writes the pending changes of a live query to its table through the
// query's insert, modify and delete statements, all in one transaction.
//
// A parameter named after a result column takes the change's new value
// (for a delete, the row's value); one prefixed OLD_ takes the value before
// the change (NULL for an insert). Parameters that name no column are NULL.
// Blobs the query never read are fetched first, while the table still
// holds every row under its key as read.
class TChangeWriter {
public:
    enum class Kind { Insert, Modify, Delete };

    struct Change {
        Kind kind = Kind::Modify;
        // The row's identity in the query.
        std::uint64_t rowId = 0;
        // The key the table holds the row under; invalid for a row not yet
        // written.
        QVariant tableKey;
        // The row's values before the change (modify, delete) and after it
        // (insert, modify). An invalid value in a lazy blob column stands
        // for the table's value, unread.
        std::vector<QVariant> before;
        std::vector<QVariant> after;
    };

    TChangeWriter(sqlite3* handle, const TUpdateSQL& statements, TSelectStatement& select);

    // True when every change is written. False, with nothing written, when
    // the engine reports the update aborted (interrupted or aborted by a
    // callback). Any other failure rolls back and raises EDatabaseError with
    // the engine's message.
    bool Write(const std::vector<Change>& changes);

private:
    QVariant ParamValue(const Change& change, const QString& name,
                        const std::vector<QVariant>& unread) const;
    int ColumnOf(const QString& name, bool* old) const;

    sqlite3* handle_;
    const TUpdateSQL& statements_;
    TSelectStatement& select_;
};
