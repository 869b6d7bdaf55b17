#include "CsvImportLookup.h"

#include "DBactions.h"

#include <utility>

CsvImportLookup::CsvImportLookup(EngineConnection* db, const char* table, const char* keyColumn,
                                 const char* nameColumn, const QString& extraColumns,
                                 BindExtra bindExtra)
    : db_(db),
      insertText_(QStringLiteral("insert into %1 (%2, %3%4) values (?, ?%5)")
                      .arg(QLatin1String(table), QLatin1String(keyColumn),
                           QLatin1String(nameColumn), extraColumns,
                           QStringLiteral(", ?").repeated(extraColumns.count(QLatin1Char(','))))),
      bindExtra_(std::move(bindExtra)) {
    TSqlStatement select(
        db, QStringLiteral("select %1, %2 from %3")
                .arg(QLatin1String(keyColumn), QLatin1String(nameColumn), QLatin1String(table)));
    while (select.Step()) {
        const QString key = QString::fromUtf8(select.ColumnBytes(0).toByteArray());
        const QString name = QString::fromUtf8(select.ColumnBytes(1).toByteArray());
        keys_.insert(name.trimmed().toCaseFolded(), key);
    }
}

const QByteArray& CsvImportLookup::Key(const QByteArray& utf8Name) {
    static const QByteArray None;
    if (utf8Name.isEmpty())
        return None;
    const std::string_view bytes(utf8Name.constData(), static_cast<std::size_t>(utf8Name.size()));
    if (const auto seen = seen_.find(bytes); seen != seen_.end())
        return seen->second;
    const QString name = QString::fromUtf8(utf8Name);
    const QString folded = name.toCaseFolded();
    if (const auto found = keys_.constFind(folded); found != keys_.constEnd())
        return seen_.emplace(bytes, found->toUtf8()).first->second;
    if (!insert_.IsValid())
        insert_ = TSqlStatement(db_, insertText_);
    const QString key = NewRecordKey();
    insert_.Reset();
    insert_.Bind(1, key);
    insert_.Bind(2, name);
    if (bindExtra_)
        bindExtra_(insert_);
    insert_.Step();
    keys_.insert(folded, key);
    ++created_;
    return seen_.emplace(bytes, key.toUtf8()).first->second;
}
