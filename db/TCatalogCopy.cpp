#include "TCatalogCopy.h"

#include "DatabaseStructure.h"
#include "EngineCode.h"
#include "EngineConnection.h"
#include "TChangeWriter.h"
#include "TSqlStatement.h"
#include "TZunPigger.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace {

QString Attribute(const TZunPigger& element, const char* name) {
    return QString::fromStdString(element.GetAttribute(name));
}

// Calls visit with each table of the catalog's structure.
void ForEachTable(const std::function<void(const TZunPigger& table)>& visit) {
    TZunPigger root;
    DatabaseStructure::Build(root);
    for (int i = 0; i < root.ChildCount(); ++i) {
        if (root.Child(i)->Name() == "TABLE")
            visit(*root.Child(i));
    }
}

// A read transaction on the source that sees one committed state until it
// goes: a snapshot on the server, a shared lock on the file.
class ReadSnapshot {
public:
    explicit ReadSnapshot(EngineConnection& db) : db_(db) {
        const char* begin = db.SqlDialect() == EngineConnection::Dialect::PostgreSql
                                ? "begin isolation level repeatable read read only"
                                : "begin";
        if (db_.InTransaction())
            return;
        if (db_.Exec(begin) != EngineCode::Ok)
            TSqlStatement::RaiseEngineError(&db_, db_.ErrorCode());
        open_ = true;
    }
    ~ReadSnapshot() {
        if (open_)
            db_.Exec("rollback");
    }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    EngineConnection& db_;
    bool open_ = false;
};

// The source's value for a column of the target: a memo kept as bytes by
// the file's engine becomes text, which the server's text column takes.
QVariant ForColumn(const QVariant& value, const QString& type) {
    if (value.typeId() == QMetaType::QByteArray &&
        type.compare(QLatin1String("blob(1,5)"), Qt::CaseInsensitive) != 0)
        return QString::fromUtf8(value.toByteArray());
    return value;
}

void CopyTable(EngineConnection& source, EngineConnection& target, const TZunPigger& table) {
    const QString name = Attribute(table, "name");
    TSqlStatement(&target, QStringLiteral("delete from ") + name).Run();
    TSqlStatement select =
        TSqlStatement::TryPrepare(&source, QStringLiteral("select * from ") + name);
    if (!select.IsValid())
        return;
    // The source's columns the structure knows, by position in its rows.
    QStringList columns;
    QStringList types;
    QList<int> positions;
    for (int f = 0; f < table.ChildCount(); ++f) {
        const TZunPigger& field = *table.Child(f);
        if (field.Name() != "FIELD")
            continue;
        for (int column = 0; column < select.ColumnCount(); ++column) {
            if (select.ColumnName(column).compare(Attribute(field, "name"), Qt::CaseInsensitive) ==
                0) {
                columns << Attribute(field, "name");
                types << Attribute(field, "type");
                positions << column;
                break;
            }
        }
    }
    if (columns.isEmpty())
        return;
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    TSqlStatement insert(&target, QStringLiteral("insert into %1 (%2) values (%3)")
                                      .arg(name, columns.join(QStringLiteral(", ")),
                                           marks.join(QStringLiteral(", "))));
    while (select.Step()) {
        for (qsizetype i = 0; i < columns.size(); ++i)
            insert.Bind(static_cast<int>(i + 1),
                        ForColumn(select.ColumnValue(positions[i]), types[i]));
        insert.Run();
        insert.Reset();
    }
}

} // namespace

bool TCatalogCopy::HoldsRows(EngineConnection& db) {
    bool holds = false;
    ForEachTable([&](const TZunPigger& table) {
        if (holds)
            return;
        TSqlStatement probe = TSqlStatement::TryPrepare(
            &db, QStringLiteral("select 1 from %1 limit 1").arg(Attribute(table, "name")));
        holds = probe.IsValid() && probe.Step();
    });
    return holds;
}

void TCatalogCopy::ReplaceRows(EngineConnection& source, EngineConnection& target) {
    const bool server = target.SqlDialect() == EngineConnection::Dialect::PostgreSql;
    ForEachTable([&](const TZunPigger& table) {
        CopyTable(source, target, table);
        // Programs open on the server show the new rows once this commits.
        if (server)
            TChangeWriter::Announce(&target, Attribute(table, "name"), QVariant());
    });
}

void TCatalogCopy::Copy(EngineConnection& source, EngineConnection& target) {
    // Outside the transaction: a failed look at a missing table would end
    // it on the server.
    TZunPigger root;
    DatabaseStructure::Build(root);
    DatabaseStructure::Check(root, target, {});
    const ReadSnapshot snapshot(source);
    TSqlTransaction transaction(&target, TSqlTransaction::Lock::Immediate);
    ReplaceRows(source, target);
    transaction.Commit();
}
