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
#include <cstdint>
#include <cstring>
#include <numeric>
#include <utility>
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

namespace {

// Sorts numbers spread evenly over their range: placed by their first bits,
// about one to a place, few share one.
void SortSpreadEvenly(std::vector<std::pair<quint64, quint64>>& identifiers) {
    int placeBits = 0;
    while (placeBits < 16 && (std::size_t(1) << placeBits) < identifiers.size())
        ++placeBits;
    const std::size_t places = std::size_t(1) << placeBits;
    const auto place = [placeBits](const std::pair<quint64, quint64>& identifier) {
        return placeBits == 0 ? 0 : static_cast<std::size_t>(identifier.first >> (64 - placeBits));
    };
    std::vector<std::uint32_t> starts(places + 1);
    for (const auto& identifier : identifiers)
        ++starts[place(identifier) + 1];
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::vector<std::pair<quint64, quint64>> sorted(identifiers.size());
    std::vector<std::uint32_t> next(starts.begin(), starts.end() - 1);
    for (const auto& identifier : identifiers)
        sorted[next[place(identifier)]++] = identifier;
    for (std::size_t at = 0; at < places; ++at)
        std::sort(sorted.begin() + starts[at], sorted.begin() + starts[at + 1]);
    identifiers = std::move(sorted);
}

} // namespace

QList<QByteArray> NewRecordKeys(qsizetype count) {
    // Random version-4 identifiers like QUuid::createUuid()'s, from one
    // generator seeded by the system's, written as NewRecordKey writes them.
    quint32 seed[8];
    QRandomGenerator::system()->fillRange(seed);
    QRandomGenerator64 random(seed);
    // 128 random bits as two numbers, the more significant first.
    std::vector<quint64> bits(2 * static_cast<std::size_t>(count));
    random.fillRange(bits.data(), static_cast<qsizetype>(bits.size()));
    constexpr quint64 Version4 = 0x4000, VersionBits = 0xF000;
    constexpr quint64 Variant10 = 0x8000000000000000ull, VariantBits = 0xC000000000000000ull;
    std::vector<std::pair<quint64, quint64>> identifiers(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < identifiers.size(); ++i)
        identifiers[i] = {(bits[2 * i] & ~VersionBits) | Version4,
                          (bits[2 * i + 1] & ~VariantBits) | Variant10};
    // Upper-case hex digits sort as the numbers they stand for.
    SortSpreadEvenly(identifiers);
    // Each byte's two digits at once.
    static const auto Digits = [] {
        std::array<std::array<char, 2>, 256> digits{};
        constexpr char Hex[] = "0123456789ABCDEF";
        for (int byte = 0; byte < 256; ++byte)
            digits[byte] = {Hex[byte >> 4], Hex[byte & 0x0F]};
        return digits;
    }();
    QList<QByteArray> keys;
    keys.reserve(count);
    for (const auto& [high, low] : identifiers) {
        QByteArray key(32, Qt::Uninitialized);
        char* out = key.data();
        for (const quint64 half : {high, low})
            for (int shift = 56; shift >= 0; shift -= 8, out += 2)
                std::memcpy(out, Digits[(half >> shift) & 0xFF].data(), 2);
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
