#pragma once

#include <QSet>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <vector>

class TSelectStatement;
class TSqlStatement;
struct TUpdateSQL;
class EngineConnection;

// Writes the pending changes of a live query to its table through the
// query's insert, modify and delete statements, all in one transaction that
// holds the write lock from its start.
//
// A parameter named after a result column takes the change's new value
// (for a delete, the row's value); one prefixed OLD_ takes the value before
// the change (NULL for an insert). Parameters that name no column are NULL.
// A lazy blob column the change does not give (an invalid value: this
// program did not change it) takes the table's value as it is inside the
// transaction, read just before its statement runs, so that a change made
// meanwhile by another program is kept. An update or delete whose old key
// finds no row is an error: the row was changed or deleted by another
// program.
class TChangeWriter {
public:
    enum class Kind { Insert, Modify, Delete };

    struct Change {
        Kind kind = Kind::Modify;
        // Tells the change apart from the other changes of its query.
        std::uint64_t serial = 0;
        // The row's identity in the query.
        std::uint64_t rowId = 0;
        // The key the table holds the row under; invalid for a row not yet
        // written.
        QVariant tableKey;
        // The row's values before the change (modify, delete) and after it
        // (insert, modify). An invalid value in a lazy blob column stands
        // for the table's value, unread and not changed by this program.
        std::vector<QVariant> before;
        std::vector<QVariant> after;
    };

    TChangeWriter(EngineConnection* handle, const TUpdateSQL& statements, TSelectStatement& select);

    // True when every change is written. False, with nothing written, when
    // the engine reports the update aborted (interrupted or aborted by a
    // callback). Any other failure (the database locked by another program
    // past the wait, a trigger that refuses, a row that is gone) rolls back
    // and raises EDatabaseError with the engine's message or RowGoneMessage.
    bool Write(const std::vector<Change>& changes);

    // The error of a change whose row is no longer in the table as read.
    static QString RowGoneMessage();
    // The error of a post or delete whose write the engine aborted.
    static QString AbortedMessage();

    // The channel on which writes are announced, and an announcement of a
    // write to a row of table (its bare name, as the engine knows it) held
    // under key, sent through the connection of this process named by
    // Sender. TableOf and SenderOf read them back.
    static QString ChangesChannel();
    static QString Payload(const QString& table, const QVariant& key, const QString& sender);
    static QString Sender(const EngineConnection* handle);
    static QString TableOf(const QString& payload);
    // Announces a write to table, of the row held under key (or, with an
    // invalid key, of any of its rows).
    static void Announce(EngineConnection* handle, const QString& table, const QVariant& key);
    // Announces a write by a statement that changed rows ("update T ...",
    // "insert into T ...", "delete from T ..."), keyed by no row.
    static void AnnounceStatement(EngineConnection* handle, const QString& sql);
    static QString SenderOf(const QString& payload);
    // Whether a value as the row holds it now is the value it was read
    // with, as a value may also come back from a control: numbers by
    // value, text without its trailing blanks, dates as text.
    static bool SameValue(const QVariant& read, const QVariant& now);

private:
    QVariant ParamValue(const Change& change, const QString& name,
                        const std::vector<QVariant>& current) const;
    // The lazy blobs the statement names that the change does not give,
    // read from the table; raises RowGoneMessage when the row is gone.
    void ReadCurrent(const Change& change, const TSqlStatement& statement,
                     std::vector<QVariant>& current) const;
    int ColumnOf(const QString& name, bool* old) const;
    // Raises RowGoneMessage when the row of a modify or delete is gone or
    // no longer holds the values change.before gives.
    void CheckUnchanged(const Change& change, TSqlStatement& current);
    // The select of the compared columns by key; empty when the key's
    // table is unknown.
    QString CurrentRowSql(const QSet<int>& written, std::vector<int>* columns) const;
    // The bare name of the key's table; empty when unknown.
    QString KeyTable() const;

    EngineConnection* handle_;
    const TUpdateSQL& statements_;
    TSelectStatement& select_;
    // The columns CheckUnchanged compares, in the order it reads them.
    std::vector<int> compared_;
};
