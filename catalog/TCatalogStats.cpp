#include "TCatalogStats.h"

#include "DatabaseStructure.h"
#include "TFigureCollection.h"
#include "TSqlStatement.h"

#include <QStringList>

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

// Every figure with its collection row, if it has one.
QString WithCollection() {
    return QStringLiteral("from figures f left outer join %1 c on (c.figure_id = f.figure_id)")
        .arg(QLatin1String(DatabaseStructure::CollectionTable));
}

// An amount column in whole cents; none counts 0.
QString CentsOf(const char* column) {
    return QStringLiteral("cast(round(coalesce(c.%1, 0) * 100) as integer)")
        .arg(QLatin1String(column));
}

} // namespace

qint64 TCatalogStats::Sum(const QString& expression) const {
    TSqlStatement statement(db_,
                            QStringLiteral("select sum(%1) %2").arg(expression, WithCollection()));
    return statement.Step() ? Number(statement, 0) : 0;
}

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

// Groups without a value come first on every engine.
std::vector<TStatBar> TCatalogStats::ByGenre() const {
    return Bars(
        QStringLiteral("select coalesce(g.genre_id, ''), coalesce(g.genre_name, ''), count(*) "
                       "from figures f left outer join genres g on (f.genre_id = g.genre_id) "
                       "group by g.genre_id, g.genre_name order by g.genre_name is not null, "
                       "g.genre_name, g.genre_id"));
}

std::vector<TStatBar> TCatalogStats::ByManufacturer() const {
    return Bars(QStringLiteral(
        "select coalesce(p.producer_id, ''), coalesce(p.producer_name, ''), count(*) "
        "from figures f left outer join producers p on (f.producer_id = p.producer_id) "
        "group by p.producer_id, p.producer_name order by p.producer_name is not null, "
        "p.producer_name, p.producer_id"));
}

std::vector<TStatBar> TCatalogStats::ByScale() const {
    return Bars(QStringLiteral("select coalesce(scale, ''), coalesce(scale, ''), count(*) "
                               "from figures group by scale order by scale is not null, scale"));
}

std::vector<TStatBar> TCatalogStats::ByType() const {
    return Bars(
        QStringLiteral("select coalesce(type_ci, ''), coalesce(type_ci, ''), count(*) "
                       "from figures group by type_ci order by type_ci is not null, type_ci"));
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

qint64 TCatalogStats::Pieces() const {
    return Sum(QStringLiteral("coalesce(c.collection_quantity, 1)"));
}

std::optional<double> TCatalogStats::FinishedShare() const {
    TSqlStatement statement(
        db_, QStringLiteral("select count(*), sum(case when c.collection_status = 'finished' "
                            "then 1 else 0 end) %1")
                 .arg(WithCollection()));
    if (!statement.Step())
        return std::nullopt;
    const qint64 figures = Number(statement, 0);
    if (figures == 0)
        return std::nullopt;
    return static_cast<double>(Number(statement, 1)) / static_cast<double>(figures);
}

qint64 TCatalogStats::PriceTotalCents() const {
    return Sum(CentsOf("collection_price"));
}

qint64 TCatalogStats::ValueTotalCents() const {
    return Sum(CentsOf("collection_value"));
}

std::vector<TStatBar> TCatalogStats::ByStatus() const {
    const std::vector<TStatBar> counted =
        Bars(QStringLiteral("select coalesce(c.collection_status, ''), '', count(*) %1 "
                            "group by c.collection_status order by c.collection_status is not "
                            "null, c.collection_status")
                 .arg(WithCollection()));
    const QStringList statuses = TFigureCollection::Statuses();
    std::vector<TStatBar> bars;
    for (const QString& status : statuses)
        bars.push_back({status, status, 0});
    std::vector<TStatBar> others;
    qint64 none = 0;
    for (const TStatBar& row : counted) {
        const QString status = row.key.trimmed();
        const qsizetype index = statuses.indexOf(status);
        if (status.isEmpty())
            none += row.figures;
        else if (index >= 0)
            bars[static_cast<std::size_t>(index)].figures += row.figures;
        else
            others.push_back({status, status, row.figures});
    }
    if (none > 0)
        bars.insert(bars.begin(), TStatBar{QString(), QString(), none});
    bars.insert(bars.end(), others.begin(), others.end());
    return bars;
}

std::vector<TStatBar> TCatalogStats::AcquiredPerYear() const {
    std::vector<TStatBar> bars =
        Bars(QStringLiteral("select substr(cast(c.collection_acquired as varchar(10)), 1, 4), "
                            "'', count(*) from figures f join %1 c on (c.figure_id = f.figure_id) "
                            "where c.collection_acquired is not null group by 1 order by 1")
                 .arg(QLatin1String(DatabaseStructure::CollectionTable)));
    std::erase_if(bars, [](const TStatBar& bar) { return bar.key.isEmpty(); });
    for (TStatBar& bar : bars)
        bar.label = bar.key;
    return bars;
}

QString TCatalogStats::Money(qint64 cents) {
    const qint64 whole = cents / 100;
    const qint64 part = cents % 100;
    return QStringLiteral("%1%2.%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(whole < 0 ? -whole : whole)
        .arg(part < 0 ? -part : part, 2, 10, QLatin1Char('0'));
}
