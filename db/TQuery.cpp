#include "TQuery.h"

#include "EDatabaseError.h"
#include "EngineConnection.h"
#include "TChangeCache.h"
#include "TChangeWriter.h"
#include "TDatabase.h"
#include "TField.h"
#include "TQueryLinks.h"
#include "TQueryRows.h"
#include "TSelectStatement.h"
#include "TSqlStatement.h"

namespace {

const QString ClosedMessage = QStringLiteral("Cannot perform this operation on a closed dataset");
const QString NotEditingMessage = QStringLiteral("Dataset not in edit or insert mode");
const QString EmptyMessage = QStringLiteral("Cannot perform this operation on an empty dataset");
const QString ReadOnlyMessage = QStringLiteral("Cannot modify a read-only dataset");

QString TextOf(const QVariant& value) {
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QString)
        return *static_cast<const QString*>(value.constData());
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(*static_cast<const QByteArray*>(value.constData()));
    return value.toString();
}

QString ParamKey(const QString& name) {
    QString key = name.toLower();
    if (key.startsWith(QLatin1Char(':')))
        key.remove(0, 1);
    return key;
}

using Note = TQueryLinks::Note;

} // namespace

struct TQuery::Impl {
    using Row = TQueryRows::Row;
    using Change = TChangeCache::Change;
    using ChangeKind = TChangeCache::Kind;

    explicit Impl(TQuery& query) : q(query) {}

    TQuery& q;
    TDatabase* database = nullptr;
    TDataSetState state = TDataSetState::Inactive;
    QHash<QString, QVariant> params;
    TSelectStatement select;
    TQueryRows rows;
    TChangeCache changes;
    TQueryLinks links;

    std::vector<QVariant> buffer; // the current row's values while editing
    // The columns given a value since editing began.
    std::vector<bool> assigned;
    bool modified = false;
    TBookmark beforeInsert = 0;

    // --- state ---------------------------------------------------------

    void CheckActive() const {
        if (state == TDataSetState::Inactive)
            throw EDatabaseError(ClosedMessage);
    }

    bool Editing() const { return state == TDataSetState::Edit || state == TDataSetState::Insert; }

    // Leaves edit or insert state before a move: posts a modified row,
    // drops an unmodified one.
    void CheckBrowseMode() {
        if (!Editing())
            return;
        if (modified)
            q.Post();
        else
            q.Cancel();
    }

    void CheckField(int field) const {
        if (field < 0 || field >= select.ColumnCount())
            throw EDatabaseError(QStringLiteral("Field index %1 out of range").arg(field));
    }

    void SetState(TDataSetState newState) {
        if (state == newState)
            return;
        state = newState;
        Notify(Note::State);
    }

    void Notify(Note note) { links.Notify(q, note); }

    void Fire(const std::function<void(TQuery&)>& event) {
        if (event)
            event(q);
    }

    // --- rows and position -----------------------------------------------

    // Makes a row current and tells links and AfterScroll when it is
    // another row than before.
    void MoveTo(TQueryRows::Position position) {
        const TBookmark before = rows.CurrentBookmark();
        rows.Place(position);
        if (rows.CurrentBookmark() != before) {
            Notify(Note::DataSet);
            Fire(q.AfterScroll);
        }
    }

    // After rows were removed or put back: back to a remembered row, or the
    // nearest one. True when that is not the row current before.
    bool Resync(TBookmark preferred, int fallback, TBookmark previous) {
        rows.Place(rows.Settle(preferred, fallback));
        Notify(Note::DataSet);
        return rows.CurrentBookmark() != previous;
    }

    // A value of a row as shown: the edit buffer's for the row being
    // edited, a blob fetched from the table when never read.
    QVariant ValueOf(int index, int field) {
        const Row& row = rows[index];
        const std::vector<QVariant>& values =
            Editing() && index == rows.Current() ? buffer : row.values;
        return select.Blobs().Resolve(row.bookmark, row.tableKey, field, values[field]);
    }

