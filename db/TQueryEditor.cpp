#include "TQueryEditor.h"

#include "EDatabaseError.h"
#include "TDatabase.h"
#include "TQueryCore.h"
#include "TSqlStatement.h"

#include <algorithm>

TQueryEditor::TQueryEditor(TQueryCore& core) : core_(core), query_(core.q) {}

void TQueryEditor::Edit() {
    core_.CheckActive();
    if (core_.Editing())
        return;
    // Editing an empty query appends a row to edit.
    if (core_.rows.Empty()) {
        Append();
        return;
    }
    core_.BeginEditing(core_.Loaded(core_.rows.Current()).values);
    core_.SetState(TDataSetState::Edit);
}

void TQueryEditor::Append() {
    core_.CheckActive();
    core_.CheckBrowseMode();
    std::vector<QVariant> values(query_.FieldCount());
    // A new row has no blobs in the table to fetch.
    for (int i = 0; i < query_.FieldCount(); ++i) {
        if (query_.IsBlobField(i))
            values[i] = TSelectStatement::AsBlob(QVariant());
    }
    core_.beforeInsert = core_.rows.CurrentBookmark();
    core_.BeginEditing(values);
    core_.rows.Append(std::move(values), -1).kept = true;
    core_.rows.Place(query_.RecordCount() - 1, false, false);
    core_.SetState(TDataSetState::Insert);
    core_.Notify(TQueryCore::Note::DataSet);
    core_.Fire(query_.AfterInsert);
    core_.Fire(query_.AfterScroll);
}

void TQueryEditor::Post() {
    core_.CheckActive();
    if (!core_.Editing())
        throw EDatabaseError(TQueryCore::NotEditingMessage());
    if (!query_.UpdateObject)
        throw EDatabaseError(TQueryCore::ReadOnlyMessage());
    core_.Fire(query_.BeforePost);
    if (!core_.Editing())
        return;

    const TDataSetState editing = core_.state;
    const TQueryCore::TBookmark posted = core_.rows.CurrentBookmark();
    TQueryCore::Row& row = core_.rows[core_.rows.Current()];
    const TQueryCore::ChangeKind kind = editing == TDataSetState::Insert
                                            ? TQueryCore::ChangeKind::Insert
                                            : TQueryCore::ChangeKind::Modify;
    if (kind == TQueryCore::ChangeKind::Modify)
        core_.LeaveUnassignedBlobs(row);
    TQueryCore::Change change = core_.changes.Make(kind, row);
    change.after = core_.buffer;
    const std::uint64_t serial = change.serial;
    std::vector<TQueryCore::Change> written;
    if (query_.CachedUpdates) {
        core_.changes.Push(std::move(change));
    } else {
        written.push_back(std::move(change));
        // An aborted write leaves the row being edited, as it was.
        if (!core_.Write(written))
            return;
    }
    // What the post replaces, to put back should the change not be written.
    std::vector<QVariant> before = row.values;
    std::vector<QVariant> edited = core_.buffer;
    std::vector<bool> assigned = core_.assigned;

    row.values = std::move(core_.buffer);
    row.kept = true;
    if (!written.empty())
        core_.Written(written);
    core_.buffer.clear();
    core_.assigned.clear();
    core_.modified = false;
    core_.SetState(TDataSetState::Browse);
    core_.Notify(TQueryCore::Note::DataSet);
    try {
        core_.Fire(query_.AfterPost);
    } catch (...) {
        // AfterPost writes the cache (the catalog lists do): when it fails
        // before this change is written, the post has not happened. The
        // row is being edited again with the values given, and the change
        // does not wait in the cache to be written or dropped later.
        if (query_.Active() && core_.changes.TakeBack(serial)) {
            const int index = core_.rows.Find(posted);
            if (index >= 0) {
                core_.rows[index].values = std::move(before);
                core_.rows.Place(index, false, false);
                core_.buffer = std::move(edited);
                core_.assigned = std::move(assigned);
                core_.modified = true;
                core_.SetState(editing);
                core_.Notify(TQueryCore::Note::DataSet);
            }
        }
        throw;
    }
}

