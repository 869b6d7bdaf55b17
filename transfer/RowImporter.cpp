#include "RowImporter.h"

#include "DatabaseStructure.h"
#include "EDatabaseError.h"
#include "EngineCode.h"
#include "EngineConnection.h"
#include "TDatabase.h"
#include "TQuery.h"
#include "TSqlStatement.h"
#include "TTable.h"
#include "TZunPigger.h"

RowImporter::RowImporter(const QString& databaseName) : databaseName_(databaseName) {}

RowImporter::~RowImporter() {
    Rollback();
}

bool RowImporter::Begin() {
    error_.clear();
    TZunPigger structure;
    DatabaseStructure::Build(structure);
    tables_.clear();
    for (int i = 0; i < structure.ChildCount(); ++i) {
        const TZunPigger& table = *structure.Child(i);
        if (table.Name() != "TABLE")
            continue;
        TableInfo info;
        info.name = QString::fromStdString(table.GetAttribute("name"));
        info.key = QString::fromStdString(table.GetAttribute("primary_key"));
        for (int f = 0; f < table.ChildCount(); ++f) {
            const TZunPigger& field = *table.Child(f);
            if (field.Name() == "FIELD") {
                const QString name = QString::fromStdString(field.GetAttribute("name"));
                info.columns.insert(name.toLower(), name);
            }
        }
        tables_.push_back(info);
    }
    try {
        TDatabase::Connected(databaseName_);
        TTable table(databaseName_);
        TQuery query(databaseName_);
        DatabaseStructure::Check(structure, table, query, {});
    } catch (const EDatabaseError& e) {
        return Fail(e.Message());
    }
    EngineConnection* db = TDatabase::Connected(databaseName_).Handle();
    if (db->Exec("BEGIN") != EngineCode::Ok)
        return Fail(QStringLiteral("cannot start a transaction: ") + db->ErrorMessage());
    inTransaction_ = true;
    return true;
}

const RowImporter::TableInfo* RowImporter::Table(const QString& table) const {
    for (const TableInfo& info : tables_)
        if (info.name.compare(table, Qt::CaseInsensitive) == 0)
            return &info;
    return nullptr;
}

RowImporter::TableSummary& RowImporter::SummaryOf(const QString& table) {
    const TableInfo* info = Table(table);
    const QString name = info ? info->name : table;
    for (TableSummary& summary : summary_)
        if (summary.table == name)
            return summary;
    summary_.push_back(TableSummary{name, 0, {}, {}, {}});
    return summary_.back();
}

TSqlStatement* RowImporter::Prepared(const QString& sql) {
    std::unique_ptr<TSqlStatement>& statement = statements_[sql];
    if (!statement) {
        try {
            statement =
                std::make_unique<TSqlStatement>(TDatabase::Connected(databaseName_).Handle(), sql);
        } catch (const EDatabaseError& e) {
            statements_.erase(sql);
            Fail(e.Message());
            return nullptr;
        }
    }
    return statement.get();
}

bool RowImporter::Fail(const QString& message) {
    if (error_.isEmpty())
        error_ = message;
    return false;
}

void RowImporter::Skip(const QString& table, const QString& rowLabel, const QString& reason) {
    SummaryOf(table).skipped << rowLabel + QStringLiteral(": ") + reason;
}

void RowImporter::Note(const QString& table, const QString& text) {
    SummaryOf(table).notes << text;
}

bool RowImporter::Add(const QString& table, const QVariantHash& row, const QString& rowLabel) {
    if (!inTransaction_ || Failed())
        return Fail(error_.isEmpty() ? QStringLiteral("no import under way") : error_);
    const TableInfo* info = Table(table);
    TableSummary& summary = SummaryOf(table);
    if (!info) {
        summary.skipped << rowLabel + QStringLiteral(": the catalog has no table ") + table;
        return false;
    }
    QStringList columns;
    QVariantList values;
    QVariant key;
    for (auto it = row.cbegin(); it != row.cend(); ++it) {
        const auto column = info->columns.constFind(it.key().toLower());
        if (column == info->columns.cend()) {
            if (!summary.unknownColumns.contains(it.key(), Qt::CaseInsensitive))
                summary.unknownColumns << it.key();
            continue;
        }
        if (*column == info->key)
            key = it.value();
        columns << *column;
        values << it.value();
    }
    const QString label = rowLabel.isEmpty() ? key.toString() : rowLabel;
    if (key.isNull() || key.toString().trimmed().isEmpty()) {
        summary.skipped << label + QStringLiteral(": no key");
        return false;
    }
    TSqlStatement* exists =
        Prepared(QStringLiteral("select 1 from %1 where %2=?").arg(info->name, info->key));
    if (!exists || Failed())
        return false;
    bool found = false;
    try {
        exists->Bind(1, key);
        found = exists->Step();
        exists->Reset();
    } catch (const EDatabaseError& e) {
        return Fail(e.Message());
    }
    if (found) {
        summary.skipped << label + QStringLiteral(": the key ") + key.toString() +
                               QStringLiteral(" is already in the catalog");
        return false;
    }
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    TSqlStatement* insert = Prepared(
        QStringLiteral("insert into %1 (%2) values (%3)")
            .arg(info->name, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    if (!insert || Failed())
        return false;
    try {
        for (int i = 0; i < values.size(); ++i)
            insert->Bind(i + 1, values[i]);
        insert->Run();
        insert->Reset();
    } catch (const EDatabaseError& e) {
        insert->Reset();
        return Fail(info->name + QStringLiteral(" ") + label + QStringLiteral(": ") + e.Message());
    }
    ++summary.added;
    return true;
}

bool RowImporter::Commit() {
    if (!inTransaction_)
        return Fail(QStringLiteral("no import under way"));
    if (Failed()) {
        Rollback();
        return false;
    }
    statements_.clear();
    EngineConnection* db = TDatabase::Connected(databaseName_).Handle();
    if (db->Exec("COMMIT") != EngineCode::Ok) {
        Fail(db->ErrorMessage());
        Rollback();
        return false;
    }
    inTransaction_ = false;
    return true;
}

void RowImporter::Rollback() {
    statements_.clear();
    if (!inTransaction_)
        return;
    inTransaction_ = false;
    if (TDatabase* database = TDatabase::Find(databaseName_); database && database->IsConnected())
        database->Handle()->Exec("ROLLBACK");
}

int RowImporter::Added() const {
    int added = 0;
    for (const TableSummary& summary : summary_)
        added += summary.added;
    return added;
}

QStringList RowImporter::SummaryLines() const {
    QStringList lines;
    for (const TableSummary& summary : summary_) {
        lines << QStringLiteral("%1: %2 added, %3 skipped")
                     .arg(summary.table)
                     .arg(summary.added)
                     .arg(summary.skipped.size());
        for (const QString& column : summary.unknownColumns)
            lines << QStringLiteral("  unknown column %1 left out").arg(column);
        for (const QString& note : summary.notes)
            lines << QStringLiteral("  ") + note;
        for (const QString& skipped : summary.skipped)
            lines << QStringLiteral("  skipped %1").arg(skipped);
    }
    return lines;
}
