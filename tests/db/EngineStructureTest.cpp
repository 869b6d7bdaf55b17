// The structure check straight on an engine connection, on every engine:
// the same tables and columns in each engine's types, read back in the
// program's declared forms.

#include "EngineTest.h"
#include "TZunPigger.h"

namespace {

class EngineStructure : public EngineTest {
protected:
    // "name type" for each column of every described table, or "name
    // missing"; names and types in lower case (the server folds names).
    QStringList Tables() {
        QStringList columns;
        for (int i = 0; i < structure_.ChildCount(); ++i) {
            const QString table = QString::fromStdString(structure_.Child(i)->GetAttribute("name"));
            const TSqlStatement statement =
                TSqlStatement::TryPrepare(&Db(), QStringLiteral("select * from ") + table);
            if (!statement.IsValid())
                columns << table + QStringLiteral(" missing");
            for (int c = 0; c < statement.ColumnCount(); ++c)
                columns << QStringLiteral("%1.%2 %3")
                               .arg(table, statement.ColumnName(c), statement.ColumnDeclType(c))
                               .toLower();
        }
        return columns;
    }

    QStringList Described() {
        QStringList columns;
        for (int i = 0; i < structure_.ChildCount(); ++i) {
            const TZunPigger& table = *structure_.Child(i);
            for (int f = 0; f < table.ChildCount(); ++f)
                if (table.Child(f)->Name() == "FIELD")
                    columns << QString::fromStdString(table.GetAttribute("name") + '.' +
                                                      table.Child(f)->GetAttribute("name") + ' ' +
                                                      table.Child(f)->GetAttribute("type"))
                                   .toLower();
        }
        return columns;
    }

    QString ListIndex() {
        return Column(Dialect() == EngineConnection::Dialect::Sqlite
                          ? QStringLiteral("select name from sqlite_master where type = 'index' "
                                           "and name = 'figures_list'")
                          : QStringLiteral("select indexname from pg_indexes where indexname = "
                                           "'figures_list' and schemaname = current_schema()"));
    }

    TZunPigger structure_;
};

TEST_P(EngineStructure, CreatesWhatIsMissingKeepsWhatIsThereAndASecondRunChangesNothing) {
    DatabaseStructure::Build(structure_);
    Exec(QStringLiteral("create table scales (scale_id %1, primary key (scale_id))")
             .arg(Type("char(32)")));
    Exec(QStringLiteral("insert into scales (scale_id) values ('S1')"));

    DatabaseStructure::Check(structure_, Db(), {});
    const QStringList made = Tables();
    EXPECT_EQ(Described(), made);
    EXPECT_EQ(QStringLiteral("figures_list"), ListIndex());
    EXPECT_EQ(QStringLiteral("S1"), Column(QStringLiteral("select scale_id from scales")));

    DatabaseStructure::Check(structure_, Db(), {});
    EXPECT_EQ(made, Tables());
    EXPECT_EQ(QStringLiteral("S1"), Column(QStringLiteral("select scale_id from scales")));
}

VELMORA_ON_EVERY_ENGINE(EngineStructure);

} // namespace
