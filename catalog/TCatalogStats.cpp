#include "TCatalogStats.h"

#include "TSqlStatement.h"

namespace {

// Epoch years beyond these are clamped, so that a stray year does not make
// millions of centuries.
constexpr int EarliestYear = -10000;
constexpr int LatestYear = 10000;

QString Text(const TSqlStatement& statement, int column) {
    return QString::fromUtf8(statement.ColumnBytes(column).toByteArray());
}

qint64 Number(const TSqlStatement& statement, int column) {
    return statement.ColumnBytes(column).toByteArray().toLongLong();
}

// An expression clamping the integer column to the years kept.
QString Clamped(const char* column) {
    return QStringLiteral("case when %1 < %2 then %2 when %1 > %3 then %3 else %1 end")
        .arg(QLatin1String(column))
        .arg(EarliestYear)
        .arg(LatestYear);
}

// The first year of the century holding year: year rounded down to a
// multiple of 100 (integer division truncates towards zero).
QString CenturyStart(const QString& year) {
    return QStringLiteral(
               "(case when (%1) % 100 < 0 then (%1) / 100 - 1 else (%1) / 100 end) * 100")
        .arg(year);
}

} // namespace

std::vector<TStatBar> TCatalogStats::Bars(const QString& sql) const {
    TSqlStatement statement(db_, sql);
    std::vector<TStatBar> bars;
    while (statement.Step())
        bars.push_back({Text(statement, 0), Text(statement, 1), Number(statement, 2)});
    return bars;
}

qint64 TCatalogStats::Figures() const {
    TSqlStatement statement(db_, QStringLiteral("select count(*) from figures"));
    return statement.Step() ? Number(statement, 0) : 0;
}

std::vector<TStatBar> TCatalogStats::ByGenre() const {
    return Bars(
        QStringLiteral("select coalesce(g.genre_id, ''), coalesce(g.genre_name, ''), count(*) "
                       "from figures f left outer join genres g on (f.genre_id = g.genre_id) "
                       "group by g.genre_id, g.genre_name order by g.genre_name, g.genre_id"));
}

std::vector<TStatBar> TCatalogStats::ByManufacturer() const {
    return Bars(QStringLiteral(
        "select coalesce(p.producer_id, ''), coalesce(p.producer_name, ''), count(*) "
        "from figures f left outer join producers p on (f.producer_id = p.producer_id) "
        "group by p.producer_id, p.producer_name order by p.producer_name, p.producer_id"));
}

std::vector<TStatBar> TCatalogStats::ByScale() const {
    return Bars(QStringLiteral("select coalesce(scale, ''), coalesce(scale, ''), count(*) "
                               "from figures group by scale order by scale"));
}

std::vector<TStatBar> TCatalogStats::ByType() const {
    return Bars(QStringLiteral("select coalesce(type_ci, ''), coalesce(type_ci, ''), count(*) "
                               "from figures group by type_ci order by type_ci"));
}

std::vector<TStatBar> TCatalogStats::ByCentury() const {
    // Every genre's centuries, one row each, counted against its figures.
    const QString sql =
        QStringLiteral("with recursive centuries(genre_id, first_year, last_year) as ("
                       " select genre_id, %1, %2 from genres"
                       " where TB is not null and TE is not null and TB <= TE"
                       " union all"
                       " select genre_id, first_year + 100, last_year from centuries"
                       " where first_year + 100 <= last_year) "
                       "select c.first_year, count(*) from figures f"
                       " join centuries c on (c.genre_id = f.genre_id)"
                       " group by c.first_year order by c.first_year")
            .arg(CenturyStart(Clamped("TB")), Clamped("TE"));
    TSqlStatement statement(db_, sql);
    std::vector<TStatBar> bars;
    while (statement.Step()) {
        const qint64 firstYear = Number(statement, 0);
        bars.push_back({QString::number(firstYear), CenturyLabel(static_cast<int>(firstYear)),
                        Number(statement, 1)});
    }
    return bars;
}

QString TCatalogStats::CenturyLabel(int firstYear) {
    return QStringLiteral("%1-%2").arg(firstYear).arg(firstYear + 99);
}

std::optional<qint64> TCatalogStats::Pieces() const {
    return std::nullopt;
}

std::optional<double> TCatalogStats::FinishedShare() const {
    return std::nullopt;
}

std::optional<double> TCatalogStats::PriceTotal() const {
    return std::nullopt;
}

std::optional<double> TCatalogStats::ValueTotal() const {
    return std::nullopt;
}

std::vector<TStatBar> TCatalogStats::ByStatus() const {
    return {};
}

std::vector<TStatBar> TCatalogStats::AcquiredPerYear() const {
    return {};
}
