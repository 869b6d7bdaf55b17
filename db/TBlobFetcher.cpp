#include "TBlobFetcher.h"

#include "EDatabaseError.h"
#include "TDatabase.h"
#include "TSelectStatement.h"

void TBlobFetcher::Open(int columnCount) {
    Close();
    nested_.resize(columnCount);
    direct_.resize(columnCount);
}

void TBlobFetcher::Close() {
    nested_.clear();
    direct_.clear();
    Forget();
}

QVariant TBlobFetcher::Resolve(std::uint64_t rowId, const QVariant& key, int field,
                               const QVariant& value) {
    if (value.isValid() || !select_.Columns()[field].lazy)
        return value;
    return Fetch(rowId, key, field);
}

QVariant TBlobFetcher::Fetch(std::uint64_t rowId, const QVariant& key, int field) {
    if (rowId != 0) {
        for (const KeptBlob& blob : kept_) {
            if (blob.rowId == rowId && blob.field == field)
                return blob.value;
        }
    }
    QVariant value(QMetaType::fromType<QByteArray>());
    if (!select_.Connection() || !key.isValid() || key.isNull() || !select_.Columns()[field].lazy)
        return value;
    Read(key, field, &value);
    if (rowId != 0) {
        kept_[nextKept_] = {rowId, field, value};
        nextKept_ = (nextKept_ + 1) % kept_.size();
    }
    return value;
}

bool TBlobFetcher::ReadWith(TSqlStatement& statement, bool withParams, const QVariant& key,
                            QVariant* value) {
    bool found = false;
    try {
        statement.BindAll([&](const QString& name) {
            return name == TSelectStatement::KeyParam() ? key
                   : withParams                         ? select_.Params().value(name.toLower())
                                                        : QVariant();
        });
        found = statement.Step();
        if (found)
            *value = statement.ColumnBytes(0);
    } catch (...) {
        statement.Reset();
        throw;
    }
    statement.Reset();
    return found;
}

bool TBlobFetcher::Read(const QVariant& key, int field, QVariant* value) {
    TDatabase* connection = select_.Connection();
    if (!connection || !key.isValid() || key.isNull() || field < 0 ||
        field >= select_.ColumnCount() || !select_.Columns()[field].lazy)
        return false;
    const TSelectStatement::Column& column = select_.Columns()[field];
    const TSelectStatement::Column& keyColumn = select_.Columns()[select_.KeyIndex()];
    TSqlStatement& nested = nested_[field];
    if (!nested.IsValid()) {
        const QString fetch =
            QStringLiteral("select %1 from %2 where %3 = :%4")
                .arg(TSelectStatement::Quoted(column.name),
                     TSelectStatement::Nested(select_.Text()),
                     TSelectStatement::Quoted(keyColumn.name), TSelectStatement::KeyParam());
        nested = TSqlStatement(connection->Handle(), fetch);
    }
    if (ReadWith(nested, true, key, value))
        return true;

    // A row the statement no longer yields, as one whose filtered column
    // was changed: from the table the column and the key come from.
    if (column.table.isEmpty() || column.table != keyColumn.table)
        return false;
    TSqlStatement& direct = direct_[field];
    if (!direct.IsValid()) {
        const QString fetch =
            QStringLiteral("select %1 from %2 where %3 = :%4")
                .arg(column.origin, column.table, keyColumn.origin, TSelectStatement::KeyParam());
        direct = TSqlStatement(connection->Handle(), fetch);
    }
    return ReadWith(direct, false, key, value);
}

void TBlobFetcher::Scan(const std::vector<int>& fields, const ScanSink& onRow) {
    TDatabase* connection = select_.Connection();
    if (!connection || select_.KeyIndex() < 0)
        throw EDatabaseError(QStringLiteral("The columns cannot be read without a key"));
    QStringList columns{TSelectStatement::Quoted(select_.Columns()[select_.KeyIndex()].name)};
    for (int field : fields)
        columns << TSelectStatement::Quoted(select_.Columns()[field].name);
    TSqlStatement statement(
        connection->Handle(),
        QStringLiteral("select %1 from %2")
            .arg(columns.join(QStringLiteral(", ")), TSelectStatement::Nested(select_.Text())));
    statement.BindAll([&](const QString& name) { return select_.Params().value(name.toLower()); });
    std::vector<QByteArrayView> values(fields.size());
    while (statement.Step()) {
        for (size_t i = 0; i < fields.size(); ++i)
            values[i] = statement.ColumnView(static_cast<int>(i) + 1);
        onRow(statement.ColumnView(0), values);
    }
}

void TBlobFetcher::Forget() {
    kept_.fill(KeptBlob());
    nextKept_ = 0;
}
