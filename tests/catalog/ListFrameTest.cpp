// The list frames against a real database: opening, writing every change at
// once, new records, reference checks, dependent deletes, resizing and
// wheel steps.

#include "CatalogTestFixture.h"
#include "TO_Figures.h"
#include "TO_genres.h"
#include "TO_producers.h"
#include "TRecordGrid.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTest>
#include <QTime>

#include <memory>

namespace {

class ListFrameTest : public OnEveryEngine<CatalogTestFixture> {
protected:
    // A list shown inside a window, so that resizing it resizes it at once.
    template <class List> List& Shown(int width, int height) {
        host_ = std::make_unique<QWidget>();
        auto* list = new List(host_.get());
        list->setGeometry(0, 0, width, height);
        host_->resize(width, height);
        host_->show();
        return *list;
    }

    std::unique_ptr<QWidget> host_;
};

TEST_P(ListFrameTest, AppendRecordWritesANamedRowBeforeReturning) {
    TO_producers list;
    Open(list, "producer_id", "producer_name");
    const QString key = list.AppendRecord();

    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{32}$").match(key).hasMatch()) << key.toStdString();
    const QString name = list.NameValue();
    // The time of creation: hours, minutes and seconds, without a time zone.
    EXPECT_TRUE(QRegularExpression("^New record;\\d{1,2}[:.]\\d{2}[:.]\\d{2}( ?[AaPp][Mm])?$")
                    .match(name)
                    .hasMatch())
        << name.toStdString();
    EXPECT_EQ(
        name,
        Scalar("select producer_name from producers where producer_id = '" + key + "'").toString());
    EXPECT_EQ(TDataSetState::Browse, list.Q1.State());
    EXPECT_FALSE(list.Q1.UpdatesPending());
    EXPECT_FALSE(list.FieldValue("insert_time").isEmpty());
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_P(ListFrameTest, NewGenresAndFiguresGetTheirDefaultsOnly) {
    TO_genres genres;
    Open(genres, "genre_id", "genre_name");
    const QString genre = genres.AppendRecord();
    EXPECT_EQ("170,90,50,50,150,200",
              Column("select RX || ',' || RY || ',' || RH || ',' || RW || ',' || TB || ',' || TE "
                     "from genres where genre_id = '" +
                     genre + "'"));

    TO_Figures figures;
    Open(figures, "figure_id", "figure_name");
    const QString figure = figures.AppendRecord();
    EXPECT_EQ(1, Scalar("select count(*) from figures where figure_id = '" + figure +
                        "' and figure_name like 'New record;%' and producer_id is null and "
                        "figure_dsc is null and picture_th is null")
                     .toInt());
}

TEST_P(ListFrameTest, EditsAndDeletesReachTheTableAtOnce) {
    AddGenre("G1", "Napoleonic");
    AddGenre("G2", "Medieval");
    TO_genres list;
    Open(list, "genre_id", "genre_name");
    ASSERT_TRUE(list.LocateKey("G1"));
    list.Q1.Edit();
    list.Q1.FieldByName("genre_name").SetAsString("Napoleonic wars");
    list.Q1.Post();
    EXPECT_EQ("Napoleonic wars",
              Scalar("select genre_name from genres where genre_id = 'G1'").toString());

    list.DeleteCurrent();
    EXPECT_EQ("G2", Column("select genre_id from genres"));
    EXPECT_EQ("G2", list.KeyValue());
    EXPECT_FALSE(list.Q1.UpdatesPending());
}

TEST_P(ListFrameTest, IsReferencedLooksForTheCurrentKeyInTheOtherTable) {
    AddProducer("P1", "Old Guard");
    AddProducer("P2", "Young Guard");
    AddFigure("F1", "Hussar", {{"producer_id", "P2"}});
    AddFigure("F2", "Lancer", {{"producer_id", "P2"}});
    TO_producers list;
    EXPECT_TRUE(list.IsReferenced("figures", "producer_id")) << "a closed list refuses";

    Open(list, "producer_id", "producer_name");
    ASSERT_TRUE(list.LocateKey("P1"));
    EXPECT_FALSE(list.IsReferenced("figures", "producer_id"));
    ASSERT_TRUE(list.LocateKey("P2"));
    EXPECT_TRUE(list.IsReferenced("figures", "producer_id"));
    EXPECT_TRUE(messages_.isEmpty());

    // A failing check shows the engine's error and answers false.
    EXPECT_FALSE(list.IsReferenced("no_such_table", "producer_id"));
    ASSERT_EQ(1, messages_.size());
    EXPECT_TRUE(messages_[0].contains("no_such_table"));
}

TEST_P(ListFrameTest, KeysWithQuotesStayInsideTheirLiterals) {
    AddProducer("O'K", "Quoted");
    AddProducer("x' or '1'='1", "Hostile");
    AddProducer("P3", "Plain");
    AddFigure("F1", "Hussar", {{"producer_id", "O'K"}});
    AddFigure("F2", "Lancer", {{"producer_id", "P3"}});
    Exec("insert into add_pictures (add_picture_id, figure_id) values ('A1', 'O''K')");
    Exec("insert into add_pictures (add_picture_id, figure_id) values ('A2', 'P3')");
    TO_producers list;
    Open(list, "producer_id", "producer_name");

    ASSERT_TRUE(list.LocateKey("O'K"));
    EXPECT_TRUE(list.IsReferenced("figures", "producer_id"));
    ASSERT_TRUE(list.LocateKey("x' or '1'='1"));
    EXPECT_FALSE(list.IsReferenced("figures", "producer_id"));
    list.DeleteReferencing("add_pictures", "figure_id");
    EXPECT_EQ("A1,A2", Column("select add_picture_id from add_pictures order by 1"));
    ASSERT_TRUE(list.LocateKey("O'K"));
    list.DeleteReferencing("add_pictures", "figure_id");
    EXPECT_EQ("A2", Column("select add_picture_id from add_pictures"));
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_P(ListFrameTest, DeletingAFigureDeletesItsAdditionalPictures) {
    AddFigure("F1", "Hussar");
    AddFigure("F2", "Lancer");
    for (const char* id : {"A1", "A2", "A3"})
        Exec("insert into add_pictures (add_picture_id, figure_id) values (?, 'F1')", {id});
    Exec("insert into add_pictures (add_picture_id, figure_id) values ('A4', 'F2')");
    TO_Figures list;
    Open(list, "figure_id", "figure_name");
    ASSERT_TRUE(list.LocateKey("F1"));
    list.DeleteCurrent();

    EXPECT_EQ("A4", Column("select add_picture_id from add_pictures"));
    EXPECT_EQ("F2", Column("select figure_id from figures"));
    EXPECT_EQ("F2", list.KeyValue());
}

TEST_P(ListFrameTest, ListsAreOrderedByNameWithMissingManufacturersAndGenresEmpty) {
    AddProducer("P1", "Zulu Miniatures");
    AddProducer("P2", "Alpha Figures");
    AddGenre("G1", "WWII");
    AddGenre("G2", "Ancient");
    AddFigure("F1", "Voltigeur", {{"producer_id", "P1"}, {"genre_id", "G1"}});
    AddFigure("F2", "Archer", {{"producer_id", "P9"}, {"genre_id", "G2"}});
    AddFigure("F3", "Lancer", {{"producer_id", "P2"}, {"genre_id", "G7"}});

    TO_producers producers;
    Open(producers, "producer_id", "producer_name");
    EXPECT_EQ((QStringList{"Alpha Figures", "Zulu Miniatures"}), Names(producers));
    TO_genres genres;
    Open(genres, "genre_id", "genre_name");
    EXPECT_EQ((QStringList{"Ancient", "WWII"}), Names(genres));
    TO_Figures figures;
    Open(figures, "figure_id", "figure_name");
    EXPECT_EQ((QStringList{"Archer", "Lancer", "Voltigeur"}), Names(figures));
    EXPECT_EQ("", figures.RowText(0, "producer_name"));
    EXPECT_EQ("Ancient", figures.RowText(0, "genre_name"));
    EXPECT_EQ("Alpha Figures", figures.RowText(1, "producer_name"));
    EXPECT_EQ("", figures.RowText(1, "genre_name"));
}

TEST_P(ListFrameTest, ReopenReturnsToTheRecordItWasOn) {
    for (int i = 1; i <= 5; ++i)
        AddGenre(QString("G%1").arg(i), QString("Genre %1").arg(i));
    TO_genres list;
    list.KeyField = "genre_id";
    list.NameField = "genre_name";
    EXPECT_FALSE(list.Reopen()) << "nothing to return to";
    EXPECT_EQ(0, list.Q1.RecNo());

    ASSERT_TRUE(list.LocateKey("G4"));
    Exec("insert into genres (genre_id, genre_name) values ('G0', 'Genre 0')");
    EXPECT_TRUE(list.Reopen());
    EXPECT_EQ("G4", list.KeyValue());
    EXPECT_EQ(6, list.Q1.RecordCount());

    Exec("delete from genres where genre_id = 'G4'");
    EXPECT_FALSE(list.Reopen());
    EXPECT_EQ(0, list.Q1.RecNo());
    EXPECT_FALSE(list.LocateKey("g1")) << "keys are compared exactly";
    list.CloseList();
    EXPECT_FALSE(list.LocateKey("G1"));
}

TEST_P(ListFrameTest, RowCountFollowsTheFrameHeight) {
    TO_genres& genres = Shown<TO_genres>(300, 30);
    EXPECT_EQ(1, genres.CGrid1->RowCount());
    genres.resize(300, 700);
    EXPECT_EQ(20, genres.CGrid1->RowCount());
    EXPECT_EQ(35, genres.CGrid1->PanelHeight());
    genres.resize(300, 720);
    EXPECT_EQ(20, genres.CGrid1->RowCount());
    EXPECT_EQ(36, genres.CGrid1->PanelHeight()) << "the rows share the whole height";
    genres.resize(300, 5000);
    EXPECT_EQ(100, genres.CGrid1->RowCount());

    TO_Figures& figures = Shown<TO_Figures>(400, 700);
    EXPECT_EQ(5, figures.CGrid1->RowCount());
}

TEST_P(ListFrameTest, WheelNotchesStepOnceATickLater) {
    for (int i = 1; i <= 5; ++i)
        AddGenre(QString("G%1").arg(i), QString("Genre %1").arg(i));
    TO_genres list;
    Open(list, "genre_id", "genre_name");
    list.Q1.MoveTo(2);
    // Until the timer has ticked twice and stopped (10 ms a tick).
    auto settle = [&] {
        return QTest::qWaitFor([&] { return !list.Timer_scroll.isActive(); }, 5000);
    };

    // Two notches within one step: one step, the second notch's way.
    list.StartScroll(false);
    list.StartScroll(true);
    EXPECT_EQ(2, list.Q1.RecNo()) << "the step waits for the timer";
    ASSERT_TRUE(settle());
    EXPECT_EQ(1, list.Q1.RecNo());
    EXPECT_EQ(0, list.ScrollTicks);

    list.StartScroll(false);
    ASSERT_TRUE(settle());
    EXPECT_EQ(2, list.Q1.RecNo());

    // A step on a closed list is not taken, and nothing is shown.
    list.CloseList();
    list.StartScroll(true);
    EXPECT_TRUE(settle());
    EXPECT_TRUE(messages_.isEmpty());
}

} // namespace

VELMORA_ON_EVERY_ENGINE(ListFrameTest);
