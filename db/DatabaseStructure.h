#pragma once

#include "EngineConnection.h"

#include <QStringList>

#include <functional>

class TZunPigger;
class TQuery;
class TTable;

// The database's built-in structure description and the check that creates
// missing tables, appends missing columns and creates missing indexes.
// Nothing is ever dropped or retyped.
class DatabaseStructure {
public:
    // Replaces the content of root with the description: DATABASE_STRUCTURE
    // holding a TABLE (name, primary_key) per table and under each a FIELD
    // (name, type) per column, in creation order, then an INDEX (name,
    // fields) per index.
    static void Build(TZunPigger& root);

    // The figures list's index: its columns hold everything the list reads
    // with its rows, in the list's order, so that opening the list never
    // touches the table's rows and the pictures stored in them.
    static constexpr const char* FiguresListIndex = "figures_list";

    // A column type of the description in the SQL of an engine: as written
    // for SQLite; for PostgreSQL char(n) is varchar(n), the memo blob text
    // and the picture blob bytea.
    static QString ColumnType(const QString& type, EngineConnection::Dialect dialect);

    // The collection data of the figures, one row per figure under its key.
    static constexpr const char* CollectionTable = "figure_collection";

    // The statement that creates a table, line by line.
    static QStringList
    CreateTableLines(const TZunPigger& table,
                     EngineConnection::Dialect dialect = EngineConnection::Dialect::Sqlite);
    // The statement that appends a column to a table.
    static QStringList
    AddFieldLines(const QString& tableName, const TZunPigger& field,
                  EngineConnection::Dialect dialect = EngineConnection::Dialect::Sqlite);
    // The statement that creates an index unless one of that name exists.
    static QStringList CreateIndexLines(const QString& tableName, const TZunPigger& index);

    // Run those statements through query; their errors are swallowed.
    static void CreateTable(TQuery& query, const TZunPigger& table);
    static void AddField(TQuery& query, const QString& tableName, const TZunPigger& field);
    static void CreateIndex(TQuery& query, const QString& tableName, const TZunPigger& index);

    // Compares the description with the database reached through table and
    // query and creates what is missing; statement errors are swallowed.
    // progress(position, maximum) follows the elements under the root.
    static void Check(const TZunPigger& root, TTable& table, TQuery& query,
                      const std::function<void(int, int)>& progress);
    // The same check straight on an engine connection, in its dialect.
    static void Check(const TZunPigger& root, EngineConnection& db,
                      const std::function<void(int, int)>& progress);
};
