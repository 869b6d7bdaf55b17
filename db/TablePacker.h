#pragma once

#include <QString>

#include <functional>

// Packs the catalog tables one by one, then compacts the database file once
// (a server catalog's tables are vacuumed and reindexed instead),
// telling what it does in history lines. Works on a named connection with
// nothing open on it, so the main window and velmora-tool share it.
class TablePacker {
public:
    using History = std::function<void(const QString& line)>;

    explicit TablePacker(const QString& databaseName = QStringLiteral("ADB"));

    // Free bytes of the file system holding a folder; negative when unknown.
    // The system's figure unless replaced.
    std::function<qint64(const QString& folder)> FreeSpace;

    // The heading, then per table its line and, when it fails, a failure
    // line; then the file is compacted. True when every table was packed
    // and the file compacted. Another program holding the database is
    // waited for only briefly. A catalog on a database server has each
    // table vacuumed and reindexed instead, and no file to compact.
    bool Pack(const History& history);

    // Opens the table exclusively and packs it; false after its failure
    // line.
    bool PackOneTable(const QString& tableName, const History& history);

    // Compacts the database file when the disk has room for it; false after
    // a line telling why not.
    bool Compact(const History& history);

private:
    QString databaseName_;
};
