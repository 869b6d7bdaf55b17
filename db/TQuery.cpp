#include "TQuery.h"

#include "EDatabaseError.h"
#include "EngineConnection.h"
#include "TChangeWriter.h"
#include "TDatabase.h"
#include "TField.h"
#include "TQueryCore.h"
#include "TQueryEditor.h"
#include "TSqlStatement.h"

namespace {

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

struct TQuery::Impl : TQueryCore {
    explicit Impl(TQuery& query) : TQueryCore(query), editor(*this) {}

    TQueryEditor editor;
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
                       PagedRows ? TSelectStatement::Reading::Keys
                                 : TSelectStatement::Reading::Whole,
                       [this](std::vector<QVariant>&& values, QVariant&& key) {
                           if (values.empty())
                               d->rows.AppendUnread(std::move(key));
                           else
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
        const QString text = rest;
        rest = statement.Tail();
        if (!statement.IsValid())
            continue;
        statement.BindAll([&](const QString& name) { return d->params.value(name.toLower()); });
        const qint64 before = handle->TotalChanges();
        statement.Run();
        affected = handle->TotalChanges() != before ? static_cast<int>(handle->Changes()) : 0;
        if (affected > 0)
            TChangeWriter::AnnounceStatement(handle, text);
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

int TQuery::HeldRowCount() const {
    int held = 0;
    for (int i = 0; i < d->rows.Count(); ++i)
        held += d->rows[i].values.empty() ? 0 : 1;
    return held;
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
    // A row not read yet answers for its key without being read.
    for (int i = 0; i < RecordCount(); ++i) {
        if (TextOf(d->ValueOf(i, field)) == wanted) {
            d->MoveTo({i, false, false});
            return true;
        }
    }
    return false;
}

void TQuery::ScanColumns(
    const std::vector<int>& fields,
    const std::function<void(QByteArrayView key, const std::vector<QByteArrayView>& values)>&
        onRow) {
    d->CheckActive();
    for (int field : fields)
        d->CheckField(field);
    d->select.Blobs().Scan(fields, onRow);
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
        throw EDatabaseError(TQueryCore::NotEditingMessage());
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
    d->editor.Edit();
}

void TQuery::Append() {
    d->editor.Append();
}

void TQuery::Post() {
    d->editor.Post();
}

TQuery::THeldRow TQuery::HeldRow() const {
    d->CheckActive();
    const int current = d->rows.Current();
    if (current < 0)
        return {};
    const TQueryRows::Row& row = d->Loaded(current);
    return {row.bookmark, row.values, row.tableKey, d->state == TDataSetState::Insert};
}

void TQuery::PutBack(const THeldRow& held) {
    d->CheckActive();
    if (d->Editing())
        throw EDatabaseError(QStringLiteral("A row being edited cannot be put back"));
    const int index = d->rows.Find(held.bookmark);
    if (held.bookmark == 0 || index < 0)
        return;
    TQueryRows::Row& row = d->rows[index];
    row.values = held.values;
    row.tableKey = held.tableKey;
    d->select.Blobs().Forget();
    if (held.inserting) {
        d->rows.Place(index, false, false);
        d->BeginEditing(held.values);
        d->SetState(TDataSetState::Insert);
    }
    d->Notify(Note::DataSet);
}

void TQuery::Cancel() {
    d->editor.Cancel();
}

void TQuery::Delete() {
    d->editor.Delete();
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
    return d->editor.WriteUpdates();
}

void TQuery::UpdatesWritten() {
    d->editor.UpdatesWritten();
}

void TQuery::CancelUpdates() {
    d->editor.CancelUpdates();
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
