#include "DatabaseStructure.h"

#include "TDatabase.h"

#include "TQuery.h"
#include "TSqlStatement.h"
#include "TTable.h"
#include "TZunPigger.h"

#include <QRegularExpression>

#include <exception>
#include <initializer_list>
#include <utility>

namespace {

using Columns = std::initializer_list<std::pair<const char*, const char*>>;
using Indexes = std::initializer_list<std::pair<const char*, const char*>>;

void AddTable(TZunPigger& root, const char* name, const char* primaryKey, Columns columns,
              Indexes indexes = {}) {
    auto* table = new TZunPigger(&root);
    table->SetName("table");
    table->SetAttribute("name", name);
    table->SetAttribute("primary_key", primaryKey);
    for (const auto& [columnName, type] : columns) {
        auto* field = new TZunPigger(table);
        field->SetName("FIELD");
        field->SetAttribute("name", columnName);
        field->SetAttribute("type", type);
    }
    for (const auto& [indexName, fields] : indexes) {
        auto* index = new TZunPigger(table);
        index->SetName("INDEX");
        index->SetAttribute("name", indexName);
        index->SetAttribute("fields", fields);
    }
}

QString Attribute(const TZunPigger& element, const char* name) {
    return QString::fromStdString(element.GetAttribute(name));
}

// Runs a statement; its errors are not reported.
void RunQuietly(TQuery& query, const QStringList& lines) {
    try {
        query.Close();
        query.SQL = lines;
        query.ExecSQL();
    } catch (const std::exception&) {
    }
}

// How the check reads a table's column names (false when the table is
// missing) and runs a statement, swallowing its errors.
struct CheckSteps {
    std::function<bool(const QString& tableName, QStringList* names)> ReadColumns;
    std::function<void(const QStringList& lines)> Run;
    EngineConnection::Dialect SqlDialect;
};

void CheckWith(const TZunPigger& root, const CheckSteps& steps,
               const std::function<void(int, int)>& progress) {
    const int count = root.ChildCount();
    for (int i = 0; i < count; ++i) {
        if (progress)
            progress(i + 1, count);
        const TZunPigger& element = *root.Child(i);
        if (element.Name() != "TABLE")
            continue;
        const QString tableName = Attribute(element, "name");
        QStringList existing;
        if (!steps.ReadColumns(tableName, &existing)) {
            steps.Run(DatabaseStructure::CreateTableLines(element, steps.SqlDialect));
        } else {
            for (int f = 0; f < element.ChildCount(); ++f) {
                const TZunPigger& field = *element.Child(f);
                if (field.Name() == "FIELD" &&
                    !existing.contains(Attribute(field, "name"), Qt::CaseInsensitive))
                    steps.Run(DatabaseStructure::AddFieldLines(tableName, field, steps.SqlDialect));
            }
        }
        // Once the columns are there; an index that exists stays as it is.
        for (int x = 0; x < element.ChildCount(); ++x) {
            const TZunPigger& index = *element.Child(x);
            if (index.Name() == "INDEX")
                steps.Run(DatabaseStructure::CreateIndexLines(tableName, index));
        }
    }
}

} // namespace

void DatabaseStructure::Build(TZunPigger& root) {
    root.Clear();
    root.SetName("database_structure");
    AddTable(root, "figures", "figure_id",
             {{"figure_id", "char(32)"},
              {"figure_name", "char(32)"},
              {"producer_id", "char(32)"},
              {"genre_id", "char(32)"},
              {"type_ci", "char(32)"},
              {"scale", "char(16)"},
              {"figure_dsc", "blob(1,1)"},
              {"figure_files", "blob(1,1)"},
              {"manual_sheme", "blob(1,1)"},
              {"picture_th", "blob(1,5)"},
              {"picture", "blob(1,5)"},
              {"sculpter_name", "char(32)"},
              {"painter_name", "char(32)"},
              {"prc_kit", "numeric(7,2)"},
              {"prc_pr", "numeric(7,2)"},
              {"prc_pe", "numeric(7,2)"}},
             // The list's order first, then every other column the list reads
             // with its rows; its memo and picture columns are read by key.
             {{FiguresListIndex, "figure_name, figure_id, producer_id, genre_id, type_ci, "
                                 "scale, sculpter_name, painter_name"}});
    AddTable(root, "add_pictures", "add_picture_id",
             {{"add_picture_id", "char(32)"},
              {"add_picture_name", "char(32)"},
              {"figure_id", "char(32)"},
              {"picture_th", "blob(1,5)"},
              {"picture", "blob(1,5)"}});
    AddTable(root, "producers", "producer_id",
             {{"producer_id", "char(32)"},
              {"producer_name", "char(32)"},
              {"producer_website", "char(64)"},
              {"producer_dsc", "blob(1,1)"},
              {"insert_time", "date"}});
    AddTable(root, "genres", "genre_id",
             {{"genre_id", "char(32)"},
              {"genre_name", "char(32)"},
              {"RX", "integer"},
              {"RY", "integer"},
              {"RH", "integer"},
              {"RW", "integer"},
              {"TB", "integer"},
              {"TE", "integer"},
              {"location_shape", "char(2)"}});
    AddTable(root, "scales", "scale_id", {{"scale_id", "char(32)"}, {"scale_name", "char(32)"}});
    AddTable(root, CollectionTable, "figure_id",
             {{"figure_id", "char(32)"},
              {"collection_status", "char(16)"},
              {"collection_quantity", "integer"},
              {"collection_acquired", "date"},
              {"collection_price", "numeric(7,2)"},
              {"collection_value", "numeric(7,2)"},
              {"collection_place", "char(64)"},
              {"collection_note", "char(128)"}});
}