    void Unload() {
        state = TDataSetState::Inactive;
        rows.Clear();
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

    // --- writing -------------------------------------------------------------

    // Writes changes to the table; false when the engine aborted the update.
    bool Write(const std::vector<Change>& list) {
        if (!q.UpdateObject)
            throw EDatabaseError(ReadOnlyMessage);
        return TChangeWriter(database->Handle(), *q.UpdateObject, select).Write(list);
    }

    // After a write: the table holds the rows under their present keys.
    void Written(const std::vector<Change>& list) {
        const int key = select.KeyIndex();
        for (const Change& change : list) {
            const int index = rows.Find(change.rowId);
            if (index >= 0 && key >= 0)
                rows[index].tableKey = rows[index].values[key];
        }
        select.Blobs().Forget();
    }

    // Starts editing the current row with values.
    void BeginEditing(std::vector<QVariant> values) {
        buffer = std::move(values);
        assigned.assign(buffer.size(), false);
        modified = false;
    }

    // Before a modified row is posted: a lazy blob the user did not give a
    // value goes back to the table's value, unread, so that it is neither
    // written back from what was read nor shown from it afterwards. A row
    // with a change still in the cache keeps what that change holds.
    void LeaveUnassignedBlobs(const Row& row) {
        if (changes.Holds(row.bookmark))
            return;
        for (int i = 0; i < select.ColumnCount(); ++i) {
            if (select.Columns()[i].lazy && !assigned[i])
                buffer[i] = QVariant();
        }
    }
};

// --- TQuery ------------------------------------------------------------------

TQuery::TQuery(const QString& databaseName)
    : DatabaseName(databaseName), d(std::make_unique<Impl>(*this)) {}

TQuery::~TQuery() {
    // No events: the owner that set them may be half destroyed already.
    d->Unload();
    d->links.Destroyed(*this);
}

void TQuery::SetParam(const QString& name, const QVariant& value) {
    d->params.insert(ParamKey(name), value);
}

QVariant TQuery::Param(const QString& name) const {
    return d->params.value(ParamKey(name));
}

void TQuery::ClearParams() {
    d->params.clear();
}

void TQuery::Open() {
    if (Active())
        return;
    TDatabase& connection = TDatabase::Connected(DatabaseName);
    try {
        d->select.Open(connection, SQL.join(QLatin1Char('\n')), d->params, KeyField,
                       [this](std::vector<QVariant>&& values) {
                           d->rows.Append(std::move(values), d->select.KeyIndex());
                       });
    } catch (...) {
        d->Unload();
        throw;
    }
    d->database = &connection;
    connection.Register(this);
    d->state = TDataSetState::Browse;
    d->rows.Place(d->rows.Empty() ? -1 : 0, true, d->rows.Empty());
    d->Notify(Note::Active);
    d->Fire(AfterOpen);
    d->Fire(AfterScroll);
}

void TQuery::Close() {
    if (!Active())
        return;
    d->Fire(BeforeClose);
    d->Unload();
    d->Notify(Note::Active);
}

bool TQuery::Active() const {
    return d->state != TDataSetState::Inactive;
}

int TQuery::ExecSQL() {
    TDatabase& connection = TDatabase::Connected(DatabaseName);
    EngineConnection* handle = connection.Handle();
    QString rest = SQL.join(QLatin1Char('\n'));
    int affected = 0;
    while (!rest.trimmed().isEmpty()) {
        TSqlStatement statement(handle, rest);
        rest = statement.Tail();
        if (!statement.IsValid())
            continue;
        statement.BindAll([&](const QString& name) { return d->params.value(name.toLower()); });
        const qint64 before = handle->TotalChanges();
        statement.Run();
        affected = handle->TotalChanges() != before ? static_cast<int>(handle->Changes()) : 0;
    }
    return affected;
}

TDataSetState TQuery::State() const {
    return d->state;
}

// --- navigation ----------------------------------------------------------------

void TQuery::First() {
    d->CheckActive();
    d->CheckBrowseMode();
    d->MoveTo(d->rows.First());
}

void TQuery::Last() {
    d->CheckActive();
    d->CheckBrowseMode();
    d->MoveTo(d->rows.Last());
}

void TQuery::Next() {
    MoveBy(1);
}

void TQuery::Prior() {
    MoveBy(-1);
}

void TQuery::MoveBy(int distance) {
    d->CheckActive();
    d->CheckBrowseMode();
    d->MoveTo(d->rows.By(distance));
}

bool TQuery::Bof() const {
    return d->rows.Bof();
}

bool TQuery::Eof() const {
    return d->rows.Eof();
}

bool TQuery::IsEmpty() const {
    return d->rows.Empty();
}

int TQuery::RecordCount() const {
    return d->rows.Count();
}

int TQuery::RecNo() const {
    return d->rows.Current();
}

bool TQuery::MoveTo(int index) {
    d->CheckActive();
    d->CheckBrowseMode();
    if (index < 0 || index >= RecordCount())
        return false;
    d->MoveTo({index, false, false});
    return true;
}

TQuery::TBookmark TQuery::GetBookmark() const {
    return d->rows.CurrentBookmark();
}

bool TQuery::BookmarkValid(TBookmark bookmark) const {
    return bookmark != 0 && d->rows.Find(bookmark) >= 0;
}

bool TQuery::GotoBookmark(TBookmark bookmark) {
    d->CheckActive();
    d->CheckBrowseMode();
    const int index = bookmark != 0 ? d->rows.Find(bookmark) : -1;
    if (index < 0)
        return false;
    d->MoveTo({index, false, false});
    return true;
}

bool TQuery::Locate(const QString& fieldName, const QVariant& value) {
    d->CheckActive();
    const int field = FieldIndex(fieldName);
    if (field < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(fieldName));
    d->CheckBrowseMode();
    const QString wanted = TextOf(value);
    for (int i = 0; i < RecordCount(); ++i) {
        const Impl::Row& row = d->rows[i];
        if (TextOf(d->select.Blobs().Resolve(row.bookmark, row.tableKey, field,
                                             row.values[field])) == wanted) {
            d->MoveTo({i, false, false});
            return true;
        }
    }
    return false;
}

// --- fields and values -----------------------------------------------------------

int TQuery::FieldCount() const {
    return d->select.ColumnCount();
}

QString TQuery::FieldName(int index) const {
    d->CheckField(index);
    return d->select.Columns()[index].name;
}

int TQuery::FieldIndex(const QString& name) const {
    return d->select.ColumnIndex(name);
}

QString TQuery::FieldType(int index) const {
    d->CheckField(index);
    return d->select.Columns()[index].type;
}

bool TQuery::IsBlobField(int index) const {
    d->CheckField(index);
    return d->select.Columns()[index].blob;
}

TField TQuery::FieldByName(const QString& name) {
    const int index = FieldIndex(name);
    if (index < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return TField(*this, index);
}

QVariant TQuery::Value(int field) const {
    d->CheckActive();
    d->CheckField(field);
    if (d->rows.Current() < 0)
        return QVariant();
    return d->ValueOf(d->rows.Current(), field);
}

void TQuery::SetValue(int field, const QVariant& value) {
    d->CheckActive();
    d->CheckField(field);
    if (!d->Editing())
        throw EDatabaseError(NotEditingMessage);
    d->buffer[field] = IsBlobField(field) ? TSelectStatement::AsBlob(value) : value;
    d->assigned[field] = true;
    d->modified = true;
    d->Notify(Note::Record);
}

QVariant TQuery::ValueAt(int row, int field) const {
    d->CheckActive();
    d->CheckField(field);
    if (row < 0 || row >= RecordCount())
        throw EDatabaseError(QStringLiteral("Record index %1 out of range").arg(row));
    return d->ValueOf(row, field);
}

// --- editing -----------------------------------------------------------------------

void TQuery::Edit() {
    d->CheckActive();
    if (d->Editing())
        return;
    // Editing an empty query appends a row to edit.
    if (d->rows.Empty()) {
        Append();
        return;
    }
    d->BeginEditing(d->rows[d->rows.Current()].values);
    d->SetState(TDataSetState::Edit);
}

void TQuery::Append() {
    d->CheckActive();
    d->CheckBrowseMode();
    std::vector<QVariant> values(FieldCount());
    // A new row has no blobs in the table to fetch.
    for (int i = 0; i < FieldCount(); ++i) {
        if (IsBlobField(i))
            values[i] = TSelectStatement::AsBlob(QVariant());
    }
    d->beforeInsert = d->rows.CurrentBookmark();
    d->BeginEditing(values);
    d->rows.Append(std::move(values), -1);
    d->rows.Place(RecordCount() - 1, false, false);
    d->SetState(TDataSetState::Insert);
    d->Notify(Note::DataSet);
    d->Fire(AfterInsert);
    d->Fire(AfterScroll);
}

void TQuery::Post() {
    d->CheckActive();
    if (!d->Editing())
        throw EDatabaseError(NotEditingMessage);
    if (!UpdateObject)
        throw EDatabaseError(ReadOnlyMessage);
    d->Fire(BeforePost);
    if (!d->Editing())
        return;

    const TDataSetState editing = d->state;
    const TBookmark posted = d->rows.CurrentBookmark();
    Impl::Row& row = d->rows[d->rows.Current()];
    const Impl::ChangeKind kind =
        editing == TDataSetState::Insert ? Impl::ChangeKind::Insert : Impl::ChangeKind::Modify;
    if (kind == Impl::ChangeKind::Modify)
        d->LeaveUnassignedBlobs(row);
    Impl::Change change = d->changes.Make(kind, row);
    change.after = d->buffer;
    const std::uint64_t serial = change.serial;
    std::vector<Impl::Change> written;
    if (CachedUpdates) {
        d->changes.Push(std::move(change));
    } else {
        written.push_back(std::move(change));
        // An aborted write leaves the row being edited, as it was.
        if (!d->Write(written))
            return;
    }
    // What the post replaces, to put back should the change not be written.
    std::vector<QVariant> before = row.values;
    std::vector<QVariant> edited = d->buffer;
    std::vector<bool> assigned = d->assigned;

    row.values = std::move(d->buffer);
    if (!written.empty())
        d->Written(written);
    d->buffer.clear();
    d->assigned.clear();
    d->modified = false;
    d->SetState(TDataSetState::Browse);
    d->Notify(Note::DataSet);
    try {
        d->Fire(AfterPost);
    } catch (...) {
        // AfterPost writes the cache (the catalog lists do): when it fails
        // before this change is written, the post has not happened. The
        // row is being edited again with the values given, and the change
        // does not wait in the cache to be written or dropped later.
        if (Active() && d->changes.TakeBack(serial)) {
            const int index = d->rows.Find(posted);
            if (index >= 0) {
                d->rows[index].values = std::move(before);
                d->rows.Place(index, false, false);
                d->buffer = std::move(edited);
                d->assigned = std::move(assigned);
                d->modified = true;
                d->SetState(editing);
                d->Notify(Note::DataSet);
            }
        }
        throw;
    }
}

void TQuery::Cancel() {
    d->CheckActive();
    if (!d->Editing())
        return;
    const bool inserting = d->state == TDataSetState::Insert;
    d->buffer.clear();
    d->assigned.clear();
    d->modified = false;
    if (inserting) {
        const int index = d->rows.Current();
        const TBookmark inserted = d->rows.CurrentBookmark();
        d->rows.Erase(index);
        d->rows.Place(-1, d->rows.Bof(), d->rows.Eof());
        d->SetState(TDataSetState::Browse);
        d->Resync(d->beforeInsert, index, inserted);
        d->Fire(AfterCancel);
        d->Fire(AfterScroll);
        return;
    }
    d->SetState(TDataSetState::Browse);
    d->Notify(Note::DataSet);
    d->Fire(AfterCancel);
}

void TQuery::Delete() {
    d->CheckActive();
    if (d->state == TDataSetState::Insert) {
        Cancel();
        return;
    }
    Cancel();
    if (d->rows.Empty())
        throw EDatabaseError(EmptyMessage);
    if (!UpdateObject)
        throw EDatabaseError(ReadOnlyMessage);
    // What BeforeDelete writes (the rows that depend on this one), the
    // delete and what AfterDelete writes: all or nothing.
    TSqlTransaction transaction(d->database->Handle(), TSqlTransaction::Lock::Deferred);
    d->Fire(BeforeDelete);
    if (d->rows.Current() < 0)
        throw EDatabaseError(EmptyMessage);

    const int index = d->rows.Current();
    const Impl::Row removed = d->rows[index];
    Impl::Change change = d->changes.Make(Impl::ChangeKind::Delete, removed);
    const std::uint64_t serial = change.serial;
    if (CachedUpdates) {
        d->changes.Push(std::move(change));
    } else {
        const std::vector<Impl::Change> single{std::move(change)};
        // Aborted: nothing is written, what BeforeDelete wrote neither.
        if (!d->Write(single))
            return;
        d->Written(single);
    }
    d->rows.Erase(index);
    const bool empty = d->rows.Empty();
    d->rows.Place(empty ? -1 : std::min(index, RecordCount() - 1), empty, empty);
    d->Notify(Note::DataSet);
    try {
        d->Fire(AfterDelete);
        transaction.Commit();
    } catch (...) {
        // Rolled back: the row is still in the table, and in the list again
        // as the current row; its delete does not wait in the cache.
        transaction.Rollback();
        if (Active()) {
            d->select.Blobs().Forget();
            d->changes.TakeBack(serial);
            if (d->rows.Find(removed.bookmark) < 0)
                d->rows.Insert(removed);
            d->rows.Place(d->rows.Find(removed.bookmark), false, false);
            d->Notify(Note::DataSet);
        }
        throw;
    }
    d->Fire(AfterScroll);
}

// --- cached updates --------------------------------------------------------------------

bool TQuery::UpdatesPending() const {
    return !d->changes.Empty();
}

int TQuery::PendingUpdateCount() const {
    return d->changes.Count();
}

void TQuery::ApplyUpdates() {
    if (WriteUpdates())
        UpdatesWritten();
}

bool TQuery::WriteUpdates() {
    d->CheckActive();
    if (d->Editing())
        Post();
    return d->changes.Empty() || d->Write(d->changes.List());
}

void TQuery::UpdatesWritten() {
    d->CheckActive();
    if (d->changes.Empty())
        return;
    d->Written(d->changes.List());
    d->changes.Clear();
}

void TQuery::CancelUpdates() {
    d->CheckActive();
    Cancel();
    if (d->changes.Empty())
        return;
    const TBookmark was = d->rows.CurrentBookmark();
    const int wasIndex = d->rows.Current();
    d->changes.Undo(d->rows);
    d->rows.Place(-1, d->rows.Bof(), d->rows.Eof());
    if (d->Resync(was, wasIndex, was))
        d->Fire(AfterScroll);
}

// --- controls --------------------------------------------------------------------------

void TQuery::DisableControls() {
    d->links.Disable(*this);
}

void TQuery::EnableControls() {
    d->links.Enable(*this);
}

bool TQuery::ControlsDisabled() const {
    return d->links.Disabled();
}

void TQuery::AddLink(TDataLink* link) {
    d->links.Add(link);
}

void TQuery::RemoveLink(TDataLink* link) {
    d->links.Remove(link);
}
