#include "TQuery.h"

#include "EDatabaseError.h"
#include "EngineConnection.h"
#include "TChangeWriter.h"
#include "TDataLink.h"
#include "TDatabase.h"
#include "TField.h"
#include "TSelectStatement.h"
#include "TSqlStatement.h"

#include <algorithm>

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

enum class Note { Active, DataSet, Record, State };

} // namespace

struct TQuery::Impl {
    using Change = TChangeWriter::Change;
    using ChangeKind = TChangeWriter::Kind;

    struct Row {
        TBookmark bookmark = 0;
        // One value per column. A lazy blob column holds an invalid
        // QVariant until a value is assigned to it.
        std::vector<QVariant> values;
        // The key the table holds the row under: its key as read or last
        // written; invalid for a row not yet in the table.
        QVariant tableKey;
    };

    explicit Impl(TQuery& query) : q(query) {}

    TQuery& q;
    TDatabase* database = nullptr;
    TDataSetState state = TDataSetState::Inactive;
    QHash<QString, QVariant> params;
    TSelectStatement select;

    std::vector<Row> rows; // in bookmark order
    TBookmark lastBookmark = 0;
    int current = -1;
    bool bof = true;
    bool eof = true;

    std::vector<QVariant> buffer; // the current row's values while editing
    // The columns given a value since editing began.
    std::vector<bool> assigned;
    bool modified = false;
    TBookmark beforeInsert = 0;

    std::vector<Change> changes;
    std::uint64_t lastSerial = 0;

    std::vector<TDataLink*> links;
    int disableCount = 0;
    bool activeWhenDisabled = false;
    TDataSetState stateWhenDisabled = TDataSetState::Inactive;

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

    // --- links and events ----------------------------------------------

    void Notify(Note note) {
        if (disableCount > 0)
            return;
        const std::vector<TDataLink*> targets = links;
        for (TDataLink* link : targets) {
            // A link may remove another one while it is told.
            if (std::find(links.begin(), links.end(), link) == links.end())
                continue;
            switch (note) {
            case Note::Active:
                link->ActiveChanged(q);
                break;
            case Note::DataSet:
                link->DataSetChanged(q);
                break;
            case Note::Record:
                link->RecordChanged(q);
                break;
            case Note::State:
                link->StateChanged(q);
                break;
            }
        }
    }

    void Fire(const std::function<void(TQuery&)>& event) {
        if (event)
            event(q);
    }

    // --- rows and position -----------------------------------------------

    TBookmark CurrentBookmark() const { return current >= 0 ? rows[current].bookmark : 0; }

    int RowOf(TBookmark bookmark) const {
        const auto found =
            std::lower_bound(rows.begin(), rows.end(), bookmark,
                             [](const Row& row, TBookmark value) { return row.bookmark < value; });
        if (found == rows.end() || found->bookmark != bookmark)
            return -1;
        return static_cast<int>(found - rows.begin());
    }

    void InsertRow(Row row) {
        const auto at = std::lower_bound(
            rows.begin(), rows.end(), row.bookmark,
            [](const Row& other, TBookmark value) { return other.bookmark < value; });
        rows.insert(at, std::move(row));
    }

    // Makes a row current and tells links and AfterScroll when it is
    // another row than before.
    void MoveTo(int index, bool atBof, bool atEof) {
        const TBookmark before = CurrentBookmark();
        current = index;
        bof = atBof;
        eof = atEof;
        if (CurrentBookmark() != before) {
            Notify(Note::DataSet);
            Fire(q.AfterScroll);
        }
    }

    // After rows were removed or put back: back to a remembered row, or the
    // nearest one. True when that is not the row current before.
    bool Resync(TBookmark preferred, int fallback, TBookmark previous) {
        int index = RowOf(preferred);
        if (index < 0)
            index = rows.empty() ? -1 : std::clamp(fallback, 0, static_cast<int>(rows.size()) - 1);
        current = index;
        bof = rows.empty();
        eof = rows.empty();
        Notify(Note::DataSet);
        return CurrentBookmark() != previous;
    }

