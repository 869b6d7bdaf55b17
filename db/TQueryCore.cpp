#include "TQueryCore.h"

#include "EDatabaseError.h"
#include "TChangeWriter.h"
#include "TDatabase.h"

QString TQueryCore::NotEditingMessage() {
    return QStringLiteral("Dataset not in edit or insert mode");
}

QString TQueryCore::EmptyMessage() {
    return QStringLiteral("Cannot perform this operation on an empty dataset");
}

QString TQueryCore::ReadOnlyMessage() {
    return QStringLiteral("Cannot modify a read-only dataset");
}

void TQueryCore::CheckActive() const {
    if (state == TDataSetState::Inactive)
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void TQueryCore::CheckBrowseMode() {
    if (!Editing())
        return;
    if (modified)
        q.Post();
    else
        q.Cancel();
}

void TQueryCore::CheckField(int field) const {
    if (field < 0 || field >= select.ColumnCount())
        throw EDatabaseError(QStringLiteral("Field index %1 out of range").arg(field));
}

void TQueryCore::SetState(TDataSetState newState) {
    if (state == newState)
        return;
    state = newState;
    Notify(Note::State);
}

void TQueryCore::Fire(const std::function<void(TQuery&)>& event) {
    if (event)
        event(q);
}

void TQueryCore::MoveTo(TQueryRows::Position position) {
    const TBookmark before = rows.CurrentBookmark();
    rows.Place(position);
    if (rows.CurrentBookmark() != before) {
        Notify(Note::DataSet);
        Fire(q.AfterScroll);
    }
}

bool TQueryCore::Resync(TBookmark preferred, int fallback, TBookmark previous) {
    rows.Place(rows.Settle(preferred, fallback));
    Notify(Note::DataSet);
    return rows.CurrentBookmark() != previous;
}

TQueryCore::Row& TQueryCore::Loaded(int index) {
    if (rows[index].values.empty())
        window.Read(rows, index, rows.Current(), select);
    return rows[index];
}

QVariant TQueryCore::ValueOf(int index, int field) {
    // A row not read yet holds its key as the table does.
    if (field == select.KeyIndex() && rows[index].values.empty())
        return rows[index].tableKey;
    const Row& row = Loaded(index);
    const std::vector<QVariant>& values =
        Editing() && index == rows.Current() ? buffer : row.values;
    return select.Blobs().Resolve(row.bookmark, row.tableKey, field, values[field]);
}

void TQueryCore::Unload() {
    state = TDataSetState::Inactive;
    rows.Clear();
    window.Clear();
    select.Close();
    buffer.clear();
    assigned.clear();
    modified = false;
    changes.Clear();
    if (database) {
        database->Unregister(&q);
        database = nullptr;
    }
}

bool TQueryCore::Write(const std::vector<Change>& list) {
    if (!q.UpdateObject)
        throw EDatabaseError(ReadOnlyMessage());
    return TChangeWriter(database->Handle(), *q.UpdateObject, select).Write(list);
}

void TQueryCore::Written(const std::vector<Change>& list) {
    const int key = select.KeyIndex();
    for (const Change& change : list) {
        const int index = rows.Find(change.rowId);
        if (index >= 0 && key >= 0)
            rows[index].tableKey = Loaded(index).values[key];
    }
    select.Blobs().Forget();
}

void TQueryCore::BeginEditing(std::vector<QVariant> values) {
    buffer = std::move(values);
    assigned.assign(buffer.size(), false);
    modified = false;
}

void TQueryCore::LeaveUnassignedBlobs(const Row& row) {
    if (changes.Holds(row.bookmark))
        return;
    for (int i = 0; i < select.ColumnCount(); ++i) {
        if (select.Columns()[i].lazy && !assigned[i])
            buffer[i] = QVariant();
    }
}
