#include "TSelectStatement.h"

#include "EDatabaseError.h"
#include "TDatabase.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace {

[[noreturn]] void Raise(const QSqlQuery& query) {
    const QSqlError error = query.lastError();
    throw EDatabaseError(error.databaseText().isEmpty() ? error.text() : error.databaseText(),
                         error.nativeErrorCode().toInt());
}

} // namespace

QString TSelectStatement::Quoted(const QString& identifier) {
    QString quoted = identifier;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString TSelectStatement::Nested(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && (text.at(end - 1).isSpace() || text.at(end - 1) == QLatin1Char(';')))
        --end;
    return QStringLiteral("(\n") + text.left(end) + QStringLiteral("\n)");
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
                            const std::function<void(std::vector<QVariant>&&)>& onRow) {
    Close();
    connection_ = &connection;
    text_ = text;
    params_ = params;
    Describe(connection, keyField);

    std::vector<int> read; // the column each value read goes to
    QString readText = text_;
    const bool anyBlob =
        std::any_of(columns_.begin(), columns_.end(), [](const Column& c) { return c.blob; });
    if (anyBlob && uniqueNames_ && keyIndex_ >= 0 && !columns_[keyIndex_].blob) {
        QStringList plain;
        for (int i = 0; i < ColumnCount(); ++i) {
            if (!columns_[i].blob) {
                plain.push_back(Quoted(columns_[i].name));
                read.push_back(i);
            }
        }
        const QString wrapped = QStringLiteral("select %1 from %2")
                                    .arg(plain.join(QStringLiteral(", ")), Nested(text_));
        const TSqlStatement probe = TSqlStatement::TryPrepare(connection.Handle(), wrapped);
        if (probe.IsValid() && probe.ColumnCount() == static_cast<int>(read.size())) {
            readText = wrapped;
            for (Column& column : columns_)
                column.lazy = column.blob;
        } else {
            read.clear();
        }
    }
    if (read.empty()) {
        for (int i = 0; i < ColumnCount(); ++i)
            read.push_back(i);
    }
    blobs_.Open(ColumnCount());

    QSqlQuery query(connection.Connection());
    query.setForwardOnly(true);
    if (!query.prepare(readText))
        Raise(query);
    for (const QString& name : paramNames_) {
        if (!name.isEmpty())
            query.bindValue(QLatin1Char(':') + name, params_.value(name.toLower()));
    }
    if (!query.exec())
        Raise(query);

    std::vector<int> blobsRead;
    for (int i = 0; i < ColumnCount(); ++i) {
        if (columns_[i].blob && !columns_[i].lazy)
            blobsRead.push_back(i);
    }
    const int readCount = static_cast<int>(read.size());
    while (query.next()) {
        std::vector<QVariant> values(columns_.size());
        for (int i = 0; i < readCount; ++i)
            values[read[i]] = query.value(i);
        for (int field : blobsRead)
            values[field] = AsBlob(values[field]);
        onRow(std::move(values));
    }
    if (query.lastError().isValid())
        Raise(query);
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
    blobs_.Close();
}
