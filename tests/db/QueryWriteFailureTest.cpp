// Writes that fail never look done: a change whose write after the post
// fails is back being edited and not kept for later, a change to a row
// another program removed is an error, and blob columns this program did
// not change are not written back from what it read earlier.

#include "DBactions.h"
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

QByteArray Picture(int seed, int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + seed * 13) % 251);
    return bytes;
}

class QueryWriteFailureTest : public OnEveryEngine<QueryTestFixture> {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        AddFigure("K1", "Archer", Picture(1, 300));
        AddFigure("K2", "Bowman", Picture(2, 300));
        UseFiguresList(query_);
        query_.Open();
    }

    // The query as a catalog list keeps it: every post and delete applied
    // at once.
    void ApplyAtOnce() {
        query_.AfterPost = [](TQuery& q) { q.ApplyUpdates(); };
        query_.AfterDelete = [](TQuery& q) { q.ApplyUpdates(); };
    }

    void Set(const char* field, const QString& value) {
        query_.FieldByName(field).SetAsString(value);
    }
    QString Name() { return query_.FieldByName("figure_name").AsString(); }
    QString Figures() {
        return Column("select figure_id || ':' || figure_name from figures order by figure_id");
    }

    TQuery query_;
};

TEST_P(QueryWriteFailureTest, APostWhoseWriteFailsIsBackBeingEditedAndNotKept) {
    ApplyAtOnce();
    Exec("create trigger refuse before update on figures "
         "begin select raise(abort, 'refused by a trigger'); end");
    query_.Edit();
    Set("figure_name", "Archer II");
    EXPECT_EQ("refused by a trigger", RaisedMessage([&] { query_.Post(); }));
    EXPECT_EQ(TDataSetState::Edit, query_.State());
    EXPECT_EQ("Archer II", Name()) << "the values the user gave";
    EXPECT_FALSE(query_.UpdatesPending()) << "nothing waits to be written later";
    EXPECT_EQ("K1:Archer,K2:Bowman", Figures());

    // Cancelling shows the row as the table has it; a later change of
    // another row writes that row only.
    query_.Cancel();
    EXPECT_EQ("Archer", Name());
    Exec("drop trigger refuse");
    query_.Next();
    query_.Edit();
    Set("figure_name", "Bowman II");
    query_.Post();
    EXPECT_EQ("K1:Archer,K2:Bowman II", Figures());

    // A new row whose insert fails stays being inserted.
    Exec("create trigger refuse before insert on figures "
         "begin select raise(abort, 'no new rows'); end");
    query_.Append();
    Set("figure_id", "K3");
    Set("figure_name", "Zouave");
    EXPECT_EQ("no new rows", RaisedMessage([&] { query_.Post(); }));
    EXPECT_EQ(TDataSetState::Insert, query_.State());
    EXPECT_EQ("Zouave", Name());
    EXPECT_EQ(3, query_.RecordCount());
    EXPECT_FALSE(query_.UpdatesPending());
    query_.Cancel();
    EXPECT_EQ(2, query_.RecordCount());
    EXPECT_EQ("K1:Archer,K2:Bowman II", Figures());
}

