// Every number of the statistics page over a large catalog made by
// bench/make_catalog.py (by default 10,000 figures in a scratch folder; give
// --catalog=DATAFOLDER for one of 100,000), against the same GROUP BY
// statements stepped through the engine's C interface on the same
// connection in the same run.
//
//     bench_stats [--catalog=DATAFOLDER] [benchmark options]

#include "DatabaseStructure.h"
#include "FiguresCatalog.h"
#include "RatioReporter.h"
#include "RawSqlite.h"
#include "TCatalogStats.h"
#include "TDatabase.h"
#include "TQuery.h"
#include "TTable.h"
#include "TZunPigger.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
// Reaches SQLite itself: the reference runs the same GROUP BY queries
// straight on the engine, without the catalog's classes in between.
#include <sqlite3.h>

#include <cstdio>

namespace {

TDatabase* Catalog = nullptr;

// What the page reads: the totals and every chart's bars.
void BM_CatalogStats(benchmark::State& state) {
    const TCatalogStats stats(Catalog->Handle());
    qint64 sum = 0;
    for (auto _ : state) {
        sum += stats.Figures() + stats.Pieces() + stats.PriceTotalCents() + stats.ValueTotalCents();
        sum += static_cast<qint64>(stats.FinishedShare().value_or(0) * 1000);
        for (const auto& bars :
             {stats.ByGenre(), stats.ByManufacturer(), stats.ByScale(), stats.ByType(),
              stats.ByCentury(), stats.ByStatus(), stats.AcquiredPerYear()})
            for (const TStatBar& bar : bars)
                sum += bar.figures + bar.key.size() + bar.label.size();
    }
    benchmark::DoNotOptimize(sum);
}

// The same statements as they would be written by hand, each row's
// columns read as text and integers.
const char* const PlainStatements[] = {
    "select count(*) from figures",
    "select sum(coalesce(c.collection_quantity, 1)) from figures f left outer join "
    "figure_collection c on (c.figure_id = f.figure_id)",
    "select count(*), sum(case when c.collection_status = 'finished' then 1 else 0 end) from "
    "figures f left outer join figure_collection c on (c.figure_id = f.figure_id)",
    "select sum(cast(round(coalesce(c.collection_price, 0) * 100) as integer)) from figures f "
    "left outer join figure_collection c on (c.figure_id = f.figure_id)",
    "select sum(cast(round(coalesce(c.collection_value, 0) * 100) as integer)) from figures f "
    "left outer join figure_collection c on (c.figure_id = f.figure_id)",
    "select coalesce(g.genre_id, ''), coalesce(g.genre_name, ''), count(*) from figures f left "
    "outer join genres g on (f.genre_id = g.genre_id) group by g.genre_id, g.genre_name order "
    "by g.genre_name, g.genre_id",
    "select coalesce(p.producer_id, ''), coalesce(p.producer_name, ''), count(*) from figures f "
    "left outer join producers p on (f.producer_id = p.producer_id) group by p.producer_id, "
    "p.producer_name order by p.producer_name, p.producer_id",
    "select coalesce(scale, ''), coalesce(scale, ''), count(*) from figures group by scale order "
    "by scale",
    "select coalesce(type_ci, ''), coalesce(type_ci, ''), count(*) from figures group by type_ci "
    "order by type_ci",
    "with recursive centuries(genre_id, first_year, last_year) as (select genre_id, (case when "
    "(case when TB < -10000 then -10000 when TB > 10000 then 10000 else TB end) % 100 < 0 then "
    "(case when TB < -10000 then -10000 when TB > 10000 then 10000 else TB end) / 100 - 1 else "
    "(case when TB < -10000 then -10000 when TB > 10000 then 10000 else TB end) / 100 end) * "
    "100, case when TE < -10000 then -10000 when TE > 10000 then 10000 else TE end from genres "
    "where TB is not null and TE is not null and TB <= TE union all select genre_id, first_year "
    "+ 100, last_year from centuries where first_year + 100 <= last_year) select c.first_year, "
    "count(*) from figures f join centuries c on (c.genre_id = f.genre_id) group by "
    "c.first_year order by c.first_year",
    "select coalesce(c.collection_status, ''), '', count(*) from figures f left outer join "
    "figure_collection c on (c.figure_id = f.figure_id) group by c.collection_status order by "
    "c.collection_status",
    "select substr(cast(c.collection_acquired as varchar(10)), 1, 4), '', count(*) from figures f "
    "join figure_collection c on (c.figure_id = f.figure_id) where c.collection_acquired is not "
    "null group by 1 order by 1",
};

void BM_PlainGroupBy(benchmark::State& state) {
    sqlite3* db = RawSqlite(*Catalog);
    long long sum = 0;
    for (auto _ : state) {
        for (const char* sql : PlainStatements) {
            sqlite3_stmt* statement = nullptr;
            if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
                state.SkipWithError(sqlite3_errmsg(db));
                return;
            }
            while (sqlite3_step(statement) == SQLITE_ROW) {
                const int columns = sqlite3_column_count(statement);
                for (int column = 0; column + 1 < columns; ++column)
                    sum += sqlite3_column_bytes(statement, column);
                sum += sqlite3_column_int64(statement, columns - 1);
            }
            sqlite3_finalize(statement);
        }
    }
    benchmark::DoNotOptimize(sum);
}

BENCHMARK(BM_CatalogStats)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainGroupBy)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir scratch;
    const QString folder = FiguresCatalog::MadeCatalogFolder(argc, argv, scratch.path());
    QCoreApplication application(argc, argv);
    TDatabase database(QStringLiteral("ADB"));
    database.DriverName = QStringLiteral("STANDARD");
    database.Params = {QStringLiteral("PATH=") + folder};
    database.Open();
    Catalog = &database;
    {
        TZunPigger structure;
        DatabaseStructure::Build(structure);
        TTable table;
        TQuery statements;
        DatabaseStructure::Check(structure, table, statements, {});
    }
    std::printf("%s: %lld figures\n", qPrintable(database.FileName()),
                static_cast<long long>(TCatalogStats(database.Handle()).Figures()));
    return RatioReporter::Main(argc, argv,
                               {{"every statistic vs the same GROUP BY statements (>=1/1.5)",
                                 "BM_CatalogStats", "BM_PlainGroupBy", 1.0 / 1.5}});
}
