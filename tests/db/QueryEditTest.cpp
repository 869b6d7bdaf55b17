// Editing the live query: states, the events around them, and the errors of
// operations made in the wrong state.

#include "EDatabaseError.h"
#include "QueryTestFixture.h"
#include "TField.h"

#include <QScopeGuard>

namespace {

class QueryEditTest : public OnEveryEngine<QueryTestFixture> {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        AddFigure("K1", "Archer");
        AddFigure("K2", "Bowman");
        UseFiguresList(query_);
        query_.AfterInsert = [this](TQuery& q) { Log("insert " + QString::number(q.RecNo())); };
        query_.BeforePost = [this](TQuery&) { Log("before post"); };
        query_.AfterPost = [this](TQuery&) { Log("post"); };
        query_.AfterCancel = [this](TQuery&) { Log("cancel"); };
        query_.BeforeDelete = [this](TQuery&) { Log("before delete"); };
        query_.AfterDelete = [this](TQuery&) { Log("delete"); };
        query_.AfterScroll = [this](TQuery& q) { Log("scroll " + QString::number(q.RecNo())); };
        query_.Open();
        log_.clear();
    }

    void Log(const QString& event) { log_ << event; }

    QString Message(const std::function<void()>& operation) {
        try {
            operation();
        } catch (const EDatabaseError& error) {
            return error.Message();
        }
        return {};
    }

    TQuery query_;
    QStringList log_;
};

TEST_P(QueryEditTest, AppendAddsACurrentRowAtTheEndAndCancelRemovesIt) {
    RecordingLink link;
    query_.AddLink(&link);
    const auto unlink = qScopeGuard([&] { query_.RemoveLink(&link); });
    query_.Append();
    EXPECT_EQ(TDataSetState::Insert, query_.State());
    EXPECT_EQ(3, query_.RecordCount());
    EXPECT_EQ((QStringList{"insert 2", "scroll 2"}), log_) << "the blank row exists at AfterInsert";
    EXPECT_TRUE(query_.FieldByName("picture_th").IsNull());
    query_.FieldByName("figure_name").SetAsString("Zouave");
    EXPECT_EQ((QStringList{"state", "dataset", "record"}), link.events);

    log_.clear();
    query_.Cancel();
    EXPECT_EQ(TDataSetState::Browse, query_.State());
    EXPECT_EQ(2, query_.RecordCount());
    EXPECT_EQ(0, query_.RecNo()) << "back on the row current before the append";
    EXPECT_EQ((QStringList{"cancel", "scroll 0"}), log_);

    query_.Edit();
    query_.FieldByName("figure_name").SetAsString("Changed");
    EXPECT_EQ("Changed", query_.FieldByName("figure_name").AsString());
    EXPECT_EQ("Changed", query_.ValueAt(0, 1).toString()) << "rows show the edit in progress";
    query_.Cancel();
    EXPECT_EQ("Archer", query_.FieldByName("figure_name").AsString());
    EXPECT_FALSE(query_.UpdatesPending());
}

TEST_P(QueryEditTest, PostKeepsTheEditAndWrongStatesRaise) {
    EXPECT_EQ("Dataset not in edit or insert mode", Message([&] { query_.Post(); }));
    EXPECT_EQ("Dataset not in edit or insert mode",
              Message([&] { query_.FieldByName("figure_name").SetAsString("x"); }));

    query_.Edit();
    query_.FieldByName("scale").SetAsString("54-mm");
    log_.clear();
    query_.Next(); // a move posts the modified row first
    EXPECT_EQ((QStringList{"before post", "post", "scroll 1"}), log_);
    EXPECT_EQ("54-mm", query_.ValueAt(0, 5).toString());
    EXPECT_EQ(1, query_.PendingUpdateCount());

    // A raising BeforePost aborts the post: still editing, nothing cached.
    query_.BeforePost = [](TQuery&) { throw EDatabaseError("refused"); };
    query_.Edit();
    query_.FieldByName("scale").SetAsString("90-mm");
    EXPECT_EQ("refused", Message([&] { query_.Post(); }));
    EXPECT_EQ(TDataSetState::Edit, query_.State());
    EXPECT_EQ(1, query_.PendingUpdateCount());
    query_.Cancel();
    EXPECT_TRUE(query_.FieldByName("scale").IsNull());

    TQuery readOnly;
    readOnly.SQL = {"select figure_id from figures"};
    readOnly.Open();
    readOnly.Edit();
    EXPECT_EQ("Cannot modify a read-only dataset", Message([&] { readOnly.Post(); }));
}

TEST_P(QueryEditTest, DeleteRemovesTheCurrentRowUnlessBeforeDeleteRaises) {
    query_.BeforeDelete = [this](TQuery& q) {
        Log("before delete");
        if (q.FieldByName("figure_id").AsString() == "K2")
            throw EDatabaseError("has pictures");
    };
    query_.Last();
    log_.clear();
    EXPECT_EQ("has pictures", Message([&] { query_.Delete(); }));
    EXPECT_EQ(2, query_.RecordCount());

    query_.First();
    log_.clear();
    query_.Delete();
    EXPECT_EQ((QStringList{"before delete", "delete", "scroll 0"}), log_);
    EXPECT_EQ("K2", query_.FieldByName("figure_id").AsString());
    query_.BeforeDelete = nullptr;
    query_.Delete();
    EXPECT_TRUE(query_.IsEmpty());
    EXPECT_TRUE(query_.Eof() && query_.Bof());
    EXPECT_EQ("Cannot perform this operation on an empty dataset",
              Message([&] { query_.Delete(); }));

    // Deleting a row being appended only drops it.
    query_.Append();
    query_.Delete();
    EXPECT_TRUE(query_.IsEmpty());
    EXPECT_EQ(2, query_.PendingUpdateCount());
}

} // namespace

VELMORA_ON_EVERY_ENGINE(QueryEditTest);
