#pragma once

#include "TBlobFetcher.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

class TDatabase;

// The select of a live query as it was opened: its result columns and
// reading its rows.
//
// Blob columns (declared type containing "blob") are left in the table when
// the key column is among the plain result columns: the rows are read
// through a select of the plain columns only, which the engine merges into
// the statement, so no blob is read; such a column is lazy, and its
// TBlobFetcher reads a row's blob by the row's key when it is asked for.
// Otherwise every column is read with the rows.
class TSelectStatement {
public:
    TSelectStatement() = default;
    TSelectStatement(const TSelectStatement&) = delete;
    TSelectStatement& operator=(const TSelectStatement&) = delete;

    struct Column {
        QString name;
        // As the table declares it ("char(32)"); empty for expressions.
        QString type;
        bool blob = false;
        // Not read with the rows but fetched by key.
        bool lazy = false;
        // The table column it comes from, quoted ("main"."figures" and
        // "figure_id"); empty for expressions.
        QString table;
        QString origin;
    };

    // Whole: every row is read with its plain columns. Keys: when the
    // blob columns can be left in the table, only the key of every row is
    // read, and a row's plain columns are read by its key (ReadRow) when
    // they are asked for; otherwise as Whole.
    enum class Reading { Whole, Keys };
    // One row: its values (one per column; none when only its key was
    // read) and its key (invalid without a key column).
    using RowSink = std::function<void(std::vector<QVariant>&& values, QVariant&& key)>;

    // Prepares text with its named parameters and reads every row, handing
    // onRow one value per column: the engine's values, blob columns as
    // bytes, and an invalid QVariant for a lazy column. Raises
    // EDatabaseError with the engine's message.
    void Open(TDatabase& connection, const QString& text, const QHash<QString, QVariant>& params,
              const QString& keyField, Reading reading, const RowSink& onRow);
    // Drops the columns and the prepared statements.
    void Close();

    const std::vector<Column>& Columns() const { return columns_; }
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    // Index of a column by name, ignoring letter case; -1 when absent.
    int ColumnIndex(const QString& name) const { return index_.value(name.toLower(), -1); }
    int KeyIndex() const { return keyIndex_; }

    // Whether only the rows' keys were read.
    bool Paged() const { return paged_; }
    // The values of the row the statement yields under key, as Open gives
    // them; false, and *values untouched, when it yields none. Raises
    // EDatabaseError with the engine's message.
    bool ReadRow(const QVariant& key, std::vector<QVariant>* values);
    // The parameter through which a row is read by its key.
    static QString KeyParam();

    // Where the lazy blob columns are read from.
    TBlobFetcher& Blobs() { return blobs_; }

    // The statement, its parameters and its database as opened; no
    // database when closed.
    const QString& Text() const { return text_; }
    const QHash<QString, QVariant>& Params() const { return params_; }
    TDatabase* Connection() const { return connection_; }

    // A value as a blob column holds it: bytes (text as UTF-8), or a null
    // QByteArray variant.
    static QVariant AsBlob(const QVariant& value);
    // An identifier in double quotes.
    static QString Quoted(const QString& identifier);
    // The statement without trailing blanks and semicolons, in parentheses
    // to be nested. It goes on lines of its own, so that a closing comment
    // ends there.
    static QString Nested(const QString& text);

private:
    void Describe(TDatabase& connection, const QString& keyField);
    void BindParams(TSqlStatement& statement) const;

    TDatabase* connection_ = nullptr;
    QString text_;
    QHash<QString, QVariant> params_;
    std::vector<Column> columns_;
    QHash<QString, int> index_;
    QStringList paramNames_;
    bool uniqueNames_ = true;
    int keyIndex_ = -1;
    // The select of the plain columns, when the blob columns stay in the
    // table, and the column each of its values goes to.
    QString plainText_;
    std::vector<int> plainColumns_;
    bool paged_ = false;
    TSqlStatement byKey_;
    TBlobFetcher blobs_{*this};
};
