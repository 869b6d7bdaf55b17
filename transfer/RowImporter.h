#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <map>
#include <memory>
#include <vector>

class TSqlStatement;
class TZunPigger;

// Brings rows into the catalog of a named connection, inside one
// transaction: Begin, Add every row, then Commit (all of them) or Rollback
// (none). A row is a table name and its values by column name; column names
// are matched to the built-in structure description ignoring case.
//
// A row whose key is already in the catalog (also one added earlier in the
// same run) is skipped and reported; a column the description does not know
// is reported once per table and its values left out; columns a row does
// not name stay empty. Begin first creates the tables and columns the
// catalog misses, as the structure check does.
class RowImporter {
public:
    struct TableSummary {
        QString table;
        int added = 0;
        // One line per skipped row: what the row is, a colon, the reason.
        QStringList skipped;
        QStringList unknownColumns;
        // What was brought in, but not quite as it came.
        QStringList notes;
    };

    explicit RowImporter(const QString& databaseName = QStringLiteral("ADB"));
    // Rolls back a transaction that was neither committed nor rolled back.
    ~RowImporter();
    RowImporter(const RowImporter&) = delete;
    RowImporter& operator=(const RowImporter&) = delete;

    // False, with Error(), when the catalog cannot be opened or the
    // transaction not started.
    bool Begin();
    // True when the row was added. False when it was skipped (reported in
    // the summary) or when writing it failed (Failed(), Error()); after a
    // failure every further row is refused and Commit rolls back.
    bool Add(const QString& table, const QVariantHash& row, const QString& rowLabel = {});
    // Reports a row the caller itself could not bring in.
    void Skip(const QString& table, const QString& rowLabel, const QString& reason);
    // Reports something about a row that was brought in all the same.
    void Note(const QString& table, const QString& text);
    // Writes every added row; on failure nothing is written and Error() tells
    // why.
    bool Commit();
    void Rollback();

    bool Failed() const { return !error_.isEmpty(); }
    QString Error() const { return error_; }
    int Added() const;
    // Tables in the order their first row came.
    const std::vector<TableSummary>& Summary() const { return summary_; }
    // The summary for a person: a line per table ("figures: 2 added, 1
    // skipped"), then its unknown columns, notes and skipped rows,
    // indented.
    QStringList SummaryLines() const;

private:
    struct TableInfo {
        QString name;
        QString key;
        // Column name in lower case -> the description's spelling.
        QHash<QString, QString> columns;
    };

    TableSummary& SummaryOf(const QString& table);
    const TableInfo* Table(const QString& table) const;
    // The statement of that text, prepared once; nullptr, with Error(),
    // when it does not prepare.
    TSqlStatement* Prepared(const QString& sql);
    bool Fail(const QString& message);

    QString databaseName_;
    std::vector<TableInfo> tables_;
    std::vector<TableSummary> summary_;
    std::map<QString, std::unique_ptr<TSqlStatement>> statements_;
    QString error_;
    bool inTransaction_ = false;
};