TEST_P(QueryWriteFailureTest, ADeleteWhoseWriteFailsKeepsTheRowAndIsNotKept) {
    ApplyAtOnce();
    Exec("create trigger refuse before delete on figures "
         "begin select raise(abort, 'kept by a trigger'); end");
    query_.Last();
    const TQuery::TBookmark bowman = query_.GetBookmark();
    EXPECT_EQ("kept by a trigger", RaisedMessage([&] { query_.Delete(); }));
    EXPECT_EQ(2, query_.RecordCount());
    EXPECT_EQ(bowman, query_.GetBookmark()) << "the row is current again";
    EXPECT_EQ("Bowman", Name());
    EXPECT_EQ(Picture(2, 300), query_.FieldByName("picture_th").AsBytes());
    EXPECT_FALSE(query_.UpdatesPending());

    Exec("drop trigger refuse");
    query_.First();
    query_.Edit();
    Set("figure_name", "Archer II");
    query_.Post();
    EXPECT_EQ("K1:Archer II,K2:Bowman", Figures()) << "the failed delete is not written later";

    // Without the cache the same, and what BeforeDelete wrote goes back
    // with it.
    query_.AfterPost = nullptr;
    query_.AfterDelete = nullptr;
    query_.CachedUpdates = false;
    CreateTable("create table deleted_log (id char(32))");
    query_.BeforeDelete = [](TQuery& q) {
        TQuery log;
        log.SQL = {"insert into deleted_log values (:id)"};
        log.SetParam("id", q.FieldByName("figure_id").AsString());
        log.ExecSQL();
    };
    Exec("create trigger refuse before delete on figures "
         "begin select raise(abort, 'kept by a trigger'); end");
    EXPECT_EQ("kept by a trigger", RaisedMessage([&] { query_.Delete(); }));
    EXPECT_EQ(2, query_.RecordCount());
    EXPECT_EQ("", Column("select id from deleted_log")) << "all or nothing";
    Exec("drop trigger refuse");
    query_.Delete();
    EXPECT_EQ("K1", Column("select id from deleted_log"));
    EXPECT_EQ("K2:Bowman", Figures());
}

TEST_P(QueryWriteFailureTest, AnAbortedPostIsAFailedDataSetPost) {
    if (OnServer())
        GTEST_SKIP() << "the test drives the embedded engine itself";
    ASSERT_EQ(SQLITE_OK,
              sqlite3_create_function_v2(RawSqlite(database_), "fail_with", 1, SQLITE_UTF8, nullptr,
                                         FailWith, nullptr, nullptr, nullptr));
    Exec(QStringLiteral("create temp trigger stop before update on figures "
                        "begin select fail_with(%1); end")
             .arg(SQLITE_ABORT));
    // Without the cache: the post does not happen, and DataSetPost says so.
    query_.CachedUpdates = false;
    query_.Edit();
    Set("figure_name", "Archer II");
    EXPECT_FALSE(DataSetPost(query_));
    EXPECT_EQ(TDataSetState::Edit, query_.State());
    EXPECT_EQ("Archer II", Name());
    query_.Cancel();
    EXPECT_EQ("K1:Archer,K2:Bowman", Figures());
}

TEST_P(QueryWriteFailureTest, AChangeOrDeleteOfARowAnotherProgramRemovedIsAnError) {
    // Another program deletes the first figure and gives the second
    // another key.
    Exec("delete from figures where figure_id = 'K1'");
    Exec("update figures set figure_id = 'K2X' where figure_id = 'K2'");
    query_.Edit();
    Set("figure_name", "Archer II");
    query_.Post();
    const QString gone = RaisedMessage([&] { query_.ApplyUpdates(); });
    EXPECT_TRUE(gone.contains("another program")) << gone.toStdString();
    EXPECT_EQ(1, query_.PendingUpdateCount());
    query_.CancelUpdates();

    query_.Last();
    query_.Delete();
    EXPECT_EQ(gone, RaisedMessage([&] { query_.ApplyUpdates(); }));
    query_.CancelUpdates();
    EXPECT_EQ(2, query_.RecordCount());

    // A statement naming no blob column, at once: the same.
    query_.Close();
    TUpdateSQL plain{
        {},
        {"update figures set figure_name = :figure_name", "where figure_id = :OLD_figure_id"},
        {"delete from figures where figure_id = :OLD_figure_id"}};
    query_.UpdateObject = &plain;
    query_.CachedUpdates = false;
    query_.Open();
    Exec("delete from figures");
    query_.Edit();
    Set("figure_name", "Voltigeur");
    EXPECT_EQ(gone, RaisedMessage([&] { query_.Post(); }));
    EXPECT_EQ(TDataSetState::Edit, query_.State());
    query_.Cancel();
    EXPECT_EQ(gone, RaisedMessage([&] { query_.Delete(); }));
    EXPECT_EQ(1, query_.RecordCount());
}

