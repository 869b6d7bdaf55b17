#pragma once

#include <QString>

#include <optional>
#include <vector>

class EngineConnection;

// One bar of a statistic: the value figures are grouped by (a record key, a
// type or scale text, the first year of a century), the text shown for it
// and the number of figures.
struct TStatBar {
    QString key;
    QString label;
    qint64 figures = 0;

    bool operator==(const TStatBar&) const = default;
};

// The numbers of the statistics page and of velmora-tool stats, each one
// GROUP BY query on the catalog's connection. Figures whose genre or
// manufacturer key matches no row count under an empty key and label.
class TCatalogStats {
public:
    explicit TCatalogStats(EngineConnection* db) : db_(db) {}

    qint64 Figures() const;
    std::vector<TStatBar> ByGenre() const;
    std::vector<TStatBar> ByManufacturer() const;
    std::vector<TStatBar> ByScale() const;
    std::vector<TStatBar> ByType() const;
    // Figures per century their genre's epoch (TB to TE) touches: a figure
    // counts once in every such century. The key is the century's first
    // year (a multiple of 100, "-200" for -200 to -101), the label
    // "1100-1199". Genres without both years, or ending before they begin,
    // count nowhere.
    std::vector<TStatBar> ByCentury() const;

    // The figures' collection data. A figure without a collection row
    // counts as one piece with no status, no acquisition date and no money.
    //
    // Pieces: the sum of the figures' quantities.
    qint64 Pieces() const;
    // The figures whose status is "finished" over all figures, 0 to 1;
    // none in a catalog without figures.
    std::optional<double> FinishedShare() const;
    // The prices and values as entered for each figure (not multiplied by
    // its quantity), added up in whole cents so that no rounding drifts.
    qint64 PriceTotalCents() const;
    qint64 ValueTotalCents() const;
    // The seven statuses in their order, each with its number of figures
    // (also when none), after a bar of an empty key for figures without a
    // status when there are any; a status outside the seven follows them.
    std::vector<TStatBar> ByStatus() const;
    // Figures per year of their acquisition date, key and label the year;
    // figures without a date count nowhere.
    std::vector<TStatBar> AcquiredPerYear() const;

    // An amount in cents as a plain decimal with two places: "-1234.05".
    static QString Money(qint64 cents);

    // A century's label from its first year.
    static QString CenturyLabel(int firstYear);

private:
    // Rows of key, label, count.
    std::vector<TStatBar> Bars(const QString& sql) const;
    // The sum of expression over every figure with its collection row.
    qint64 Sum(const QString& expression) const;

    EngineConnection* db_;
};
