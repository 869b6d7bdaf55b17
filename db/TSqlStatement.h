#pragma once

#include "EngineStatement.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class EngineConnection;

// One statement prepared on an engine connection, for what the toolkit's
// driver does not offer: result column names and declared types before
// running, parameters by name, and the engine's own result codes
// (EngineCode). Finalised on destruction.
class TSqlStatement {
public:
    TSqlStatement() = default;
    // Raises EDatabaseError with the engine's message when text does not
    // prepare. Only the first statement of text is prepared; Tail() tells
    // what follows it.
    TSqlStatement(EngineConnection* db, const QString& text);
    ~TSqlStatement();
    TSqlStatement(TSqlStatement&& other) noexcept;
    TSqlStatement& operator=(TSqlStatement&& other) noexcept;
    TSqlStatement(const TSqlStatement&) = delete;
    TSqlStatement& operator=(const TSqlStatement&) = delete;

    // The prepared statement, or an empty one when text does not prepare.
    static TSqlStatement TryPrepare(EngineConnection* db, const QString& text);

    // False for an empty statement (nothing but blanks or comments, or a
    // failed TryPrepare).
    bool IsValid() const { return stmt_ != nullptr; }
    // The text after the first statement.
    QString Tail() const { return tail_; }

    int ColumnCount() const;
    QString ColumnName(int column) const;
    // As the table declares it ("char(32)"); empty for expressions.
    QString ColumnDeclType(int column) const;
    // Where a result column comes from: the database ("main"), table and
    // column; empty for expressions.
    QString ColumnDatabaseName(int column) const;
    QString ColumnTableName(int column) const;
    QString ColumnOriginName(int column) const;

    int ParamCount() const;
    // The name of a 1-based parameter without its leading ':', '@' or '$';
    // empty for a positional one.
    QString ParamName(int param) const;
    void Bind(int param, const QVariant& value);
    // Text as UTF-8 bytes, or bytes as a blob. Bytes kept in place must
    // stay where they are until the statement is reset.
    void BindUtf8(int param, QByteArrayView utf8, bool keptInPlace = false);
    void BindBlob(int param, QByteArrayView bytes, bool keptInPlace = false);
    // Binds every parameter to valueOf(its name).
    void BindAll(const std::function<QVariant(const QString& name)>& valueOf);

    // Runs to the next row: true when a row is ready, false when done.
    // Raises EDatabaseError with the engine's message and code.
    bool Step();
    // Runs to the next row and returns the engine's result code.
    int StepCode();
    // Ready to run again, with no parameter bound.
    void Reset();
    // Raises EDatabaseError unless the statement runs to its end.
    void Run();

    // A column of the current row as bytes (text as UTF-8); a null
    // QByteArray variant for NULL.
    QVariant ColumnBytes(int column) const;
    // A column of the current row as the engine stores it: text as a
    // QString, bytes as a QByteArray, integers as qlonglong, reals as
    // double, NULL as a null QString variant.
    QVariant ColumnValue(int column) const;
    // The bytes of a column of the current row, valid until the next step
    // or reset (text as UTF-8, numbers as text); empty for NULL.
    QByteArrayView ColumnView(int column) const;
    // Every column of the current row, as ColumnValue reads them.
    QVariantList RowValues() const;

    // The connection's last error message.
    QString ErrorMessage() const;
    EngineConnection* Connection() const { return db_; }

    // Raises EDatabaseError with the connection's last error.
    [[noreturn]] static void RaiseEngineError(EngineConnection* db, int code);

private:
    EngineConnection* db_ = nullptr;
    std::unique_ptr<EngineStatement> stmt_;
    QString tail_;
};

// A transaction on an engine connection, rolled back unless committed.
// When none is open it is a transaction of its own; Immediate takes the
// write lock at once (waiting as the connection's busy timeout allows), so
// that what is read in it stays current until its writes. Inside a
// transaction already open it is a savepoint, so that it nests.
class TSqlTransaction {
public:
    enum class Lock { Deferred, Immediate };

    // Raises EDatabaseError with the engine's message when it cannot begin
    // (for instance while another program holds the database).
    TSqlTransaction(EngineConnection* db, Lock lock);
    ~TSqlTransaction();
    TSqlTransaction(const TSqlTransaction&) = delete;
    TSqlTransaction& operator=(const TSqlTransaction&) = delete;

    // Makes the work done in it permanent (or part of the enclosing
    // transaction). A failure rolls it back and raises EDatabaseError.
    void Commit();
    // Undoes the work done in it; nothing when it has ended already.
    void Rollback() noexcept;

private:
    int Exec(const QByteArray& sql);

    EngineConnection* db_;
    // Empty for a transaction of its own.
    QByteArray savepoint_;
    bool open_ = false;
};
