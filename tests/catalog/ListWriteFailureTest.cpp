// The lists write every post and delete at once; a write that fails is an
// error of the post or delete, the row stays as the user had it, and no
// change waits to be written (or dropped) later.

#include "CatalogTestFixture.h"
#include "DBactions.h"
#include "EDatabaseError.h"
#include "RawSqlite.h"
#include "TO_Figures.h"
#include "TO_genres.h"

namespace {

// fail_with(code): fails the statement with that engine result code.
void FailWith(sqlite3_context* context, int, sqlite3_value** arguments) {
    sqlite3_result_error(context, "stopped by the test", -1);
    sqlite3_result_error_code(context, sqlite3_value_int(arguments[0]));
}

// Another program writing to the database: its own connection holding the
// write lock until it goes.
class OtherProgramWriting {
public:
    explicit OtherProgramWriting(const QString& file) {
        EXPECT_EQ(SQLITE_OK,
                  sqlite3_open_v2(file.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr));
        EXPECT_EQ(SQLITE_OK, sqlite3_exec(db_, "begin immediate", nullptr, nullptr, nullptr));
    }
    ~OtherProgramWriting() {
        sqlite3_exec(db_, "rollback", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
    }
    OtherProgramWriting(const OtherProgramWriting&) = delete;
    OtherProgramWriting& operator=(const OtherProgramWriting&) = delete;

private:
    sqlite3* db_ = nullptr;
};

class ListWriteFailureTest : public OnEveryEngine<CatalogTestFixture> {
protected:
    void SetUp() override {
        CatalogTestFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        AddGenre("G1", "Napoleonic");
        AddGenre("G2", "Medieval");
        Open(genres_, "genre_id", "genre_name");
    }

    QString StoredGenres() {
        return Column("select genre_id || ':' || genre_name from genres order by genre_id");
    }
    void Rename(const QString& name) {
        genres_.Q1.Edit();
        genres_.Q1.FieldByName("genre_name").SetAsString(name);
    }

