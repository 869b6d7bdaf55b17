#include "TChangeWriter.h"

#include "EDatabaseError.h"
#include "TSelectStatement.h"
#include "TSqlStatement.h"
#include "TUpdateSQL.h"

#include <sqlite3.h>

#include <array>

TChangeWriter::TChangeWriter(sqlite3* handle, const TUpdateSQL& statements,
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
                                   const std::vector<QVariant>& unread) const {
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
        return unread[column];
    return value;
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

    // Unread blobs the statements name, fetched before anything is written.
    std::vector<std::vector<QVariant>> unread(changes.size());
    for (size_t i = 0; i < changes.size(); ++i) {
        const Change& change = changes[i];
        TSqlStatement& statement = statementFor(change.kind);
        unread[i].resize(select_.ColumnCount());
        if (change.kind == Kind::Insert)
            continue;
        for (int param = 1; param <= statement.ParamCount(); ++param) {
            bool old = false;
            const int column = ColumnOf(statement.ParamName(param), &old);
            if (column < 0 || !select_.Columns()[column].lazy || unread[i][column].isValid())
                continue;
            const bool needed = !change.before[column].isValid() ||
                                (change.kind == Kind::Modify && !change.after[column].isValid());
            if (needed)
                unread[i][column] = select_.FetchBlob(change.rowId, change.tableKey, column);
        }
    }

    auto exec = [&](const char* sql) {
        return sqlite3_exec(handle_, sql, nullptr, nullptr, nullptr);
    };
    auto rollback = [&] {
        // Some failures end the whole transaction on their own.
        if (!sqlite3_get_autocommit(handle_)) {
            exec("ROLLBACK TO velmora_apply");
            exec("RELEASE velmora_apply");
        }
    };
    // A savepoint, so that it also nests in a transaction already open.
    if (exec("SAVEPOINT velmora_apply") != SQLITE_OK)
        TSqlStatement::RaiseEngineError(handle_, sqlite3_extended_errcode(handle_));
    for (size_t i = 0; i < changes.size(); ++i) {
        const Change& change = changes[i];
        TSqlStatement& statement = statementFor(change.kind);
        int rc = SQLITE_OK;
        try {
            statement.BindAll(
                [&](const QString& name) { return ParamValue(change, name, unread[i]); });
        } catch (...) {
            rollback();
            throw;
        }
        rc = statement.StepCode();
        while (rc == SQLITE_ROW)
            rc = statement.StepCode();
        if (rc != SQLITE_DONE) {
            const QString message = statement.ErrorMessage();
            const int code = sqlite3_extended_errcode(handle_);
            statement.Reset();
            rollback();
            const int primary = code & 0xff;
            if (primary == SQLITE_ABORT || primary == SQLITE_INTERRUPT)
                return false;
            throw EDatabaseError(message, code);
        }
        statement.Reset();
    }
    if (exec("RELEASE velmora_apply") != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(handle_));
        const int code = sqlite3_extended_errcode(handle_);
        rollback();
        throw EDatabaseError(message, code);
    }
    return true;
}
