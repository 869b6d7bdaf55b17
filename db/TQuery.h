#pragma once

#include "TUpdateSQL.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TDataLink;
class TField;

enum class TDataSetState { Inactive, Browse, Edit, Insert };

// A live SQL query on a named database (normally "ADB"): the rows of a
// select held in memory with a current row, navigation with end flags,
// bookmarks, editing, appending and deleting, and a cache of pending changes
// written through the statements of UpdateObject.
//
// Blob columns (declared "blob(...)": memo texts and pictures) are not read
// when the query opens: a row's blob is fetched from the table when it is
// asked for, by the value of KeyField in that row, and only blobs that were
// assigned stay in memory. So opening a list of ten thousand pictures reads
// their texts only. Without a KeyField in the result, blobs are read with
// the rows.
//
// Errors raise EDatabaseError. Events are plain callbacks; one raising from
// a Before... event aborts the operation. A post or delete is undone when
// its After... event raises before the change is written (the catalog lists
// write the cache there): the row is back as it was (being edited, with the
// values given, after a post), the change is out of the cache, and the
// error passes on. So a change that could not be written never looks
// posted and never waits to be written or dropped later.
class TQuery {
public:
    using TBookmark = std::uint64_t;

    explicit TQuery(const QString& databaseName = QStringLiteral("ADB"));
    virtual ~TQuery();
    TQuery(const TQuery&) = delete;
    TQuery& operator=(const TQuery&) = delete;

    QString DatabaseName;
    // The statement, one line each; joined with line breaks.
    QStringList SQL;
    // Insert, modify and delete statements for cached changes; none means
    // the query is read-only (Post and Delete raise).
    const TUpdateSQL* UpdateObject = nullptr;
    // True: changes wait in the cache until ApplyUpdates. False: every post
    // and delete is written at once.
    bool CachedUpdates = false;
    // Column that identifies a row; used to fetch blob columns on demand.
    QString KeyField;
    // True: opening reads only every row's key (when KeyField names a plain
    // column whose values are unique), and a row's other columns are read
    // with the rows around it when they are asked for; rows far from those
    // asked for lately let their values go again. So a list of a hundred
    // thousand rows holds their keys and a window of rows. A row's values
    // are the table's when they are read, not when the query opened.
    bool PagedRows = false;

    // Named parameters of SQL (":name" in the text, set without the colon).
    void SetParam(const QString& name, const QVariant& value);
    QVariant Param(const QString& name) const;
    void ClearParams();

    // Opening and closing. Open on an open query does nothing.
    void Open();
    void Close();
    bool Active() const;
    // Runs SQL as a statement without result rows; returns the rows affected.
    int ExecSQL();
    TDataSetState State() const;

    // Navigation. Next on the last row and Prior on the first stay and set
    // Eof / Bof; First sets Bof, Last sets Eof; an empty query has both.
    void First();
    void Last();
    void Next();
    void Prior();
    void MoveBy(int distance);
    bool Bof() const;
    bool Eof() const;
    bool IsEmpty() const;
    int RecordCount() const;
    // Rows holding their values in memory: all of them, unless PagedRows.
    int HeldRowCount() const;
    // 0-based index of the current row, -1 when there is none.
    int RecNo() const;
    // Makes the row at a 0-based index current; false when out of range.
    bool MoveTo(int index);

    // A bookmark stays valid for its row until the row is deleted or the
    // query closes.
    TBookmark GetBookmark() const;
    bool BookmarkValid(TBookmark bookmark) const;
    bool GotoBookmark(TBookmark bookmark);

    // Makes the first row whose field equals value (as text, exact and
    // case-sensitive) current; false, and no move, when there is none.
    bool Locate(const QString& fieldName, const QVariant& value);

    // The columns fields (blob or not) of every row at once, straight from
    // the table, for a search over them all: onRow gets each row's key (the
    // value of KeyField) and the columns' bytes, valid during the call.
    // Raises EDatabaseError when they cannot be read so.
    void ScanColumns(const std::vector<int>& fields,
                     const std::function<void(QByteArrayView key,
                                              const std::vector<QByteArrayView>& values)>& onRow);

    // Result columns, in order.
    int FieldCount() const;
    QString FieldName(int index) const;
    // Index of a column by name, ignoring letter case; -1 when absent.
    int FieldIndex(const QString& name) const;
    // The declared type of a result column as the table states it
    // ("char(32)", "blob(1,5)"); empty for expressions.
    QString FieldType(int index) const;
    bool IsBlobField(int index) const;
    // Raises EDatabaseError "Field 'x' not found".
    TField FieldByName(const QString& name);

    // Values of the current row (of the edit buffer while editing). A
    // blob column's value is its bytes.
    QVariant Value(int field) const;
    void SetValue(int field, const QVariant& value);
    // Values of any row, for showing rows other than the current one.
    QVariant ValueAt(int row, int field) const;

    // Editing: Edit and Append enter Edit / Insert state; Post keeps the
    // change (and writes it unless CachedUpdates), Cancel drops it. A post
    // writes only the blob columns given a value while editing; the others
    // keep what the table holds when the change is written. Delete runs
    // BeforeDelete, the delete and AfterDelete in one transaction: when one
    // fails, what the others wrote is rolled back and the row stays.
    void Edit();
    void Append();
    void Post();
    void Cancel();
    void Delete();

    // The current row as held (its values as read or last posted, the key
    // the table holds it under, whether it is being inserted), and putting
    // it back in browse state. For a caller whose transaction around a post
    // was rolled back: the row then shows, and is compared on its next
    // write with, what the table holds again; a row that was being
    // inserted is current and being inserted again. PutBack of a row no
    // longer in the list does nothing.
    struct THeldRow {
        TBookmark bookmark = 0;
        std::vector<QVariant> values;
        QVariant tableKey;
        bool inserting = false;
    };
    THeldRow HeldRow() const;
    void PutBack(const THeldRow& row);

    // Pending cached changes, applied in the order they were made; on a
    // failure nothing is written and the cache stays. An update or delete
    // whose row another program changed or deleted is such a failure. An
    // update the engine reports as aborted ends silently (the cache stays,
    // and a post without the cache leaves the row being edited).
    // CancelUpdates drops the cache and puts the rows back as they were
    // when last applied.
    bool UpdatesPending() const;
    int PendingUpdateCount() const;
    void ApplyUpdates();
    void CancelUpdates();
    // ApplyUpdates in two steps, for a write inside a transaction the
    // caller ends: WriteUpdates writes the pending changes (false, nothing
    // written, when the engine aborted) and keeps them pending, so that
    // they are written again should that transaction be rolled back;
    // UpdatesWritten, once it has committed, ends them as ApplyUpdates does.
    bool WriteUpdates();
    void UpdatesWritten();

    // While disabled (nested), links are not notified.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const;
    void AddLink(TDataLink* link);
    void RemoveLink(TDataLink* link);

    std::function<void(TQuery&)> AfterOpen;
    std::function<void(TQuery&)> BeforeClose;
    std::function<void(TQuery&)> AfterInsert;
    std::function<void(TQuery&)> BeforePost;
    std::function<void(TQuery&)> AfterPost;
    std::function<void(TQuery&)> AfterCancel;
    std::function<void(TQuery&)> BeforeDelete;
    std::function<void(TQuery&)> AfterDelete;
    std::function<void(TQuery&)> AfterScroll;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