    const std::vector<QVariant>& ValuesOf(int row) const {
        return Editing() && row == current ? buffer : rows[row].values;
    }

    // A value of a row, its blob fetched from the table when never read.
    QVariant Resolved(const Row& row, const std::vector<QVariant>& values, int field) {
        const QVariant& value = values[field];
        if (value.isValid() || !select.Columns()[field].lazy)
            return value;
        return select.FetchBlob(row.bookmark, row.tableKey, field);
    }

    void Unload() {
        state = TDataSetState::Inactive;
        rows.clear();
        rows.shrink_to_fit();
        select.Close();
        current = -1;
        bof = eof = true;
        buffer.clear();
        assigned.clear();
        modified = false;
        changes.clear();
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
            const int index = RowOf(change.rowId);
            if (index >= 0 && key >= 0)
                rows[index].tableKey = rows[index].values[key];
        }
        select.ForgetBlobs();
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
        const bool pending = std::any_of(changes.begin(), changes.end(),
                                         [&](const Change& c) { return c.rowId == row.bookmark; });
        if (pending)
            return;
        for (int i = 0; i < select.ColumnCount(); ++i) {
            if (select.Columns()[i].lazy && !assigned[i])
                buffer[i] = QVariant();
        }
    }

    // Whether the cache still holds the change of that serial; it is taken
    // out when it does.
    bool TakeBack(std::uint64_t serial) {
        const auto found = std::find_if(changes.begin(), changes.end(),
                                        [&](const Change& c) { return c.serial == serial; });
        if (found == changes.end())
            return false;
        changes.erase(found);
        return true;
    }

    Change ChangeOf(ChangeKind kind, const Row& row) {
        Change change;
        change.kind = kind;
        change.serial = ++lastSerial;
        change.rowId = row.bookmark;
        change.tableKey = row.tableKey;
        if (kind != ChangeKind::Insert)
            change.before = row.values;
        return change;
    }
};

// --- TQuery ------------------------------------------------------------------

TQuery::TQuery(const QString& databaseName)
    : DatabaseName(databaseName), d(std::make_unique<Impl>(*this)) {}

TQuery::~TQuery() {
    // No events: the owner that set them may be half destroyed already.
    d->Unload();
    const std::vector<TDataLink*> links = d->links;
    for (TDataLink* link : links)
        link->DataSetDestroyed(*this);
}

void TQuery::SetParam(const QString& name, const QVariant& value) {
    QString key = name.toLower();
    if (key.startsWith(QLatin1Char(':')))
        key.remove(0, 1);
    d->params.insert(key, value);
}

QVariant TQuery::Param(const QString& name) const {
    QString key = name.toLower();
    if (key.startsWith(QLatin1Char(':')))
        key.remove(0, 1);
    return d->params.value(key);
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
                           Impl::Row row;
                           row.bookmark = ++d->lastBookmark;
                           row.values = std::move(values);
                           if (d->select.KeyIndex() >= 0)
                               row.tableKey = row.values[d->select.KeyIndex()];
                           d->rows.push_back(std::move(row));
                       });
    } catch (...) {
        d->Unload();
        throw;
    }
    d->database = &connection;
    connection.Register(this);
    d->state = TDataSetState::Browse;
    d->current = d->rows.empty() ? -1 : 0;
    d->bof = true;
    d->eof = d->rows.empty();
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
    d->MoveTo(d->rows.empty() ? -1 : 0, true, d->rows.empty());
}

void TQuery::Last() {
    d->CheckActive();
    d->CheckBrowseMode();
    d->MoveTo(static_cast<int>(d->rows.size()) - 1, d->rows.empty(), true);
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
    if (d->rows.empty()) {
        d->MoveTo(-1, true, true);
        return;
    }
    if (distance == 0)
        return;
    const long long count = static_cast<long long>(d->rows.size());
    const long long target = static_cast<long long>(d->current) + distance;
    if (target >= count)
        d->MoveTo(static_cast<int>(count - 1), false, true);
    else if (target < 0)
        d->MoveTo(0, true, false);
    else
        d->MoveTo(static_cast<int>(target), false, false);
}

