#pragma once

#include "EngineStatement.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class PgSession;
class PgSqlText;
struct pg_result;

// A statement prepared on a PostgreSQL server. Its parameters are sent as
// text, bytes as binary; its rows come all at once when it runs, as binary
// when it has a bytea column and the server's binary forms of all its
// columns are known here, and as text otherwise.
class PgStatement final : public EngineStatement {
public:
    // Prepares text into *statement; the EngineCode of the outcome.
    static int Prepare(const std::shared_ptr<PgSession>& session, const PgSqlText& text,
                       std::unique_ptr<EngineStatement>* statement);

    PgStatement(std::shared_ptr<PgSession> session, QByteArray name, QStringList paramNames);
    ~PgStatement() override;
    PgStatement(const PgStatement&) = delete;
    PgStatement& operator=(const PgStatement&) = delete;

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

    Kind ColumnKind(int column) const override;
    qint64 ColumnInt64(int column) const override;
    double ColumnDouble(int column) const override;
    bool ColumnIsNull(int column) const override;
    QByteArrayView ColumnData(int column) const override;

    // The program's declared form of a server type and its modifier:
    // varchar(n) and char(n) as "char(n)", text as the memo blob, bytea as
    // the picture blob.
    static QString DeclaredType(unsigned type, int modifier);

private:
    struct Column {
        QString Name;
        unsigned Type = 0;
        int Modifier = -1;
        unsigned Table = 0;
        int TableColumn = 0;
    };
    struct Param {
        bool Null = true;
        QByteArray Owned;
        const char* Data = nullptr;
        int Size = 0;
        int Format = 0;
    };
    int Bind(int param, QByteArrayView bytes, Keep keep, int format);
    // Decodes a column of the current row when its bytes are not the text
    // the program reads.
    QByteArrayView Converted(int column, QByteArrayView raw) const;

    std::shared_ptr<PgSession> session_;
    QByteArray name_;
    QStringList paramNames_;
    std::vector<unsigned> paramTypes_;
    std::vector<Column> columns_;
    std::vector<Param> params_;
    bool binary_ = false;
    pg_result* result_ = nullptr;
    int row_ = -1;
    mutable std::vector<QByteArray> converted_;
    mutable std::vector<bool> isConverted_;
};
