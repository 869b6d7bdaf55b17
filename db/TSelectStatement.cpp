#include "TSelectStatement.h"

#include "EDatabaseError.h"
#include "TDatabase.h"

#include <algorithm>

QString TSelectStatement::Quoted(const QString& identifier) {
    QString quoted = identifier;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString TSelectStatement::Nested(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && (text.at(end - 1).isSpace() || text.at(end - 1) == QLatin1Char(';')))
        --end;
    // The server wants a name for a query in a from clause.
    return QStringLiteral("(\n") + text.left(end) + QStringLiteral("\n) as listed");
}

QVariant TSelectStatement::AsBlob(const QVariant& value) {
    if (value.isNull())
        return QVariant(QMetaType::fromType<QByteArray>());
    if (value.typeId() == QMetaType::QByteArray)
        return value;
    if (value.typeId() == QMetaType::QString)
        return static_cast<const QString*>(value.constData())->toUtf8();
    return value.toString().toUtf8();
}

void TSelectStatement::Describe(TDatabase& connection, const QString& keyField) {
    EngineConnection* handle = connection.Handle();
    if (!handle)
        throw EDatabaseError(QStringLiteral("The database connection has no engine handle"));
    const TSqlStatement described(handle, text_);
    if (!described.IsValid() || described.ColumnCount() == 0)
        throw EDatabaseError(QStringLiteral("The statement returns no result set"));
    for (int i = 0; i < described.ColumnCount(); ++i) {
        Column column;
        column.name = described.ColumnName(i);
        column.type = described.ColumnDeclType(i);
        column.blob = column.type.contains(QLatin1String("blob"), Qt::CaseInsensitive);
        const QString table = described.ColumnTableName(i);
        const QString origin = described.ColumnOriginName(i);
        if (!table.isEmpty() && !origin.isEmpty()) {
            const QString database = described.ColumnDatabaseName(i);
            column.table = (database.isEmpty() ? QString() : Quoted(database) + QLatin1Char('.')) +
                           Quoted(table);
            column.origin = Quoted(origin);
        }
        const QString folded = column.name.toLower();
        if (index_.contains(folded))
            uniqueNames_ = false;
        else
            index_.insert(folded, i);
        columns_.push_back(std::move(column));
    }
    for (int i = 1; i <= described.ParamCount(); ++i)
        paramNames_.push_back(described.ParamName(i));
    keyIndex_ = keyField.isEmpty() ? -1 : ColumnIndex(keyField);
}

void TSelectStatement::Open(TDatabase& connection, const QString& text,
                            const QHash<QString, QVariant>& params, const QString& keyField,
                            Reading reading, const RowSink& onRow) {
    Close();
    connection_ = &connection;
    text_ = text;
    params_ = params;
    Describe(connection, keyField);

    QString readText = text_;
    if (uniqueNames_ && keyIndex_ >= 0 && !columns_[keyIndex_].blob) {
        QStringList plain;
        std::vector<int> read;
        for (int i = 0; i < ColumnCount(); ++i) {
            if (!columns_[i].blob) {
                plain.push_back(Quoted(columns_[i].name));
                read.push_back(i);
            }
        }
        const bool anyBlob = static_cast<int>(read.size()) < ColumnCount();
        const QString wrapped = QStringLiteral("select %1 from %2")
                                    .arg(plain.join(QStringLiteral(", ")), Nested(text_));
        if (anyBlob || reading == Reading::Keys) {
            const TSqlStatement probe = TSqlStatement::TryPrepare(connection.Handle(), wrapped);
            if (probe.IsValid() && probe.ColumnCount() == static_cast<int>(read.size())) {
                readText = wrapped;
                plainText_ = wrapped;
                plainColumns_ = std::move(read);
                for (Column& column : columns_)
                    column.lazy = column.blob;
            }
        }
    }
    blobs_.Open(ColumnCount());

    if (reading == Reading::Keys && !plainColumns_.empty()) {
        paged_ = true;
        TSqlStatement keys(connection.Handle(),
                           QStringLiteral("select %1 from %2")
                               .arg(Quoted(columns_[keyIndex_].name), Nested(text_)));
        BindParams(keys);
        while (keys.Step())
            onRow({}, keys.ColumnValue(0));
        return;
    }

    TSqlStatement statement(connection.Handle(), readText);
    BindParams(statement);
    const int count = ColumnCount();
    while (statement.Step()) {
        std::vector<QVariant> values(count);
        if (plainColumns_.empty()) {
            for (int i = 0; i < count; ++i)
                values[i] = columns_[i].blob ? statement.ColumnBytes(i) : statement.ColumnValue(i);
        } else {
            for (size_t i = 0; i < plainColumns_.size(); ++i)
                values[plainColumns_[i]] = statement.ColumnValue(static_cast<int>(i));
        }
        QVariant key = keyIndex_ >= 0 ? values[keyIndex_] : QVariant();
        onRow(std::move(values), std::move(key));
    }
}

void TSelectStatement::BindParams(TSqlStatement& statement) const {
    statement.BindAll([&](const QString& name) { return params_.value(name.toLower()); });
}

bool TSelectStatement::ReadRow(const QVariant& key, std::vector<QVariant>* values) {
    if (plainColumns_.empty() || !connection_)
        return false;
    if (!byKey_.IsValid())
        byKey_ = TSqlStatement(
            connection_->Handle(),
            QStringLiteral("select * from %1 where %2 = :%3")
                .arg(Nested(plainText_), Quoted(columns_[keyIndex_].name), KeyParam()));
    bool found = false;
    try {
        byKey_.BindAll([&](const QString& name) {
            return name == KeyParam() ? key : params_.value(name.toLower());
        });
        found = byKey_.Step();
        if (found) {
            values->assign(columns_.size(), QVariant());
            for (size_t i = 0; i < plainColumns_.size(); ++i)
                (*values)[plainColumns_[i]] = byKey_.ColumnValue(static_cast<int>(i));
        }
    } catch (...) {
        byKey_.Reset();
        throw;
    }
    byKey_.Reset();
    return found;
}

QString TSelectStatement::KeyParam() {
    return QStringLiteral("__velmora_key");
}

void TSelectStatement::Close() {
    connection_ = nullptr;
    text_.clear();
    params_.clear();
    columns_.clear();
    index_.clear();
    paramNames_.clear();
    uniqueNames_ = true;
    keyIndex_ = -1;
    plainText_.clear();
    plainColumns_.clear();
    paged_ = false;
    byKey_ = TSqlStatement();
    blobs_.Close();
}
