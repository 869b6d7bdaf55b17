#pragma once

#include "EngineStatement.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <vector>

class PgSession;
class PgSqlText;
struct PgPrepared;
struct pg_result;

// A statement prepared on a PostgreSQL server, once for its text on a
// connection: a statement of the same text prepared later runs the same
// prepared one. Its parameters are sent as text, bytes as binary; its rows
// come one at a time as it steps through them, as binary when it has a
// bytea column and the server's binary forms of all its columns are known
// here, and as text otherwise. The types of its parameters and columns are
// asked of the server only when they are needed before it has run.
class PgStatement final : public EngineStatement {
public:
    // Prepares text into *statement; the EngineCode of the outcome.
    static int Prepare(const std::shared_ptr<PgSession>& session, const PgSqlText& text,
                       std::unique_ptr<EngineStatement>* statement);

    PgStatement(std::shared_ptr<PgSession> session, std::shared_ptr<PgPrepared> prepared,
                bool changesStructure);
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

    // Takes the rows still to come from the server, so that the
    // connection is free for another command.
    void TakeRest();

    // The program's declared form of a server type and its modifier:
    // varchar(n) and char(n) as "char(n)", text as the memo blob, bytea as
    // the picture blob.
    static QString DeclaredType(unsigned type, int modifier);

private:
    // How a bound value goes to the server: as text, or as it is where
    // the parameter's type takes it so.
    enum class Form { Text, Utf8, Bytes };
    struct Param {
        bool Null = true;
        QByteArray Owned;
        const char* Data = nullptr;
        int Size = 0;
        Form As = Form::Text;
    };
    int Bind(int param, QByteArrayView bytes, Keep keep, Form as);
    // Asks the server for the types of the parameters and columns.
    int Describe() const;
    void LearnColumns(const pg_result* result) const;
    int Run();
    int NextRow();
    pg_result* NextResult();
    // Forgets the current run and the rows still to come.
    void EndRun();
    // Decodes a column of the current row when its bytes are not the text
    // the program reads.
    QByteArrayView Converted(int column, QByteArrayView raw) const;

    std::shared_ptr<PgSession> session_;
    std::shared_ptr<PgPrepared> prepared_;
    bool changesStructure_ = false;
    std::vector<Param> params_;
    pg_result* result_ = nullptr;
    int row_ = -1;
    // A run has started and its end has not been stepped to.
    bool running_ = false;
    // Its results come from the connection; those taken early wait here.
    bool streaming_ = false;
    std::deque<pg_result*> taken_;
    mutable std::vector<QByteArray> converted_;
    mutable std::vector<bool> isConverted_;
};