bool TQuery::Bof() const {
    return d->bof;
}

bool TQuery::Eof() const {
    return d->eof;
}

bool TQuery::IsEmpty() const {
    return d->rows.empty();
}

int TQuery::RecordCount() const {
    return static_cast<int>(d->rows.size());
}

int TQuery::RecNo() const {
    return d->current;
}

bool TQuery::MoveTo(int index) {
    d->CheckActive();
    d->CheckBrowseMode();
    if (index < 0 || index >= RecordCount())
        return false;
    d->MoveTo(index, false, false);
    return true;
}

TQuery::TBookmark TQuery::GetBookmark() const {
    return d->CurrentBookmark();
}

bool TQuery::BookmarkValid(TBookmark bookmark) const {
    return bookmark != 0 && d->RowOf(bookmark) >= 0;
}

bool TQuery::GotoBookmark(TBookmark bookmark) {
    d->CheckActive();
    d->CheckBrowseMode();
    const int index = bookmark != 0 ? d->RowOf(bookmark) : -1;
    if (index < 0)
        return false;
    d->MoveTo(index, false, false);
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
        if (TextOf(d->Resolved(row, row.values, field)) == wanted) {
            d->MoveTo(i, false, false);
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
    if (d->current < 0)
        return QVariant();
    return d->Resolved(d->rows[d->current], d->ValuesOf(d->current), field);
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
    return d->Resolved(d->rows[row], d->ValuesOf(row), field);
}

// --- editing -----------------------------------------------------------------------

void TQuery::Edit() {
    d->CheckActive();
    if (d->Editing())
        return;
    // Editing an empty query appends a row to edit.
    if (d->rows.empty()) {
        Append();
        return;
    }
    d->BeginEditing(d->rows[d->current].values);
    d->SetState(TDataSetState::Edit);
}

void TQuery::Append() {
    d->CheckActive();
    d->CheckBrowseMode();
    Impl::Row row;
    row.bookmark = ++d->lastBookmark;
    row.values.resize(FieldCount());
    // A new row has no blobs in the table to fetch.
    for (int i = 0; i < FieldCount(); ++i) {
        if (IsBlobField(i))
            row.values[i] = TSelectStatement::AsBlob(QVariant());
    }
    d->beforeInsert = d->CurrentBookmark();
    d->BeginEditing(row.values);
    d->rows.push_back(std::move(row));
    d->current = static_cast<int>(d->rows.size()) - 1;
    d->bof = d->eof = false;
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
    const TBookmark posted = d->CurrentBookmark();
    Impl::Row& row = d->rows[d->current];
    const Impl::ChangeKind kind =
        editing == TDataSetState::Insert ? Impl::ChangeKind::Insert : Impl::ChangeKind::Modify;
    if (kind == Impl::ChangeKind::Modify)
        d->LeaveUnassignedBlobs(row);
    Impl::Change change = d->ChangeOf(kind, row);
    change.after = d->buffer;
    const std::uint64_t serial = change.serial;
    std::vector<Impl::Change> written;
    if (CachedUpdates) {
        d->changes.push_back(std::move(change));
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
        if (Active() && d->TakeBack(serial)) {
            const int index = d->RowOf(posted);
            if (index >= 0) {
                d->rows[index].values = std::move(before);
                d->current = index;
                d->bof = d->eof = false;
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
        const int index = d->current;
        const TBookmark inserted = d->CurrentBookmark();
        d->rows.erase(d->rows.begin() + index);
        d->current = -1;
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
    if (d->rows.empty())
        throw EDatabaseError(EmptyMessage);
    if (!UpdateObject)
        throw EDatabaseError(ReadOnlyMessage);
    // What BeforeDelete writes (the rows that depend on this one), the
    // delete and what AfterDelete writes: all or nothing.
    TSqlTransaction transaction(d->database->Handle(), TSqlTransaction::Lock::Deferred);
    d->Fire(BeforeDelete);
    if (d->current < 0)
        throw EDatabaseError(EmptyMessage);

    const int index = d->current;
    const Impl::Row removed = d->rows[index];
    Impl::Change change = d->ChangeOf(Impl::ChangeKind::Delete, d->rows[index]);
    const std::uint64_t serial = change.serial;
    if (CachedUpdates) {
        d->changes.push_back(std::move(change));
    } else {
        const std::vector<Impl::Change> single{std::move(change)};
        // Aborted: nothing is written, what BeforeDelete wrote neither.
        if (!d->Write(single))
            return;
        d->Written(single);
    }
    d->rows.erase(d->rows.begin() + index);
    d->current = d->rows.empty() ? -1 : std::min(index, RecordCount() - 1);
    d->bof = d->eof = d->rows.empty();
    d->Notify(Note::DataSet);
    try {
        d->Fire(AfterDelete);
        transaction.Commit();
    } catch (...) {
        // Rolled back: the row is still in the table, and in the list again
        // as the current row; its delete does not wait in the cache.
        transaction.Rollback();
        if (Active()) {
            d->select.ForgetBlobs();
            d->TakeBack(serial);
            if (d->RowOf(removed.bookmark) < 0)
                d->InsertRow(removed);
            d->current = d->RowOf(removed.bookmark);
            d->bof = d->eof = false;
            d->Notify(Note::DataSet);
        }
        throw;
    }
    d->Fire(AfterScroll);
}

// --- cached updates --------------------------------------------------------------------

bool TQuery::UpdatesPending() const {
    return !d->changes.empty();
}

int TQuery::PendingUpdateCount() const {
    return static_cast<int>(d->changes.size());
}

void TQuery::ApplyUpdates() {
    if (WriteUpdates())
        UpdatesWritten();
}

bool TQuery::WriteUpdates() {
    d->CheckActive();
    if (d->Editing())
        Post();
    return d->changes.empty() || d->Write(d->changes);
}

void TQuery::UpdatesWritten() {
    d->CheckActive();
    if (d->changes.empty())
        return;
    d->Written(d->changes);
    d->changes.clear();
}

void TQuery::CancelUpdates() {
    d->CheckActive();
    Cancel();
    if (d->changes.empty())
        return;
    const TBookmark was = d->CurrentBookmark();
    const int wasIndex = d->current;
    for (auto change = d->changes.rbegin(); change != d->changes.rend(); ++change) {
        const int index = d->RowOf(change->rowId);
        switch (change->kind) {
        case Impl::ChangeKind::Insert:
            if (index >= 0)
                d->rows.erase(d->rows.begin() + index);
            break;
        case Impl::ChangeKind::Modify:
            if (index >= 0)
                d->rows[index].values = std::move(change->before);
            break;
        case Impl::ChangeKind::Delete:
            d->InsertRow({change->rowId, std::move(change->before), change->tableKey});
            break;
        }
    }
    d->changes.clear();
    d->current = -1;
    if (d->Resync(was, wasIndex, was))
        d->Fire(AfterScroll);
}

// --- controls --------------------------------------------------------------------------

void TQuery::DisableControls() {
    if (d->disableCount++ == 0) {
        d->activeWhenDisabled = Active();
        d->stateWhenDisabled = d->state;
    }
}

void TQuery::EnableControls() {
    if (d->disableCount == 0 || --d->disableCount > 0)
        return;
    if (Active() != d->activeWhenDisabled)
        d->Notify(Note::Active);
    else if (d->state != d->stateWhenDisabled)
        d->Notify(Note::State);
    d->Notify(Note::DataSet);
}

bool TQuery::ControlsDisabled() const {
    return d->disableCount > 0;
}

void TQuery::AddLink(TDataLink* link) {
    if (link && std::find(d->links.begin(), d->links.end(), link) == d->links.end())
        d->links.push_back(link);
}

void TQuery::RemoveLink(TDataLink* link) {
    d->links.erase(std::remove(d->links.begin(), d->links.end(), link), d->links.end());
}
