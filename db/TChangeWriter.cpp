#include "TChangeWriter.h"

#include "EDatabaseError.h"
#include "EngineCode.h"
#include "EngineConnection.h"
#include "TSelectStatement.h"
#include "TSqlStatement.h"
#include "TUpdateSQL.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The last identifier of a quoted name ("main"."figures" is figures).
QString LastIdentifier(const QString& quoted) {
    if (!quoted.endsWith(QLatin1Char('"')))
        return quoted;
    qsizetype open = quoted.size() - 2;
    while (open >= 0) {
        if (quoted.at(open) == QLatin1Char('"')) {
            if (open > 0 && quoted.at(open - 1) == QLatin1Char('"')) {
                open -= 2;
                continue;
            }
            break;
        }
        --open;
    }
    QString name = quoted.mid(open + 1, quoted.size() - open - 2);
    name.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return name;
}

bool IsNumber(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

QString ComparedText(const QVariant& value) {
    QString text;
    if (value.typeId() == QMetaType::QByteArray)
        text = QString::fromUtf8(value.toByteArray());
    else if (value.typeId() == QMetaType::QDate)
        text = value.toDate().toString(Qt::ISODate);
    else if (value.typeId() == QMetaType::QDateTime)
        text = value.toDateTime().toString(Qt::ISODate);
    else
        text = value.toString();
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    text.truncate(end);
    return text;
}

} // namespace

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

void TChangeWriter::Announce(EngineConnection* handle, const QString& table, const QVariant& key) {
    if (handle->Notify(ChangesChannel(), Payload(table, key, Sender(handle))) != EngineCode::Ok)
        TSqlStatement::RaiseEngineError(handle, handle->ErrorCode());
}

