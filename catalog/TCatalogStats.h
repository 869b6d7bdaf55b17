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

    // What the catalog does not record yet: each empty until figures carry
    // their quantity, status, acquisition date, price and value.
    std::optional<qint64> Pieces() const;
    std::optional<double> FinishedShare() const;
    std::optional<double> PriceTotal() const;
    std::optional<double> ValueTotal() const;
    std::vector<TStatBar> ByStatus() const;
    std::vector<TStatBar> AcquiredPerYear() const;

    // A century's label from its first year.
    static QString CenturyLabel(int firstYear);

private:
    // Rows of key, label, count.
    std::vector<TStatBar> Bars(const QString& sql) const;

    EngineConnection* db_;
};
