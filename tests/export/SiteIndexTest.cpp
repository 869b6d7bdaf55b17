#include "SiteIndex.h"

#include <gtest/gtest.h>

namespace {

SiteFigure Figure(const QString& key, const QString& name, const QString& genre = {}) {
    SiteFigure figure;
    figure.key = key;
    figure.name = name;
    figure.genreKey = genre;
    return figure;
}

QStringList Sorted(const QStringList& names, const QLocale& locale) {
    QList<SiteFigure> figures;
    for (const QString& name : names)
        figures.append(Figure(QString::number(figures.size()), name));
    const SiteIndex index(figures, {}, {}, locale);
    QStringList sorted;
    for (int figure : index.Order())
        sorted << figures[figure].name;
    return sorted;
}

TEST(SiteIndex, NamesSortByTheLanguagesRules) {
    const struct {
        QLocale::Language language;
        QStringList names;
        QStringList sorted;
    } cases[] = {
        {QLocale::English,
         {"Zulu", "Éclair", "archer", "Berg", "Eagle"},
         {"archer", "Berg", "Eagle", "Éclair", "Zulu"}},
        {QLocale::German, {"Zwerg", "Ärmel", "Apfel", "Bär"}, {"Apfel", "Ärmel", "Bär", "Zwerg"}},
        {QLocale::Russian, {"Жук", "Есаул", "Ёж", "Гусар"}, {"Гусар", "Ёж", "Есаул", "Жук"}},
        {QLocale::English, {"Grenadier 10", "Grenadier 9"}, {"Grenadier 9", "Grenadier 10"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Sorted(c.names, QLocale(c.language)), c.sorted)
            << c.names.join(' ').toStdString();
}

TEST(SiteIndex, GroupsFollowTheEpochWithUngroupedLast) {
    QList<SiteFigure> figures{Figure("1", "Legionary", "rome"), Figure("2", "Hoplite", "greece"),
                              Figure("3", "Stray", ""), Figure("4", "Centurion", "rome"),
                              Figure("5", "Lost", "gone")};
    const QList<SiteGenre> genres{{"rome", "Rome", "200 B.C. - 400", -200, 400},
                                  {"greece", "Greece", "700 B.C. - 100 B.C.", -700, -100},
                                  {"empty", "Empty", "900 B.C. - 0", -900, 0}};
    const SiteIndex index(figures, genres, {}, QLocale(QLocale::English));
    QStringList groups;
    for (const SiteGroup& group : index.ByGenre()) {
        QStringList names;
        for (int figure : group.figures)
            names << figures[figure].name;
        groups << group.title + ": " + names.join(", ");
    }
    EXPECT_EQ(groups, QStringList({"Greece: Hoplite", "Rome: Centurion, Legionary",
                                   "Without genre: Lost, Stray"}));
}

} // namespace