TEST_P(QueryWriteFailureTest, BlobsThisProgramDidNotChangeKeepWhatAnotherProgramWrote) {
    const int thumbnail = query_.FieldIndex("picture_th");
    // The list has shown the first row's thumbnail and description.
    EXPECT_EQ(Picture(1, 300), query_.ValueAt(0, thumbnail).toByteArray());
    EXPECT_EQ("about Archer", query_.FieldByName("figure_dsc").AsString());
    // Another program (or velmora-tool) changes them.
    Exec("update figures set picture_th = ?, figure_dsc = 'by the tool' where figure_id = 'K1'",
         {Picture(77, 9)});
    query_.Edit();
    Set("figure_name", "Archer II");
    query_.Post();
    query_.ApplyUpdates();
    EXPECT_EQ(Picture(77, 9),
              Scalar("select picture_th from figures where figure_id = 'K1'").toByteArray());
    EXPECT_EQ("by the tool",
              Scalar("select figure_dsc from figures where figure_id = 'K1'").toString());

    // A thumbnail this program wrote before is not written again by a
    // later change of another column.
    query_.Edit();
    query_.FieldByName("picture_th").SetAsBytes(Picture(88, 7));
    query_.Post();
    query_.ApplyUpdates();
    EXPECT_EQ(Picture(88, 7),
              Scalar("select picture_th from figures where figure_id = 'K1'").toByteArray());
    Exec("update figures set picture_th = ? where figure_id = 'K1'", {Picture(99, 5)});
    query_.Edit();
    Set("figure_name", "Archer III");
    query_.Post();
    query_.ApplyUpdates();
    EXPECT_EQ(Picture(99, 5),
              Scalar("select picture_th from figures where figure_id = 'K1'").toByteArray());
    EXPECT_EQ(Picture(99, 5), query_.FieldByName("picture_th").AsBytes())
        << "and the list shows the table's thumbnail";
    EXPECT_EQ("K1:Archer III,K2:Bowman", Figures());
}

TEST_P(QueryWriteFailureTest, ARowThatNoLongerMeetsTheListsConditionKeepsItsBlobs) {
    // The figures of one manufacturer, as the main window's filter lists
    // them; the user gives the first another manufacturer and keeps
    // editing it.
    Exec("update figures set producer_id = 'P1'");
    query_.Close();
    query_.SQL = {"select f.figure_id, f.figure_name, f.producer_id, f.figure_dsc,",
                  "  f.figure_files, f.picture_th from figures f",
                  "where f.producer_id = 'P1' order by f.figure_name"};
    TUpdateSQL statements{{},
                          {"update figures set figure_name = :figure_name,",
                           "  producer_id = :producer_id, figure_dsc = :figure_dsc,",
                           "  figure_files = :figure_files, picture_th = :picture_th",
                           "where figure_id = :OLD_figure_id"},
                          {}};
    query_.UpdateObject = &statements;
    query_.CachedUpdates = false;
    query_.Open();
    query_.Edit();
    Set("producer_id", "P2");
    query_.Post();
    EXPECT_EQ("about Archer", query_.FieldByName("figure_dsc").AsString())
        << "the row is still shown with its description";
    EXPECT_EQ(Picture(1, 300), query_.FieldByName("picture_th").AsBytes());

    query_.Edit();
    Set("figure_name", "Archer II");
    query_.Post();
    EXPECT_EQ("about Archer",
              Scalar("select figure_dsc from figures where figure_id = 'K1'").toString());
    EXPECT_EQ(Picture(1, 300),
              Scalar("select picture_th from figures where figure_id = 'K1'").toByteArray());
    EXPECT_EQ("K1:Archer II,K2:Bowman", Figures());
}

} // namespace

VELMORA_ON_EVERY_ENGINE(QueryWriteFailureTest);