void TQueryEditor::Cancel() {
    core_.CheckActive();
    if (!core_.Editing())
        return;
    const bool inserting = core_.state == TDataSetState::Insert;
    core_.buffer.clear();
    core_.assigned.clear();
    core_.modified = false;
    if (inserting) {
        const int index = core_.rows.Current();
        const TQueryCore::TBookmark inserted = core_.rows.CurrentBookmark();
        core_.rows.Erase(index);
        core_.rows.Place(-1, core_.rows.Bof(), core_.rows.Eof());
        core_.SetState(TDataSetState::Browse);
        core_.Resync(core_.beforeInsert, index, inserted);
        core_.Fire(query_.AfterCancel);
        core_.Fire(query_.AfterScroll);
        return;
    }
    core_.SetState(TDataSetState::Browse);
    core_.Notify(TQueryCore::Note::DataSet);
    core_.Fire(query_.AfterCancel);
}

void TQueryEditor::Delete() {
    core_.CheckActive();
    if (core_.state == TDataSetState::Insert) {
        Cancel();
        return;
    }
    Cancel();
    if (core_.rows.Empty())
        throw EDatabaseError(TQueryCore::EmptyMessage());
    if (!query_.UpdateObject)
        throw EDatabaseError(TQueryCore::ReadOnlyMessage());
    // What BeforeDelete writes (the rows that depend on this one), the
    // delete and what AfterDelete writes: all or nothing.
    TSqlTransaction transaction(core_.database->Handle(), TSqlTransaction::Lock::Deferred);
    core_.Fire(query_.BeforeDelete);
    if (core_.rows.Current() < 0)
        throw EDatabaseError(TQueryCore::EmptyMessage());

    const int index = core_.rows.Current();
    const TQueryCore::Row removed = core_.Loaded(index);
    TQueryCore::Change change = core_.changes.Make(TQueryCore::ChangeKind::Delete, removed);
    const std::uint64_t serial = change.serial;
    if (query_.CachedUpdates) {
        core_.changes.Push(std::move(change));
    } else {
        const std::vector<TQueryCore::Change> single{std::move(change)};
        // Aborted: nothing is written, what BeforeDelete wrote neither.
        if (!core_.Write(single))
            return;
        core_.Written(single);
    }
    core_.rows.Erase(index);
    const bool empty = core_.rows.Empty();
    core_.rows.Place(empty ? -1 : std::min(index, query_.RecordCount() - 1), empty, empty);
    core_.Notify(TQueryCore::Note::DataSet);
    try {
        core_.Fire(query_.AfterDelete);
        transaction.Commit();
    } catch (...) {
        // Rolled back: the row is still in the table, and in the list again
        // as the current row; its delete does not wait in the cache.
        transaction.Rollback();
        if (query_.Active()) {
            core_.select.Blobs().Forget();
            core_.changes.TakeBack(serial);
            if (core_.rows.Find(removed.bookmark) < 0)
                core_.rows.Insert(removed);
            core_.rows.Place(core_.rows.Find(removed.bookmark), false, false);
            core_.Notify(TQueryCore::Note::DataSet);
        }
        throw;
    }
    core_.Fire(query_.AfterScroll);
}

bool TQueryEditor::WriteUpdates() {
    core_.CheckActive();
    if (core_.Editing())
        Post();
    return core_.changes.Empty() || core_.Write(core_.changes.List());
}

void TQueryEditor::UpdatesWritten() {
    core_.CheckActive();
    if (core_.changes.Empty())
        return;
    core_.Written(core_.changes.List());
    core_.changes.Clear();
}

void TQueryEditor::CancelUpdates() {
    core_.CheckActive();
    Cancel();
    if (core_.changes.Empty())
        return;
    const TQueryCore::TBookmark was = core_.rows.CurrentBookmark();
    const int wasIndex = core_.rows.Current();
    core_.changes.Undo(core_.rows);
    core_.rows.Place(-1, core_.rows.Bof(), core_.rows.Eof());
    if (core_.Resync(was, wasIndex, was))
        core_.Fire(query_.AfterScroll);
}