QString DatabaseStructure::ColumnType(const QString& type, EngineConnection::Dialect dialect) {
    if (dialect == EngineConnection::Dialect::Sqlite)
        return type;
    static const QRegularExpression fixedText(QStringLiteral("^char(\\(\\d+\\))$"),
                                              QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch match = fixedText.match(type); match.hasMatch())
        return QStringLiteral("varchar") + match.captured(1);
    if (type.compare(QLatin1String("blob(1,1)"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("text");
    if (type.compare(QLatin1String("blob(1,5)"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("bytea");
    return type;
}

QStringList DatabaseStructure::CreateTableLines(const TZunPigger& table,
                                                EngineConnection::Dialect dialect) {
    QStringList lines{QStringLiteral("create table ") + Attribute(table, "name") +
                      QStringLiteral(" (")};
    for (int i = 0; i < table.ChildCount(); ++i) {
        const TZunPigger& field = *table.Child(i);
        if (field.Name() == "FIELD")
            lines << Attribute(field, "name") + QLatin1Char(' ') +
                         ColumnType(Attribute(field, "type"), dialect) + QLatin1Char(',');
    }
    lines << QStringLiteral("primary key (%1)").arg(Attribute(table, "primary_key"))
          << QStringLiteral(")");
    return lines;
}

QStringList DatabaseStructure::AddFieldLines(const QString& tableName, const TZunPigger& field,
                                             EngineConnection::Dialect dialect) {
    return {QStringLiteral("alter table ") + tableName,
            QStringLiteral("add ") + Attribute(field, "name") + QLatin1Char(' ') +
                ColumnType(Attribute(field, "type"), dialect)};
}

QStringList DatabaseStructure::CreateIndexLines(const QString& tableName, const TZunPigger& index) {
    return {QStringLiteral("create index if not exists ") + Attribute(index, "name"),
            QStringLiteral("on %1 (%2)").arg(tableName, Attribute(index, "fields"))};
}

void DatabaseStructure::CreateTable(TQuery& query, const TZunPigger& table) {
    RunQuietly(query, CreateTableLines(table));
}

void DatabaseStructure::AddField(TQuery& query, const QString& tableName, const TZunPigger& field) {
    RunQuietly(query, AddFieldLines(tableName, field));
}

void DatabaseStructure::CreateIndex(TQuery& query, const QString& tableName,
                                    const TZunPigger& index) {
    RunQuietly(query, CreateIndexLines(tableName, index));
}

void DatabaseStructure::Check(const TZunPigger& root, TTable& table, TQuery& query,
                              const std::function<void(int, int)>& progress) {
    CheckSteps steps;
    steps.ReadColumns = [&table](const QString& tableName, QStringList* names) {
        try {
            table.Close();
            table.TableName = tableName;
            *names = table.GetFieldNames();
        } catch (const std::exception&) {
            return false;
        }
        return true;
    };
    steps.Run = [&query](const QStringList& lines) { RunQuietly(query, lines); };
    steps.SqlDialect = EngineConnection::Dialect::Sqlite;
    try {
        if (EngineConnection* engine = TDatabase::Connected(query.DatabaseName).Handle())
            steps.SqlDialect = engine->SqlDialect();
    } catch (const std::exception&) {
        // Not connected: every step below fails quietly as well.
    }
    CheckWith(root, steps, progress);
}

void DatabaseStructure::Check(const TZunPigger& root, EngineConnection& db,
                              const std::function<void(int, int)>& progress) {
    CheckSteps steps;
    steps.ReadColumns = [&db](const QString& tableName, QStringList* names) {
        const TSqlStatement statement =
            TSqlStatement::TryPrepare(&db, QStringLiteral("select * from ") + tableName);
        if (!statement.IsValid())
            return false;
        for (int column = 0; column < statement.ColumnCount(); ++column)
            *names << statement.ColumnName(column);
        return true;
    };
    steps.Run = [&db](const QStringList& lines) {
        try {
            TSqlStatement(&db, lines.join(QLatin1Char('\n'))).Run();
        } catch (const std::exception&) {
        }
    };
    steps.SqlDialect = db.SqlDialect();
    CheckWith(root, steps, progress);
}