    TO_genres genres_;
};

TEST_P(ListWriteFailureTest, APostATriggerRefusesIsAnErrorAndTheRowStaysBeingEdited) {
    Exec("create trigger refuse before update on genres "
         "begin select raise(abort, 'refused by a trigger'); end");
    ASSERT_TRUE(genres_.LocateKey("G1"));
    Rename("Napoleonic wars");
    EXPECT_EQ("refused by a trigger", RaisedMessage([&] { genres_.Q1.Post(); }));
    EXPECT_EQ(TDataSetState::Edit, genres_.Q1.State());
    EXPECT_EQ("Napoleonic wars", genres_.NameValue());
    EXPECT_FALSE(genres_.Q1.UpdatesPending());
    EXPECT_EQ("G1:Napoleonic,G2:Medieval", StoredGenres());

    genres_.Q1.Cancel();
    EXPECT_EQ("Napoleonic", genres_.NameValue());
    Exec("drop trigger refuse");
    ASSERT_TRUE(genres_.LocateKey("G2"));
    Rename("Medieval times");
    genres_.Q1.Post();
    EXPECT_EQ("G1:Napoleonic,G2:Medieval times", StoredGenres())
        << "the refused change is not written with the next one";
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_P(ListWriteFailureTest, WhileAnotherProgramHoldsTheDatabaseNothingLooksWritten) {
    if (OnServer())
        GTEST_SKIP() << "the test drives the embedded engine itself";
    // The wait for the lock, short for the test.
    sqlite3_busy_timeout(RawSqlite(database_), 20);
    {
        const OtherProgramWriting other(database_.FileName());
        ASSERT_TRUE(genres_.LocateKey("G1"));
        Rename("Napoleonic wars");
        EXPECT_FALSE(DataSetPost(genres_.Q1));
        EXPECT_EQ(TDataSetState::Edit, genres_.Q1.State());
        EXPECT_EQ("Napoleonic wars", genres_.NameValue());
        EXPECT_FALSE(genres_.Q1.UpdatesPending());
        genres_.Q1.Cancel();

        ASSERT_TRUE(genres_.LocateKey("G2"));
        EXPECT_THROW(genres_.DeleteCurrent(), EDatabaseError);
        EXPECT_EQ(2, genres_.Q1.RecordCount());
        EXPECT_EQ("G2", genres_.KeyValue());
        EXPECT_FALSE(genres_.Q1.UpdatesPending());
    }
    // Nothing was waiting: a reopen loses nothing and shows the table.
    EXPECT_TRUE(genres_.Reopen());
    EXPECT_EQ((QStringList{"Medieval", "Napoleonic"}), Names(genres_));
    EXPECT_EQ("G1:Napoleonic,G2:Medieval", StoredGenres());
}

TEST_P(ListWriteFailureTest, AnAbortedWriteIsAFailedPost) {
    if (OnServer())
        GTEST_SKIP() << "the test drives the embedded engine itself";
    ASSERT_EQ(SQLITE_OK,
              sqlite3_create_function_v2(RawSqlite(database_), "fail_with", 1, SQLITE_UTF8, nullptr,
                                         FailWith, nullptr, nullptr, nullptr));
    Exec(QStringLiteral("create temp trigger stop before update on genres "
                        "begin select fail_with(%1); end")
             .arg(SQLITE_ABORT));
    ASSERT_TRUE(genres_.LocateKey("G1"));
    Rename("Napoleonic wars");
    EXPECT_FALSE(DataSetPost(genres_.Q1));
    EXPECT_EQ(TDataSetState::Edit, genres_.Q1.State());
    EXPECT_FALSE(genres_.Q1.UpdatesPending());
    genres_.Q1.Cancel();
    EXPECT_EQ("G1:Napoleonic,G2:Medieval", StoredGenres());
}

TEST_P(ListWriteFailureTest, ARowAnotherProgramRemovedCannotBeChangedOrDeleted) {
    Exec("delete from genres where genre_id = 'G1'");
    ASSERT_TRUE(genres_.LocateKey("G1"));
    Rename("Napoleonic wars");
    EXPECT_FALSE(DataSetPost(genres_.Q1));
    EXPECT_EQ(TDataSetState::Edit, genres_.Q1.State());
    genres_.Q1.Cancel();
    const QString gone = RaisedMessage([&] { genres_.DeleteCurrent(); });
    EXPECT_TRUE(gone.contains("another program")) << gone.toStdString();
    EXPECT_EQ("G1", genres_.KeyValue());

    Exec("update genres set genre_id = 'G2X' where genre_id = 'G2'");
    ASSERT_TRUE(genres_.LocateKey("G2"));
    EXPECT_THROW(genres_.DeleteCurrent(), EDatabaseError);
    EXPECT_EQ(2, genres_.Q1.RecordCount());
    EXPECT_FALSE(genres_.Q1.UpdatesPending());
    EXPECT_EQ("G2X:Medieval", StoredGenres());
}

TEST_P(ListWriteFailureTest, ANewRowTheTableRefusesIsReportedAndNotKept) {
    Exec("create trigger refuse before insert on genres "
         "begin select raise(abort, 'no new genres'); end");
    EXPECT_EQ("The record was not added:\n\nno new genres",
              RaisedMessage([&] { genres_.AppendRecord(); }));
    EXPECT_EQ(TDataSetState::Browse, genres_.Q1.State());
    EXPECT_FALSE(genres_.Q1.UpdatesPending());
    EXPECT_EQ(2, genres_.Q1.RecordCount());
    EXPECT_EQ("G1:Napoleonic,G2:Medieval", StoredGenres());
}

TEST_P(ListWriteFailureTest, DeleteRecordDeletesTheRowOfItsKeyWhereverTheListIs) {
    const QString key = genres_.AppendRecord();
    genres_.Q1.First();
    EXPECT_TRUE(genres_.DeleteRecord(key));
    EXPECT_EQ("G1:Napoleonic,G2:Medieval", StoredGenres());
    EXPECT_EQ(2, genres_.Q1.RecordCount());
    EXPECT_FALSE(genres_.DeleteRecord(key));
    EXPECT_FALSE(genres_.DeleteRecord(QString()));
    EXPECT_EQ(2, genres_.Q1.RecordCount());
}

TEST_P(ListWriteFailureTest, DeletingAFigureWithItsPicturesIsAllOrNothing) {
    AddFigure("F1", "Hussar");
    AddFigure("F2", "Lancer");
    for (const char* id : {"A1", "A2"})
        Exec("insert into add_pictures (add_picture_id, figure_id) values (?, 'F1')", {id});
    TO_Figures figures;
    Open(figures, "figure_id", "figure_name");
    const auto pictures = [&] {
        return Column("select add_picture_id from add_pictures order by 1");
    };

    // The figure's row refused: its pictures stay.
    Exec("create trigger keep_figures before delete on figures "
         "begin select raise(abort, 'figure kept'); end");
    ASSERT_TRUE(figures.LocateKey("F1"));
    EXPECT_TRUE(RaisedMessage([&] { figures.DeleteCurrent(); }).contains("figure kept"));
    EXPECT_EQ("A1,A2", pictures());
    EXPECT_EQ("F1,F2", Column("select figure_id from figures order by 1"));
    EXPECT_EQ("F1", figures.KeyValue());
    EXPECT_FALSE(figures.Q1.UpdatesPending());
    Exec("drop trigger keep_figures");

    // The pictures refused: the figure stays.
    Exec("create trigger keep_pictures before delete on add_pictures "
         "begin select raise(abort, 'pictures kept'); end");
    EXPECT_TRUE(RaisedMessage([&] { figures.DeleteCurrent(); }).contains("pictures kept"));
    EXPECT_EQ("A1,A2", pictures());
    EXPECT_EQ("F1,F2", Column("select figure_id from figures order by 1"));
    EXPECT_EQ(2, figures.Q1.RecordCount());
    Exec("drop trigger keep_pictures");

    figures.DeleteCurrent();
    EXPECT_EQ("", pictures());
    EXPECT_EQ("F2", Column("select figure_id from figures"));
}

TEST_P(ListWriteFailureTest, DeletingAFigureDeletesItsCollectionRowWithIt) {
    AddFigure("F1", "Hussar");
    AddFigure("F2", "Lancer");
    Exec("insert into figure_collection (figure_id, collection_status) values "
         "('F1', 'finished'), ('F2', 'wanted')");
    TO_Figures figures;
    Open(figures, "figure_id", "figure_name");
    const auto rows = [&] { return Column("select figure_id from figure_collection order by 1"); };

    Exec("create trigger keep_figures before delete on figures "
         "begin select raise(abort, 'figure kept'); end");
    ASSERT_TRUE(figures.LocateKey("F1"));
    EXPECT_TRUE(RaisedMessage([&] { figures.DeleteCurrent(); }).contains("figure kept"));
    EXPECT_EQ("F1,F2", rows());
    Exec("drop trigger keep_figures");

    figures.DeleteCurrent();
    EXPECT_EQ("F2", rows());
    EXPECT_EQ("F2", Column("select figure_id from figures"));
}

} // namespace

VELMORA_ON_EVERY_ENGINE(ListWriteFailureTest);
