#include "CatalogTestFixture.h"
#include "TCatalogStats.h"

#include <functional>

namespace {

// Three genres (one spanning the year 0, one without an epoch), two
// manufacturers, five figures: one of an unknown genre and manufacturer.
// Collection rows for three of them; F5 and F4 have none.
class CatalogStatsTest : public OnEveryEngine<CatalogTestFixture> {
protected:
    void SetUp() override {
        CatalogTestFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        AddProducer("P1", "Alpha");
        AddProducer("P2", "Beta");
        Exec("insert into genres (genre_id, genre_name, TB, TE) values (?, ?, ?, ?)",
             {"G1", "Rome", -150, 20});
        Exec("insert into genres (genre_id, genre_name, TB, TE) values (?, ?, ?, ?)",
             {"G2", "Napoleonic", 1796, 1815});
        AddGenre("G3", "Fantasy");
        AddFigure("F1", "Legionary",
                  {{"genre_id", "G1"}, {"producer_id", "P1"}, {"type_ci", "infantry"}});
        AddFigure("F2", "Centurion",
                  {{"genre_id", "G1"}, {"producer_id", "P2"}, {"type_ci", "infantry"}});
        Exec("update figures set scale = '75-mm' where figure_id = 'F2'");
        AddFigure("F3", "Hussar",
                  {{"genre_id", "G2"}, {"producer_id", "P1"}, {"type_ci", "cavalry"}});
        AddFigure("F4", "Dragon", {{"genre_id", "G3"}, {"producer_id", "P1"}});
        AddFigure("F5", "Stray",
                  {{"genre_id", "NONE"}, {"producer_id", "NONE"}, {"type_ci", "cavalry"}});
        // Cents that add up to whole units only when summed as cents.
        const char* rows[][6] = {{"F1", "finished", "3", "2019-04-02", "0.10", "0.29"},
                                 {"F2", "finished", "1", "2021-11-30", "0.20", "0.58"},
                                 {"F3", "wanted", "2", "2019-12-31", "0.70", "1000.13"}};
        for (const auto& row : rows)
            Exec("insert into figure_collection (figure_id, collection_status, "
                 "collection_quantity, collection_acquired, collection_price, collection_value) "
                 "values (?, ?, ?, ?, ?, ?)",
                 {row[0], row[1], QString(row[2]).toInt(), row[3], QString(row[4]).toDouble(),
                  QString(row[5]).toDouble()});
    }
};

TEST_P(CatalogStatsTest, CountsEveryGroupExactly) {
    const TCatalogStats stats(database_.Handle());
    EXPECT_EQ(stats.Figures(), 5);
    // Two figures without a row count one piece each.
    EXPECT_EQ(stats.Pieces(), 3 + 1 + 2 + 1 + 1);
    EXPECT_EQ(stats.FinishedShare(), 2.0 / 5);
    EXPECT_EQ(stats.PriceTotalCents(), 100);
    EXPECT_EQ(stats.ValueTotalCents(), 100100);
    using Bars = std::vector<TStatBar>;
    const struct {
        const char* name;
        std::function<Bars()> bars;
        Bars expected;
    } cases[] = {
        {"genre",
         [&] { return stats.ByGenre(); },
         {{"", "", 1}, {"G3", "Fantasy", 1}, {"G2", "Napoleonic", 1}, {"G1", "Rome", 2}}},
        {"manufacturer",
         [&] { return stats.ByManufacturer(); },
         {{"", "", 1}, {"P1", "Alpha", 3}, {"P2", "Beta", 1}}},
        {"scale", [&] { return stats.ByScale(); }, {{"54-mm", "54-mm", 4}, {"75-mm", "75-mm", 1}}},
        {"type",
         [&] { return stats.ByType(); },
         {{"", "", 1}, {"cavalry", "cavalry", 2}, {"infantry", "infantry", 2}}},
        // -150 to 20 touches -200..-101, -100..-1 and 0..99.
        {"century",
         [&] { return stats.ByCentury(); },
         {{"-200", "-200--101", 2},
          {"-100", "-100--1", 2},
          {"0", "0-99", 2},
          {"1700", "1700-1799", 1},
          {"1800", "1800-1899", 1}}},
        {"status",
         [&] { return stats.ByStatus(); },
         {{"", "", 2},
          {"wanted", "wanted", 1},
          {"unbuilt", "unbuilt", 0},
          {"assembled", "assembled", 0},
          {"primed", "primed", 0},
          {"painting", "painting", 0},
          {"finished", "finished", 2},
          {"sold", "sold", 0}}},
        {"acquired",
         [&] { return stats.AcquiredPerYear(); },
         {{"2019", "2019", 2}, {"2021", "2021", 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bars bars = c.bars();
        ASSERT_EQ(bars.size(), c.expected.size());
        for (std::size_t i = 0; i < bars.size(); ++i) {
            EXPECT_EQ(bars[i].key, c.expected[i].key) << i;
            EXPECT_EQ(bars[i].label, c.expected[i].label) << i;
            EXPECT_EQ(bars[i].figures, c.expected[i].figures) << i;
        }
    }
}

TEST_P(CatalogStatsTest, AnEmptyCatalogHasNoFinishedShare) {
    Exec("delete from figures");
    EXPECT_EQ(TCatalogStats(database_.Handle()).FinishedShare(), std::nullopt);
}

TEST(CatalogStatsMoney, WritesCentsWithTwoPlaces) {
    const struct {
        qint64 cents;
        const char* text;
    } cases[] = {{0, "0.00"}, {5, "0.05"}, {100100, "1001.00"}, {-105, "-1.05"}, {-5, "-0.05"}};
    for (const auto& c : cases)
        EXPECT_EQ(TCatalogStats::Money(c.cents), QString(c.text)) << c.cents;
}

} // namespace

VELMORA_ON_EVERY_ENGINE(CatalogStatsTest);
