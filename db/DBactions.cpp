#include "DBactions.h"

#include "EDatabaseError.h"
#include "EngineConnection.h"
#include "TChangeWriter.h"
#include "TDatabase.h"
#include "TField.h"
#include "TQuery.h"
#include "TSqlStatement.h"
#include "TTable.h"

#include <QRandomGenerator>
#include <QUuid>

#include <algorithm>
#include <array>
#include <vector>

#include <exception>

namespace {

const QString DatabaseName = QStringLiteral("ADB");

QString ErrorText(const std::exception& error) {
    return QString::fromUtf8(error.what());
}

} // namespace

QString NewRecordKey() {
    QString key = QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
    key.remove(QLatin1Char('{'));
    key.remove(QLatin1Char('}'));
    key.remove(QLatin1Char('-'));
    return key;
}

QList<QByteArray> NewRecordKeys(qsizetype count) {
    // Random version-4 identifiers like QUuid::createUuid()'s, from one
    // generator seeded by the system's, written as NewRecordKey writes them.
    quint32 seed[8];
    QRandomGenerator::system()->fillRange(seed);
    QRandomGenerator64 random(seed);
    static constexpr char Hex[] = "0123456789ABCDEF";
    // 128 random bits as four words, written most significant digit first.
    std::vector<std::array<quint32, 4>> identifiers(static_cast<std::size_t>(count));
    for (auto& words : identifiers) {
        random.fillRange(words.data(), 4);
        words[1] = (words[1] & 0xFFFF0FFFu) | 0x00004000u; // version 4
        words[2] = (words[2] & 0x3FFFFFFFu) | 0x80000000u; // variant 10
    }
    // Upper-case hex digits sort as the numbers they stand for.
    std::sort(identifiers.begin(), identifiers.end());
    QList<QByteArray> keys;
    keys.reserve(count);
    for (const auto& words : identifiers) {
        QByteArray key(32, Qt::Uninitialized);
        for (int digit = 0; digit < 32; ++digit)
            key[digit] = Hex[(words[digit / 8] >> (28 - 4 * (digit % 8))) & 0x0F];
        keys.append(key);
    }
    return keys;
}

QString SqlLiteralText(const QString& value) {
    QString text = value;
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return text;
}

int StrToIntOrZero(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

void DataSetEdit(TQuery& dataSet) {
    try {
        if (dataSet.Active() && dataSet.State() == TDataSetState::Browse)
            dataSet.Edit();
    } catch (const std::exception&) {
    }
}

namespace {

bool Editing(const TQuery& dataSet) {
    return dataSet.Active() &&
           (dataSet.State() == TDataSetState::Edit || dataSet.State() == TDataSetState::Insert);
}

} // namespace

bool DataSetPost(TQuery& dataSet) {
    return DataSetPost(dataSet, nullptr);
}

bool DataSetPost(TQuery& dataSet, QString* error) {
    if (!Editing(dataSet))
        return false;
    try {
        dataSet.Post();
    } catch (const std::exception& failure) {
        if (error)
            *error = ErrorText(failure);
        return false;
    }
    // A write the engine aborted ends the post silently, still editing.
    if (Editing(dataSet)) {
        if (error)
            *error = TChangeWriter::AbortedMessage();
        return false;
    }
    return true;
}

bool DataSetCancel(TQuery& dataSet) {
    if (!Editing(dataSet))
        return false;
    try {
        dataSet.Cancel();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QString SqlQuotedName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void ExecOrRaise(EngineConnection* db, const QString& statement) {
    TSqlStatement(db, statement).Run();
}

namespace {

// Raises the engine's findings when a table's rows or keys are damaged.
void CheckRowsAndKeys(EngineConnection* db, const QString& tableName) {
    TSqlStatement check(db,
                        QStringLiteral("pragma integrity_check(%1)").arg(SqlQuotedName(tableName)));
    QStringList problems;
    while (check.Step()) {
        const QString line = check.ColumnValue(0).toString();
        if (line != QLatin1String("ok"))
            problems << line;
    }
    if (!problems.isEmpty())
        throw EDatabaseError(problems.join(QLatin1Char(' ')));
}

} // namespace

void PackTable(TTable& table) {
    if (!table.Active())
        throw EDatabaseError(QStringLiteral("Table must be opened to pack"));
    if (!table.OpenedExclusively())
        throw EDatabaseError(QStringLiteral("Table must be opened exclusively to pack"));
    if (table.TableType() != QLatin1String("SQLITE"))
        throw EDatabaseError(
            QStringLiteral("Table must be either of Paradox or dBASE type to pack"));
    EngineConnection* db = TDatabase::Connected(table.DatabaseName).Handle();
    // The exclusive lock keeps every other program out of the file until
    // the table is checked and its keys are rebuilt.
    ExecOrRaise(db, QStringLiteral("begin exclusive"));
    try {
        CheckRowsAndKeys(db, table.TableName);
        ExecOrRaise(db, QStringLiteral("reindex %1").arg(SqlQuotedName(table.TableName)));
        ExecOrRaise(db, QStringLiteral("commit"));
    } catch (...) {
        if (db->InTransaction())
            db->Exec("rollback");
        throw;
    }
}

void CompactDatabase(const QString& databaseName) {
    // The engine keeps every table in one file: compacting the file rewrites
    // the tables without the space of deleted rows.
    ExecOrRaise(TDatabase::Connected(databaseName).Handle(), QStringLiteral("vacuum"));
}
