// Writing the live query's changes: the cache of pending changes, the
// statements with new and OLD_ values, failures, aborted updates and undo.

#include "EDatabaseError.h"
#include "QueryTestFixture.h"
#include "RawSqlite.h"
#include "TField.h"

namespace {

// fail_with(code): fails the statement with that engine result code.
void FailWith(sqlite3_context* context, int, sqlite3_value** arguments) {
    sqlite3_result_error(context, "stopped by the test", -1);
    sqlite3_result_error_code(context, sqlite3_value_int(arguments[0]));
}

class QueryUpdatesTest : public OnEveryEngine<QueryTestFixture> {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        AddFigure("K1", "Archer");
        AddFigure("K2", "Bowman");
        UseFiguresList(query_);
        query_.Open();
    }

    void Set(const char* field, const QString& value) {
        query_.FieldByName(field).SetAsString(value);
    }

    QString Figures() {
        return Column("select figure_id || ':' || figure_name from figures order by figure_id");
    }

    TQuery query_;
};

TEST_P(QueryUpdatesTest, PendingChangesAreWrittenInOrderWithNewAndOldValues) {
    query_.Edit();
    Set("figure_id", "K9");
    Set("figure_name", "Archer II");
    query_.Post();
    query_.Append();
    Set("figure_id", "K3");
    Set("figure_name", "Cuirassier");
    query_.Post();
    EXPECT_TRUE(query_.Locate("figure_id", "K9"));
    query_.Edit();
    Set("figure_name", "Archer III");
    query_.Post();
    EXPECT_TRUE(query_.Locate("figure_id", "K2"));
    query_.Delete();

    EXPECT_EQ(4, query_.PendingUpdateCount());
    EXPECT_EQ("K1:Archer,K2:Bowman", Figures()) << "nothing is written before applying";
    query_.ApplyUpdates();
    EXPECT_FALSE(query_.UpdatesPending());
    EXPECT_EQ("K3:Cuirassier,K9:Archer III", Figures());
    EXPECT_EQ("about Archer",
              Scalar("select figure_dsc from figures where figure_id = 'K9'").toString())
        << "blobs never read are written back as they were";
}

TEST_P(QueryUpdatesTest, WithoutTheCacheEveryPostAndDeleteIsWrittenAtOnce) {
    Exec("insert into producers (producer_id, producer_name) values ('P1', 'Old Guard')");
    TUpdateSQL statements{
        {"insert into producers (producer_id, producer_name, producer_website)",
         "values (:producer_id, :producer_name, coalesce(:unknown, 'none'))"},
        {"update producers set producer_name = :producer_name,",
         "  producer_website = :OLD_producer_name where producer_id = :OLD_producer_id"},
        {"delete from producers where producer_id = :OLD_producer_id"}};
    TQuery producers;
    producers.SQL = {"select producer_id, producer_name from producers"};
    producers.UpdateObject = &statements;
    producers.Open();

    producers.Edit();
    producers.FieldByName("producer_name").SetAsString("New Guard");
    producers.Post();
    EXPECT_EQ("New Guard|Old Guard",
              Scalar("select producer_name || '|' || producer_website from producers").toString());
    producers.Append();
    producers.FieldByName("producer_id").SetAsString("P2");
    producers.Post();
    EXPECT_EQ("none",
              Scalar("select producer_website from producers where producer_id = 'P2'").toString());
    producers.First();
    producers.Delete();
    EXPECT_EQ("P2", Column("select producer_id from producers"));
    EXPECT_FALSE(producers.UpdatesPending());
}

TEST_P(QueryUpdatesTest, AFailedWriteRollsBackRaisesAndKeepsTheCache) {
    Exec("create trigger no_zouaves before insert on figures when new.figure_name = 'Zouave' "
         "begin select raise(abort, 'no zouaves here'); end");
    query_.Edit();
    Set("figure_name", "Archer II");
    query_.Post();
    query_.Append();
    Set("figure_id", "K3");
    Set("figure_name", "Zouave");
    query_.Post();
    try {
        query_.ApplyUpdates();
        ADD_FAILURE() << "the trigger's error was swallowed";
    } catch (const EDatabaseError& error) {
        EXPECT_EQ("no zouaves here", error.Message());
        EXPECT_EQ(SQLITE_CONSTRAINT, error.EngineCode & 0xff);
    }
    EXPECT_EQ("K1:Archer,K2:Bowman", Figures()) << "the first change was rolled back";
    EXPECT_EQ(2, query_.PendingUpdateCount());

    Exec("drop trigger no_zouaves");
    query_.ApplyUpdates();
    EXPECT_EQ("K1:Archer II,K2:Bowman,K3:Zouave", Figures());
}

TEST_P(QueryUpdatesTest, AnUpdateTheEngineAbortsEndsSilently) {
    if (OnServer())
        GTEST_SKIP() << "the test drives the embedded engine itself";
    ASSERT_EQ(SQLITE_OK,
              sqlite3_create_function_v2(RawSqlite(database_), "fail_with", 1, SQLITE_UTF8, nullptr,
                                         FailWith, nullptr, nullptr, nullptr));
    for (int code : {SQLITE_ABORT, SQLITE_INTERRUPT}) {
        Exec(QStringLiteral("create temp trigger stop before update on figures "
                            "begin select fail_with(%1); end")
                 .arg(code));
        query_.CachedUpdates = true;
        query_.Append();
        Set("figure_id", "K3");
        query_.Post();
        query_.First();
        query_.Edit();
        Set("figure_name", "Archer II");
        query_.Post();
        EXPECT_NO_THROW(query_.ApplyUpdates()) << code;
        EXPECT_EQ(2, query_.PendingUpdateCount());
        EXPECT_EQ("K1:Archer,K2:Bowman", Figures());

        query_.CancelUpdates();
        query_.CachedUpdates = false;
        query_.Edit();
        Set("figure_name", "Archer III");
        EXPECT_NO_THROW(query_.Post()) << code;
        EXPECT_EQ(TDataSetState::Edit, query_.State()) << "the post did not happen";
        EXPECT_EQ("K1:Archer,K2:Bowman", Figures());
        query_.Cancel();
        Exec("drop trigger stop");
    }
}

TEST_P(QueryUpdatesTest, CancelUpdatesPutsTheRowsBackAsLastApplied) {
    query_.Edit();
    Set("figure_name", "Archer II");
    query_.Post();
    query_.ApplyUpdates();

    query_.Edit();
    Set("figure_name", "Archer III");
    query_.Post();
    query_.Next();
    const TQuery::TBookmark bowman = query_.GetBookmark();
    query_.Delete();
    query_.Append();
    Set("figure_id", "K3");
    query_.Post();
    query_.First();
    query_.Edit();
    Set("figure_name", "Archer IV");
    query_.Post();

    query_.CancelUpdates();
    EXPECT_FALSE(query_.UpdatesPending());
    ASSERT_EQ(2, query_.RecordCount());
    EXPECT_EQ("Archer II", query_.ValueAt(0, 1).toString());
    EXPECT_EQ("Bowman", query_.ValueAt(1, 1).toString());
    EXPECT_TRUE(query_.GotoBookmark(bowman)) << "a deleted row comes back with its bookmark";
    EXPECT_EQ("about Bowman", query_.FieldByName("figure_dsc").AsString());
    query_.Delete();
    EXPECT_FALSE(query_.BookmarkValid(bowman));
    query_.CancelUpdates();
    EXPECT_EQ("K1:Archer II,K2:Bowman", Figures());
}

} // namespace

VELMORA_ON_EVERY_ENGINE(QueryUpdatesTest);
