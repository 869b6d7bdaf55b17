#pragma once

#include <QStringList>

#include <functional>

class TZunPigger;
class TQuery;
class TTable;

// The database's built-in structure description and the check that creates
// missing tables and appends missing columns. Nothing is ever dropped or
// retyped.
class DatabaseStructure {
public:
    // Replaces the content of root with the description: DATABASE_STRUCTURE
    // holding a TABLE (name, primary_key) per table and under each a FIELD
    // (name, type) per column, in creation order.
    static void Build(TZunPigger& root);

    // The statement that creates a table, line by line.
    static QStringList CreateTableLines(const TZunPigger& table);
    // The statement that appends a column to a table.
    static QStringList AddFieldLines(const QString& tableName, const TZunPigger& field);

    // Run those statements through query; their errors are swallowed.
    static void CreateTable(TQuery& query, const TZunPigger& table);
    static void AddField(TQuery& query, const QString& tableName, const TZunPigger& field);

    // Compares the description with the database reached through table and
    // query and creates what is missing; statement errors are swallowed.
    // progress(position, maximum) follows the elements under the root.
    static void Check(const TZunPigger& root, TTable& table, TQuery& query,
                      const std::function<void(int, int)>& progress);
};
