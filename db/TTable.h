#pragma once

#include <QString>
#include <QStringList>

// A table of a named database, by name: its column names, and opening it,
// exclusively when asked, as packing needs.
class TTable {
public:
    explicit TTable(const QString& databaseName = QStringLiteral("ADB"));

    QString DatabaseName;
    QString TableName;
    // Set before Open: the table is to be opened for this program alone.
    bool Exclusive = false;

    // The table's column names in order; raises EDatabaseError when the table
    // does not exist or cannot be read.
    QStringList GetFieldNames() const;

    // Raises EDatabaseError when the table does not exist, or, when opening
    // exclusively, when another program holds a lock on the database.
    void Open();
    void Close();
    bool Active() const { return active_; }
    bool OpenedExclusively() const { return active_ && exclusive_; }

    // The engine's name for the type of the open table.
    QString TableType() const;

private:
    bool active_ = false;
    bool exclusive_ = false;
};
