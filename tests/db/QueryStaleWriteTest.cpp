// Two clients of one catalog: a change to a row the other changed since it
// was read is refused and overwrites nothing, and a row nobody else changed
// is written whatever form its values come back in.

#include "QueryTestFixture.h"
#include "TChangeWriter.h"
#include "TField.h"

#include <QDate>

namespace {

class QueryStaleWrite : public OnEveryEngine<QueryTestFixture> {
protected:
    void SetUp() override {
        OnEveryEngine<QueryTestFixture>::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        AddFigure("K1", "Archer");
        other_.DriverName = database_.DriverName;
        other_.Params = database_.Params;
        other_.Server = database_.Server;
        other_.Open();
        for (TQuery* query : {&a_, &b_}) {
            UseFiguresList(*query);
            query->AfterPost = [](TQuery& q) { q.ApplyUpdates(); };
            query->AfterDelete = [](TQuery& q) { q.ApplyUpdates(); };
        }
        b_.DatabaseName = other_.DatabaseName();
        a_.Open();
        b_.Open();
    }

    void TearDown() override {
        a_.Close();
        b_.Close();
        other_.Close();
        OnEveryEngine<QueryTestFixture>::TearDown();
    }

    static void Save(TQuery& query, const char* column, const QString& value) {
        query.Edit();
        query.FieldByName(QString::fromLatin1(column)).SetAsString(value);
        query.Post();
    }

    TDatabase other_{QStringLiteral("OTHER")};
    TQuery a_;
    TQuery b_;
};

TEST_P(QueryStaleWrite, ASaveOrDeleteOfARowTheOtherClientChangedIsRefused) {
    if (!OnServer())
        GTEST_SKIP() << "a data folder has one program at a time: rows are compared on a server";
    Save(a_, "painter_name", QStringLiteral("Anna"));
    EXPECT_EQ(TChangeWriter::RowGoneMessage(),
              RaisedMessage([&] { Save(b_, "figure_name", QStringLiteral("Bowman")); }));
    b_.CancelUpdates();
    EXPECT_EQ(TChangeWriter::RowGoneMessage(), RaisedMessage([&] { b_.Delete(); }));
    b_.CancelUpdates();
    EXPECT_EQ("Archer|Anna", Column("select figure_name || '|' || painter_name from figures"));
}

// Each value is stored, read back by a list and saved in the form a control
// gives it; saving the row again, and deleting it, is never refused.
TEST_P(QueryStaleWrite, ARowNobodyElseChangedIsNeverRefused) {
    CreateTable("create table items (item_id char(32), label char(32), amount numeric(7,2), "
                "made date, pieces integer, note blob(1,1), primary key (item_id))");
    const struct {
        const char* column;
        QVariant stored;
        QVariant typed;
    } cases[] = {
        {"label", QStringLiteral("Archer  "), QStringLiteral("Archer  ")},
        {"label", QVariant(), QVariant()},
        {"amount", 12.5, QStringLiteral("12.50")},
        {"amount", 3, QStringLiteral("3")},
        {"made", QStringLiteral("2024-01-05"), QDate(2024, 1, 5)},
        {"pieces", 7, QStringLiteral("7")},
        {"pieces", QVariant(), QVariant()},
        {"note", QStringLiteral("long text"), QStringLiteral("long text")},
    };
    TQuery items;
    TUpdateSQL statements{
        {"insert into items (item_id) values (:item_id)"},
        {"update items set label = :label, amount = :amount, made = :made, pieces = :pieces,",
         "  note = :note where item_id = :OLD_item_id"},
        {"delete from items where item_id = :OLD_item_id"}};
    items.SQL = {"select item_id, label, amount, made, pieces, note from items"};
    items.KeyField = QStringLiteral("item_id");
    items.UpdateObject = &statements;
    items.CachedUpdates = true;
    items.AfterPost = [](TQuery& q) { q.ApplyUpdates(); };
    items.AfterDelete = [](TQuery& q) { q.ApplyUpdates(); };
    for (const auto& c : cases) {
        const QString column = QString::fromLatin1(c.column);
        SCOPED_TRACE(column.toStdString() + " " + c.stored.toString().toStdString());
        Exec("delete from items");
        Exec(QStringLiteral("insert into items (item_id, %1) values ('I1', ?)").arg(column),
             {c.stored});
        items.Open();
        // Saved as read, saved as typed, saved again, deleted.
        const QString raised = RaisedMessage([&] {
            items.Edit();
            items.Post();
            items.Edit();
            items.FieldByName(column).SetValue(c.typed);
            items.Post();
            items.Edit();
            items.Post();
            items.Delete();
        });
        EXPECT_EQ("(no error)", raised.toStdString());
        items.Close();
    }
}

VELMORA_ON_EVERY_ENGINE(QueryStaleWrite);

} // namespace
