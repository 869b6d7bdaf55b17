// The figures list over a large catalog made by bench/make_catalog.py (by
// default 10,000 figures in a scratch folder; bench/large_list.sh runs it on
// 100,000 and on 10,000), against the engine's C interface in the same run:
// opening the list and showing its first panels, and a search with no hit
// through every record; then the process's peak memory after the list was
// opened and scrolled from its first panel to its last.
//
//     bench_large_list [--catalog=DATAFOLDER] [benchmark options]

#include "DatabaseStructure.h"
#include "FiguresCatalog.h"
#include "RatioReporter.h"
#include "TDatabase.h"
#include "TO_Figures.h"
#include "TQuery.h"
#include "TRecordGrid.h"
#include "TTable.h"
#include "TZunPigger.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const QStringList SearchColumns = {"figure_name", "figure_dsc", "sculpter_name", "painter_name"};
const QString Missing = QStringLiteral("NOWHERE TO BE FOUND");

QString DatabaseFile;
int FigureCount = 0;

// The figures list as the main window sets it up, open, two columns of
// panels on a page.
struct FiguresList {
    TO_Figures list;

    FiguresList() {
        list.KeyField = QStringLiteral("figure_id");
        list.NameField = QStringLiteral("figure_name");
        list.Q1.SQL = TO_Figures::FilteredQuery(QString());
        list.CGrid1->SetColCount(2);
        list.resize(2 * 181 + list.CGrid1->verticalScrollBar()->sizeHint().width(), 4 * 140);
        list.Reopen();
    }
};

// Opening the list and reading what its first page of panels shows.
void BM_OpenFiguresList(benchmark::State& state) {
    long long characters = 0;
    for (auto _ : state) {
        FiguresList figures;
        TQuery& query = figures.list.Q1;
        for (int row = 0; row < 8; ++row) {
            for (const char* column : {"figure_name", "genre_name", "scale", "producer_name"})
                characters += figures.list.RowText(row, QString::fromLatin1(column)).size();
        }
        if (query.RecordCount() != FigureCount)
            state.SkipWithError("wrong row count");
    }
    benchmark::DoNotOptimize(characters);
}

void BM_PlainTextSelect(benchmark::State& state) {
    FiguresCatalog::ReadTextColumns(state, DatabaseFile, "figures", FigureCount);
}

void BM_SearchNoHit(benchmark::State& state) {
    FiguresList figures;
    for (auto _ : state) {
        figures.list.Q1.First();
        if (figures.list.Search(true, SearchColumns, Missing) || figures.list.Q1.RecNo() != 0)
            state.SkipWithError("found the missing text, or moved");
    }
}

void BM_PlainLikeScan(benchmark::State& state) {
    std::vector<std::string> columns;
    for (const QString& column : SearchColumns)
        columns.push_back(column.toStdString());
    FiguresCatalog::LikeScan(state, DatabaseFile, columns, Missing.toStdString(), 0);
}

// Scrolling from the first panel to the last a page at a time, every panel
// painted with its thumbnail.
void BM_ScrollToEnd(benchmark::State& state) {
    FiguresList figures;
    TO_Figures& list = figures.list;
    list.show();
    QImage page(list.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        for (int record = 0; record < FigureCount; record += list.CGrid1->PanelCount()) {
            list.Q1.MoveTo(record);
            list.render(&page);
        }
        list.Q1.Last();
        list.render(&page);
    }
    state.counters["panels"] = list.CGrid1->PanelCount();
}

BENCHMARK(BM_OpenFiguresList)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainTextSelect)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchNoHit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainLikeScan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScrollToEnd)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir scratch;
    const QString folder = FiguresCatalog::MadeCatalogFolder(argc, argv, scratch.path());
    QApplication application(argc, argv);
    TDatabase database(QStringLiteral("ADB"));
    database.DriverName = QStringLiteral("STANDARD");
    database.Params = {QStringLiteral("PATH=") + folder};
    database.Open();
    DatabaseFile = database.FileName();
    {
        TZunPigger structure;
        DatabaseStructure::Build(structure);
        TTable table;
        TQuery statements;
        DatabaseStructure::Check(structure, table, statements, {});
        statements.SQL = QStringList{"select count(*) from figures"};
        statements.Open();
        FigureCount = statements.Value(0).toInt();
    }
    std::printf("%s: %d figures; peak memory after setup %ld KB\n", qPrintable(DatabaseFile),
                FigureCount, FiguresCatalog::PeakKilobytes());
    const int result = RatioReporter::Main(argc, argv,
                                           {{"open list vs plain select of its text (>=1/2)",
                                             "BM_OpenFiguresList", "BM_PlainTextSelect", 1.0 / 2},
                                            {"search with no hit vs plain LIKE scan (>=1/2)",
                                             "BM_SearchNoHit", "BM_PlainLikeScan", 1.0 / 2}});
    std::printf("peak memory (ru_maxrss) after opening the list and scrolling to its end: %ld KB "
                "(goal < 80 MB at 100,000 figures)\n",
                FiguresCatalog::PeakKilobytes());
    return result;
}
