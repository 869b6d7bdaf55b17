#pragma once

#include "EngineStatement.h"

struct sqlite3_stmt;

// A statement prepared by SQLite. Finalised on destruction; it needs
// nothing of its connection object, only the engine's own connection.
class SqliteStatement final : public EngineStatement {
public:
    explicit SqliteStatement(sqlite3_stmt* statement) : stmt_(statement) {}
    ~SqliteStatement() override;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    int ColumnCount() const override;
    QString ColumnName(int column) const override;
    QString ColumnDeclType(int column) const override;
    QString ColumnDatabaseName(int column) const override;
    QString ColumnTableName(int column) const override;
    QString ColumnOriginName(int column) const override;

    int ParamCount() const override;
    QString ParamName(int param) const override;

    int BindNull(int param) override;
    int BindInt64(int param, qint64 value) override;
    int BindDouble(int param, double value) override;
    int BindText(int param, const QString& text) override;
    int BindUtf8(int param, QByteArrayView utf8, Keep keep) override;
    int BindBlob(int param, QByteArrayView bytes, Keep keep) override;

    int Step() override;
    void Reset() override;
    void ClearBindings() override;

    bool ColumnIsNull(int column) const override;
    QByteArrayView ColumnData(int column) const override;
    Kind ColumnKind(int column) const override;
    double ColumnDouble(int column) const override;

private:
    sqlite3_stmt* stmt_;
};