void TChangeWriter::AnnounceStatement(EngineConnection* handle, const QString& sql) {
    static const QRegularExpression written(
        QStringLiteral("^\\s*(?:update|insert\\s+into|delete\\s+from)\\s+((?:\"[^\"]*\"|[\\w$]+)"
                       "(?:\\s*\\.\\s*(?:\"[^\"]*\"|[\\w$]+))*)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = written.match(sql);
    if (match.hasMatch())
        Announce(handle, LastIdentifier(match.captured(1).section(QLatin1Char('.'), -1).trimmed()),
                 QVariant());
}

QString TChangeWriter::ChangesChannel() {
    return QStringLiteral("velmora_changes");
}

QString TChangeWriter::Payload(const QString& table, const QVariant& key, const QString& sender) {
    QString text = ComparedText(key);
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return table.toLower() + QLatin1Char('\t') + text + QLatin1Char('\t') + sender;
}

QString TChangeWriter::Sender(const EngineConnection* handle) {
    return QStringLiteral("%1/%2")
        .arg(QCoreApplication::applicationPid())
        .arg(reinterpret_cast<quintptr>(handle), 0, 16);
}

QString TChangeWriter::TableOf(const QString& payload) {
    return payload.section(QLatin1Char('\t'), 0, 0);
}

QString TChangeWriter::SenderOf(const QString& payload) {
    return payload.section(QLatin1Char('\t'), 2);
}

bool TChangeWriter::SameValue(const QVariant& read, const QVariant& now) {
    // A value never read stands for whatever the table holds.
    if (!read.isValid())
        return true;
    const bool readNull = read.isNull();
    const bool nowNull = !now.isValid() || now.isNull();
    if (readNull || nowNull)
        return readNull == nowNull;
    if (read.typeId() == QMetaType::QByteArray && now.typeId() == QMetaType::QByteArray)
        return read.toByteArray() == now.toByteArray();
    const QString readText = ComparedText(read);
    const QString nowText = ComparedText(now);
    if (readText == nowText)
        return true;
    // A number may come back as text, or with other trailing zeros.
    bool readOk = false;
    bool nowOk = false;
    const double a = IsNumber(read) ? read.toDouble(&readOk) : readText.trimmed().toDouble(&readOk);
    const double b = IsNumber(now) ? now.toDouble(&nowOk) : nowText.trimmed().toDouble(&nowOk);
    return readOk && nowOk && std::abs(a - b) <= 1e-9 * std::max({1.0, std::abs(a), std::abs(b)});
}

QString TChangeWriter::KeyTable() const {
    const int key = select_.KeyIndex();
    if (key < 0)
        return {};
    return LastIdentifier(select_.Columns()[key].table);
}

QString TChangeWriter::CurrentRowSql(const QSet<int>& written, std::vector<int>* columns) const {
    const int key = select_.KeyIndex();
    if (key < 0)
        return {};
    const TSelectStatement::Column& keyColumn = select_.Columns()[key];
    if (keyColumn.table.isEmpty() || keyColumn.origin.isEmpty())
        return {};
    QStringList read;
    for (int i = 0; i < select_.ColumnCount(); ++i) {
        const TSelectStatement::Column& column = select_.Columns()[i];
        if (column.lazy || column.table != keyColumn.table || column.origin.isEmpty() ||
            !written.contains(i))
            continue;
        read << column.origin;
        columns->push_back(i);
    }
    // Nothing to compare: the row is read all the same, for its lock.
    if (read.isEmpty())
        read << keyColumn.origin;
    // The row stays as read until this transaction ends: on a server, other
    // clients' writes to it wait.
    const bool server = handle_->SqlDialect() == EngineConnection::Dialect::PostgreSql;
    return QStringLiteral("select %1 from %2 where %3 = :key%4")
        .arg(read.join(QStringLiteral(", ")), keyColumn.table, keyColumn.origin,
             server ? QStringLiteral(" for update") : QString());
}

void TChangeWriter::CheckUnchanged(const Change& change, TSqlStatement& current) {
    const int key = select_.KeyIndex();
    if (!current.IsValid() || key < 0 ||
        static_cast<int>(change.before.size()) != select_.ColumnCount() ||
        !change.before[key].isValid() || change.before[key].isNull())
        return;
    current.BindAll([&](const QString&) { return change.before[key]; });
    bool same = false;
    try {
        if (current.Step()) {
            same = true;
            for (size_t i = 0; i < compared_.size() && same; ++i) {
                const int column = compared_[i];
                const QVariant now = select_.Columns()[column].blob
                                         ? current.ColumnBytes(static_cast<int>(i))
                                         : current.ColumnValue(static_cast<int>(i));
                same = SameValue(change.before[column], now);
            }
        }
    } catch (...) {
        current.Reset();
        throw;
    }
    current.Reset();
    if (!same)
        throw EDatabaseError(RowGoneMessage());
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
    bool anyOld = false;
    for (const Change& change : changes) {
        statementFor(change.kind);
        anyOld = anyOld || change.kind != Kind::Insert;
    }
    compared_.clear();
    TSqlStatement current;
    // On a server other clients write the same rows; a data folder has one
    // program at a time, and a row it no longer finds is told below.
    if (anyOld && handle_->SqlDialect() == EngineConnection::Dialect::PostgreSql) {
        // The columns an update writes are those it must not overwrite
        // unseen; what the program never writes (a default the table
        // filled in, say) may differ from the row as the list holds it.
        QSet<int> written;
        if (!statements_.ModifySQL.isEmpty()) {
            const TSqlStatement& modify = statementFor(Kind::Modify);
            for (int param = 1; param <= modify.ParamCount(); ++param) {
                bool old = false;
                const int column = ColumnOf(modify.ParamName(param), &old);
                if (column >= 0 && !old)
                    written.insert(column);
            }
        }
        const QString sql = CurrentRowSql(written, &compared_);
        if (!sql.isEmpty())
            current = TSqlStatement(handle_, sql);
    }
    const QString table = KeyTable();
    const int key = select_.KeyIndex();

    // The write lock first: what is read for the changes below stays as
    // read until they are written.
    TSqlTransaction transaction(handle_, TSqlTransaction::Lock::Immediate);
    for (const Change& change : changes) {
        TSqlStatement& statement = statementFor(change.kind);
        std::vector<QVariant> blobs(select_.ColumnCount());
        if (change.kind != Kind::Insert) {
            CheckUnchanged(change, current);
            ReadCurrent(change, statement, blobs);
        }
        statement.BindAll([&](const QString& name) { return ParamValue(change, name, blobs); });
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
        if (!table.isEmpty() && key >= 0) {
            const QVariant& written =
                change.kind == Kind::Delete ? change.before[key] : change.after[key];
            Announce(handle_, table, written);
            if (change.kind == Kind::Modify && !SameValue(change.before[key], written))
                Announce(handle_, table, change.before[key]);
        }
    }
    transaction.Commit();
    return true;
}
