#include "TChangeWriter.h"

#include "EDatabaseError.h"
#include "EngineCode.h"
#include "EngineConnection.h"
#include "TSelectStatement.h"
#include "TSqlStatement.h"
#include "TUpdateSQL.h"

#include <array>

TChangeWriter::TChangeWriter(EngineConnection* handle, const TUpdateSQL& statements,
                             TSelectStatement& select)
    : handle_(handle), statements_(statements), select_(select) {}

int TChangeWriter::ColumnOf(const QString& name, bool* old) const {
    *old = false;
    if (name.startsWith(QLatin1String("OLD_"), Qt::CaseInsensitive)) {
        const int column = select_.ColumnIndex(name.mid(4));
        if (column >= 0) {
            *old = true;
            return column;
        }
    }
    return select_.ColumnIndex(name);
}

QVariant TChangeWriter::ParamValue(const Change& change, const QString& name,
                                   const std::vector<QVariant>& current) const {
    bool old = false;
    const int column = ColumnOf(name, &old);
    if (column < 0)
        return QVariant();
    const std::vector<QVariant>* values = nullptr;
    if (old)
        values = change.kind == Kind::Insert ? nullptr : &change.before;
    else
        values = change.kind == Kind::Delete ? &change.before : &change.after;
    if (!values)
        return QVariant();
    const QVariant& value = (*values)[column];
    if (!value.isValid() && select_.Columns()[column].lazy)
        return current[column];
    return value;
}

void TChangeWriter::ReadCurrent(const Change& change, const TSqlStatement& statement,
                                std::vector<QVariant>& current) const {
    const int key = select_.KeyIndex();
    for (int param = 1; param <= statement.ParamCount(); ++param) {
        bool old = false;
        const int column = ColumnOf(statement.ParamName(param), &old);
        if (column < 0 || !select_.Columns()[column].lazy || current[column].isValid())
            continue;
        const std::vector<QVariant>& values =
            old || change.kind == Kind::Delete ? change.before : change.after;
        if (values[column].isValid())
            continue;
        // The row is where the changes before this one left it: under the
        // key it had before this change.
        if (key < 0 || !select_.Blobs().Read(change.before[key], column, &current[column]))
            throw EDatabaseError(RowGoneMessage());
    }
}

QString TChangeWriter::RowGoneMessage() {
    return QStringLiteral("The record is no longer in the table as it was read: another program "
                          "has changed or deleted it.");
}

QString TChangeWriter::AbortedMessage() {
    return QStringLiteral("The database aborted the update; nothing was written.");
}

bool TChangeWriter::Write(const std::vector<Change>& changes) {
    std::array<TSqlStatement, 3> prepared;
    auto statementFor = [&](Kind kind) -> TSqlStatement& {
        TSqlStatement& statement = prepared[static_cast<size_t>(kind)];
        if (!statement.IsValid()) {
            const QStringList& lines = kind == Kind::Insert   ? statements_.InsertSQL
                                       : kind == Kind::Modify ? statements_.ModifySQL
                                                              : statements_.DeleteSQL;
            statement = TSqlStatement(handle_, lines.join(QLatin1Char('\n')));
            if (!statement.IsValid())
                throw EDatabaseError(QStringLiteral("No statement to write this kind of change"));
        }
        return statement;
    };
    for (const Change& change : changes)
        statementFor(change.kind);

    // The write lock first: what is read for the changes below stays as
    // read until they are written.
    TSqlTransaction transaction(handle_, TSqlTransaction::Lock::Immediate);
    for (const Change& change : changes) {
        TSqlStatement& statement = statementFor(change.kind);
        std::vector<QVariant> current(select_.ColumnCount());
        if (change.kind != Kind::Insert)
            ReadCurrent(change, statement, current);
        statement.BindAll([&](const QString& name) { return ParamValue(change, name, current); });
        const qint64 before = handle_->TotalChanges();
        int rc = statement.StepCode();
        while (rc == EngineCode::Row)
            rc = statement.StepCode();
        if (rc != EngineCode::Done) {
            const QString message = statement.ErrorMessage();
            const int code = handle_->ErrorCode();
            statement.Reset();
            transaction.Rollback();
            const int primary = EngineCode::Primary(code);
            if (primary == EngineCode::Abort || primary == EngineCode::Interrupt)
                return false;
            throw EDatabaseError(message, code);
        }
        statement.Reset();
        // An update or delete whose old key finds no row has not written
        // the change.
        if (change.kind != Kind::Insert && handle_->TotalChanges() == before)
            throw EDatabaseError(RowGoneMessage());
    }
    transaction.Commit();
    return true;
}
