// The live query as a reader: moving through rows, bookmarks, searching,
// telling its controls, and its life with the connection.

#include "EDatabaseError.h"
#include "QueryTestFixture.h"
#include "TField.h"

#include <QScopeGuard>

namespace {

class QueryNavigationTest : public OnEveryEngine<QueryTestFixture> {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        AddFigure("K3", "Cuirassier");
        AddFigure("K1", "archer");
        AddFigure("K2", "Archer");
        query_.SQL = {"select figure_id, figure_name, prc_kit from figures",
                      "where figure_name <> :skip", "order by figure_name"};
        query_.SetParam("skip", "nobody");
    }

    QStringList Names() {
        QStringList names;
        for (int row = 0; row < query_.RecordCount(); ++row)
            names << query_.ValueAt(row, 1).toString();
        return names;
    }

    TQuery query_;
};

TEST_P(QueryNavigationTest, StepsStopAtEitherEndWithTheEndFlag) {
    query_.Open();
    EXPECT_EQ((QStringList{"Archer", "Cuirassier", "archer"}), Names());
    EXPECT_TRUE(query_.Bof() && !query_.Eof());

    query_.Next();
    query_.Next();
    EXPECT_FALSE(query_.Eof()) << "stepping onto the last row is no end yet";
    EXPECT_EQ("K1", query_.FieldByName("FIGURE_ID").AsString());
    query_.Next();
    EXPECT_TRUE(query_.Eof());
    EXPECT_EQ(2, query_.RecNo());

    query_.Prior();
    EXPECT_FALSE(query_.Eof());
    query_.MoveBy(-5);
    EXPECT_TRUE(query_.Bof() && query_.RecNo() == 0);
    query_.Last();
    EXPECT_TRUE(query_.Eof() && !query_.Bof());
    EXPECT_FALSE(query_.MoveTo(3));
    EXPECT_TRUE(query_.MoveTo(1));
    EXPECT_EQ("Cuirassier", query_.Value(1).toString());
    EXPECT_TRUE(query_.FieldByName("prc_kit").IsNull());
    EXPECT_EQ("numeric(7,2)", query_.FieldType(2));
    EXPECT_EQ(32, query_.FieldByName("figure_name").Size());
    EXPECT_THROW(query_.FieldByName("nope"), EDatabaseError);
}

TEST_P(QueryNavigationTest, EmptyResultHasBothFlagsAndNoCurrentRow) {
    query_.SetParam("skip", "archer");
    query_.SQL = {"select figure_id from figures",
                  "where figure_name = :skip || 'x' or figure_id = :skip"};
    query_.Open();
    EXPECT_TRUE(query_.IsEmpty() && query_.Bof() && query_.Eof());
    EXPECT_EQ(-1, query_.RecNo());
    query_.Next();
    query_.Last();
    EXPECT_TRUE(query_.Bof() && query_.Eof());
    EXPECT_TRUE(query_.FieldByName("figure_id").IsNull());
    EXPECT_EQ(0u, query_.GetBookmark());
}

TEST_P(QueryNavigationTest, BookmarksAndLocateFindRowsExactly) {
    query_.Open();
    query_.Last();
    const TQuery::TBookmark last = query_.GetBookmark();
    query_.First();
    EXPECT_TRUE(query_.GotoBookmark(last));
    EXPECT_EQ(2, query_.RecNo());

    EXPECT_TRUE(query_.Locate("figure_name", "archer"));
    EXPECT_EQ("K1", query_.Value(0).toString()) << "case decides";
    EXPECT_FALSE(query_.Locate("figure_name", "ARCHER"));
    EXPECT_FALSE(query_.Locate("figure_name", "Arch"));
    EXPECT_EQ(2, query_.RecNo()) << "a failed search does not move";
    EXPECT_TRUE(query_.Locate("FIGURE_ID", "K2"));
    EXPECT_EQ(0, query_.RecNo());
}

TEST_P(QueryNavigationTest, LinksAreToldUnlessControlsAreDisabled) {
    RecordingLink link;
    query_.AddLink(&link);
    const auto unlink = qScopeGuard([&] { query_.RemoveLink(&link); });
    int scrolls = 0;
    query_.AfterScroll = [&](TQuery&) { ++scrolls; };
    query_.Open();
    EXPECT_EQ((QStringList{"active"}), link.events);

    link.events.clear();
    scrolls = 0;
    query_.DisableControls();
    query_.DisableControls();
    query_.Next();
    query_.Next();
    query_.EnableControls();
    query_.Next(); // at the end: no move
    EXPECT_TRUE(link.events.isEmpty());
    EXPECT_EQ(2, scrolls) << "events still fire while controls are disabled";
    query_.EnableControls();
    EXPECT_EQ((QStringList{"dataset"}), link.events);
    EXPECT_FALSE(query_.ControlsDisabled());

    link.events.clear();
    query_.Prior();
    query_.RemoveLink(&link);
    query_.Prior();
    EXPECT_EQ((QStringList{"dataset"}), link.events);
}

TEST_P(QueryNavigationTest, ClosingTheConnectionClosesTheQueryAndOpenReconnects) {
    RecordingLink link;
    query_.AddLink(&link);
    const auto unlink = qScopeGuard([&] { query_.RemoveLink(&link); });
    int closing = 0;
    query_.BeforeClose = [&](TQuery&) { ++closing; };
    query_.Open();
    database_.Close();
    EXPECT_FALSE(query_.Active());
    EXPECT_EQ(1, closing);
    EXPECT_EQ((QStringList{"active", "inactive"}), link.events);
    try {
        query_.Next();
        ADD_FAILURE() << "no error on a closed query";
    } catch (const EDatabaseError& error) {
        EXPECT_EQ("Cannot perform this operation on a closed dataset", error.Message());
    }
    EXPECT_THROW(query_.Edit(), EDatabaseError);
    EXPECT_THROW(query_.Value(0), EDatabaseError);

    query_.Open();
    EXPECT_TRUE(database_.IsConnected());
    EXPECT_EQ(3, query_.RecordCount());
    query_.SQL = {"select nothing from nowhere"};
    query_.Close();
    EXPECT_THROW(query_.Open(), EDatabaseError);
    EXPECT_FALSE(query_.Active());
}

} // namespace

VELMORA_ON_EVERY_ENGINE(QueryNavigationTest);
