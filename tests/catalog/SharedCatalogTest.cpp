// Several clients of one catalog on a server: a stale save is refused, and
// the others' lists follow a save within a second.

#include "CatalogTestFixture.h"
#include "TChangeListener.h"
#include "TChangeWriter.h"
#include "TO_Figures.h"

#include <QElapsedTimer>
#include <QTest>

#include <memory>

namespace {

class SharedCatalogTest : public CatalogTestFixture {
protected:
    TestEngine Engine() const override { return TestEngine::PostgreSql; }

    void SetUp() override {
        CatalogTestFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        AddFigure("F1", "Archer");
        AddFigure("F2", "Bowman");
    }

    void TearDown() override {
        lists_.clear();
        clients_.clear();
        CatalogTestFixture::TearDown();
    }

    // An open figures list of another client of the same catalog.
    TO_Figures& Client(const QString& name) {
        auto client = std::make_unique<TDatabase>(name);
        client->Server = database_.Server;
        client->Open();
        clients_.push_back(std::move(client));
        auto list = std::make_unique<TO_Figures>();
        list->Q1.DatabaseName = name;
        Open(*list, "figure_id", "figure_name");
        lists_.push_back(std::move(list));
        return *lists_.back();
    }

    static void Rename(TO_ci& list, const QString& key, const QString& name) {
        ASSERT_TRUE(list.LocateKey(key));
        list.Q1.Edit();
        list.Q1.FieldByName("figure_name").SetAsString(name);
    }

    std::vector<std::unique_ptr<TDatabase>> clients_;
    std::vector<std::unique_ptr<TO_Figures>> lists_;
};

TEST_F(SharedCatalogTest, AStaleSaveIsRefusedAndTheOtherListsFollowWithinASecond) {
    TO_Figures a;
    Open(a, "figure_id", "figure_name");
    TO_Figures& b = Client("B");
    TO_Figures& c = Client("C");
    TChangeListener listener;
    ASSERT_TRUE(listener.Start("C"));
    listener.Watch(&c);

    // Both read F1 and change it; A saves first.
    Rename(b, "F1", "Bowman II");
    Rename(a, "F1", "Archer II");
    QElapsedTimer saved;
    saved.start();
    a.Q1.Post();
    EXPECT_EQ(TChangeWriter::RowGoneMessage(), RaisedMessage([&] { b.Q1.Post(); }));
    EXPECT_EQ(TDataSetState::Edit, b.Q1.State());
    EXPECT_EQ("Archer II,Bowman", Column("select figure_name from figures order by figure_id"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Names(c).contains("Archer II"); }, 1000));
    EXPECT_LE(saved.elapsed(), 1000);

    // A record being edited stays as the user has it until the edit ends.
    Rename(c, "F2", "Cavalier");
    Rename(a, "F1", "Archer III");
    a.Q1.Post();
    QTest::qWait(2 * TChangeListener::DelayMilliseconds + 200);
    EXPECT_EQ(TDataSetState::Edit, c.Q1.State());
    EXPECT_EQ("Cavalier", c.NameValue());
    c.Q1.Cancel();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Names(c).contains("Archer III"); }, 1000));
    EXPECT_EQ("F2", c.KeyValue());
}

} // namespace
