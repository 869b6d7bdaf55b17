// The text search of the lists: from the current record onwards, never
// wrapping, back where it started when nothing is found.

#include "CatalogTestFixture.h"
#include "TDataLink.h"
#include "TO_Figures.h"
#include "TO_genres.h"

#include <QScopeGuard>

namespace {

class SearchTest : public OnEveryEngine<CatalogTestFixture> {
protected:
    // Genres in the order of their names.
    void OpenGenres(const QStringList& names) {
        Batch([&] {
            for (int i = 0; i < names.size(); ++i)
                AddGenre(QString("G%1").arg(i), names[i]);
        });
        Open(genres_, "genre_id", "genre_name");
    }

    bool Find(bool down, const QString& text) { return genres_.Search(down, {"genre_name"}, text); }

    TO_genres genres_;
};

// Counts what the list's controls are told.
class CountingLink : public TDataLink {
public:
    void ActiveChanged(TQuery&) override { ++told; }
    void DataSetChanged(TQuery&) override { ++told; }
    void RecordChanged(TQuery&) override { ++told; }
    void StateChanged(TQuery&) override { ++told; }
    int told = 0;
};

TEST_P(SearchTest, EmptyListFindsNothing) {
    OpenGenres({});
    EXPECT_FALSE(Find(true, "A"));
    EXPECT_FALSE(Find(false, "A"));
    EXPECT_TRUE(genres_.Q1.IsEmpty());
    EXPECT_EQ(-1, genres_.Q1.RecNo());
}

TEST_P(SearchTest, TextMatchesAnywhereInAnyLetterCase) {
    OpenGenres({"Ancient", "Colonial wars", "Medieval", "Napoleonic", "WWII"});
    EXPECT_TRUE(Find(true, "OLON"));
    EXPECT_EQ("Colonial wars", genres_.NameValue());
    // Repeating finds the next occurrence: "Napoleonic".
    EXPECT_TRUE(Find(true, "ON"));
    EXPECT_EQ("Napoleonic", genres_.NameValue());
    EXPECT_TRUE(Find(false, "ANC"));
    EXPECT_EQ("Ancient", genres_.NameValue());
    // A name holding only part of the text does not match.
    genres_.Q1.First();
    EXPECT_FALSE(Find(true, "MEDIEVAL TIMES"));
    EXPECT_EQ("Ancient", genres_.NameValue());
}

TEST_P(SearchTest, TheCurrentMatchAloneIsNotFoundAgain) {
    OpenGenres({"Ancient", "Medieval", "Napoleonic"});
    genres_.Q1.MoveTo(1);
    EXPECT_FALSE(Find(true, "EVAL"));
    EXPECT_EQ("Medieval", genres_.NameValue());
    EXPECT_FALSE(Find(false, "EVAL"));
    EXPECT_EQ("Medieval", genres_.NameValue());
}

TEST_P(SearchTest, TheEndsOfTheListAreSearchedButNeverPassed) {
    OpenGenres({"Ancient wars", "Medieval", "Napoleonic wars"});
    // The last and the first record are examined.
    EXPECT_TRUE(Find(true, "WARS"));
    EXPECT_EQ("Napoleonic wars", genres_.NameValue());
    // From the last while it matches: nothing beyond it, no wrap.
    EXPECT_FALSE(Find(true, "WARS"));
    EXPECT_EQ("Napoleonic wars", genres_.NameValue());
    EXPECT_TRUE(Find(false, "WARS"));
    EXPECT_EQ("Ancient wars", genres_.NameValue());
    EXPECT_FALSE(Find(false, "WARS"));
    EXPECT_EQ("Ancient wars", genres_.NameValue());
}

TEST_P(SearchTest, ColumnsAreTriedInTheirOrderIncludingDescriptions) {
    AddFigure("F1", "Archer", {{"sculpter_name", "Petrov"}});
    AddFigure("F2", "Grenadier", {{"figure_dsc", "Sculpted after Ivanov's drawing"}});
    AddFigure("F3", "Hussar", {{"painter_name", "Ivanova"}});
    TO_Figures figures;
    Open(figures, "figure_id", "figure_name");
    const QStringList columns{"figure_name", "figure_dsc", "sculpter_name", "painter_name"};
    EXPECT_TRUE(figures.Search(true, columns, "IVANOV"));
    EXPECT_EQ("F2", figures.KeyValue());
    EXPECT_TRUE(figures.Search(true, columns, "IVANOV"));
    EXPECT_EQ("F3", figures.KeyValue());
    EXPECT_TRUE(figures.Search(false, columns, "PETROV"));
    EXPECT_EQ("F1", figures.KeyValue());
    // A column the list does not have is an error, before anything moves.
    EXPECT_THROW(figures.Search(true, {"figure_name", "no_such_column"}, "X"), std::exception);
    EXPECT_EQ("F1", figures.KeyValue());
}

TEST_P(SearchTest, LongSearchesReadDescriptionsAsTheTableHoldsThem) {
    Batch([&] {
        for (int i = 0; i < 400; ++i)
            AddFigure(QString("F%1").arg(i, 3, 10, QChar('0')),
                      QString("Figure %1").arg(i, 3, 10, QChar('0')),
                      {{"figure_dsc", "Plain figure"}});
    });
    Exec("update figures set figure_dsc = ? where figure_id = 'F350'", {"Painted by Müller"});
    Exec("update figures set figure_dsc = ? where figure_id = 'F380'", {"Stand der Straße"});
    TO_Figures figures;
    Open(figures, "figure_id", "figure_name");
    // Changed after the list was opened: found as the table holds it now.
    Exec("update figures set figure_dsc = 'Changed later' where figure_id = 'F300'");
    const QStringList columns{"figure_name", "figure_dsc"};
    auto findFromFirst = [&](const QString& text) {
        figures.Q1.First();
        return figures.Search(true, columns, text) ? figures.KeyValue() : QString();
    };
    EXPECT_EQ("F300", findFromFirst("CHANGED LATER"));
    EXPECT_EQ("F350", findFromFirst(QString::fromUtf8("MÜLLER")));
    EXPECT_EQ("F380", findFromFirst("STRASSE"));
    EXPECT_EQ("", findFromFirst("PLAIN FIGURES"));
    EXPECT_EQ(0, figures.Q1.RecNo());
    figures.Q1.Last();
    EXPECT_TRUE(figures.Search(false, columns, "CHANGED"));
    EXPECT_EQ("F300", figures.KeyValue());
}

TEST_P(SearchTest, TheListShowsOnlyWhereTheSearchEnds) {
    QStringList names;
    for (int i = 0; i < 200; ++i)
        names << QString("Genre %1").arg(i, 3, 10, QChar('0'));
    OpenGenres(names);
    CountingLink link;
    genres_.Q1.AddLink(&link);
    const auto unlink = qScopeGuard([&] { genres_.Q1.RemoveLink(&link); });
    EXPECT_TRUE(Find(true, "GENRE 150"));
    EXPECT_EQ(150, genres_.Q1.RecNo());
    EXPECT_EQ(1, link.told);

    link.told = 0;
    EXPECT_FALSE(Find(true, "MISSING"));
    EXPECT_EQ(150, genres_.Q1.RecNo());
    EXPECT_EQ(1, link.told);
    genres_.Q1.RemoveLink(&link);
}

} // namespace

VELMORA_ON_EVERY_ENGINE(SearchTest);
