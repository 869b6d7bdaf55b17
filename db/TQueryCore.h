#pragma once

#include "TChangeCache.h"
#include "TQuery.h"
#include "TQueryLinks.h"
#include "TQueryRows.h"
#include "TRowWindow.h"
#include "TSelectStatement.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

class TDatabase;

// What a live query holds while it is open, and the steps its reading and
// its editing share: the state, the select and its rows, the pending
// changes, the links, and the row being edited.
struct TQueryCore {
    using Row = TQueryRows::Row;
    using TBookmark = TQueryRows::TBookmark;
    using Change = TChangeCache::Change;
    using ChangeKind = TChangeCache::Kind;
    using Note = TQueryLinks::Note;

    explicit TQueryCore(TQuery& query) : q(query) {}

    static QString NotEditingMessage();
    static QString EmptyMessage();
    static QString ReadOnlyMessage();

    TQuery& q;
    TDatabase* database = nullptr;
    TDataSetState state = TDataSetState::Inactive;
    QHash<QString, QVariant> params;
    TSelectStatement select;
    TQueryRows rows;
    TRowWindow window;
    TChangeCache changes;
    TQueryLinks links;

    std::vector<QVariant> buffer; // the current row's values while editing
    // The columns given a value since editing began.
    std::vector<bool> assigned;
    bool modified = false;
    TBookmark beforeInsert = 0;

    // Raises when the query is closed.
    void CheckActive() const;
    bool Editing() const { return state == TDataSetState::Edit || state == TDataSetState::Insert; }
    // Leaves edit or insert state before a move: posts a modified row,
    // drops an unmodified one.
    void CheckBrowseMode();
    void CheckField(int field) const;
    void SetState(TDataSetState newState);
    void Notify(Note note) { links.Notify(q, note); }
    void Fire(const std::function<void(TQuery&)>& event);

    // Makes a row current and tells links and AfterScroll when it is
    // another row than before.
    void MoveTo(TQueryRows::Position position);
    // After rows were removed or put back: back to a remembered row, or the
    // nearest one. True when that is not the row current before.
    bool Resync(TBookmark preferred, int fallback, TBookmark previous);
    // The row at index with its values read.
    Row& Loaded(int index);
    // A value of a row as shown: the edit buffer's for the row being
    // edited, a blob fetched from the table when never read.
    QVariant ValueOf(int index, int field);
    // Closed: no rows, no changes, no connection.
    void Unload();

    // Writes changes to the table; false when the engine aborted the update.
    bool Write(const std::vector<Change>& list);
    // After a write: the table holds the rows under their present keys.
    void Written(const std::vector<Change>& list);
    // Starts editing the current row with values.
    void BeginEditing(std::vector<QVariant> values);
    // Before a modified row is posted: a lazy blob the user did not give a
    // value goes back to the table's value, unread, so that it is neither
    // written back from what was read nor shown from it afterwards. A row
    // with a change still in the cache keeps what that change holds.
    void LeaveUnassignedBlobs(const Row& row);
};
