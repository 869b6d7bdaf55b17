// Opening the figures list through the live query, against reading the same
// rows' text columns straight through the engine's C interface, in the same
// run. The figures table holds a 45 KB thumbnail in every row and a 200 KB
// picture in some, as a real catalog does. The catalog is made by an older
// program and upgraded by the structure check, as at a start.
//
// Reopening the figures list is also held against the plainest read of its
// text there is: the same columns selected from a copy of the table without
// its blobs.

#include "DatabaseStructure.h"
#include "FiguresCatalog.h"
#include "RatioReporter.h"
#include "RawSqlite.h"
#include "TDatabase.h"
#include "TField.h"
#include "TO_Figures.h"
#include "TQuery.h"
#include "TTable.h"
#include "TZunPigger.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <random>
#include <string>

namespace {

constexpr int FigureCount = FiguresCatalog::FigureCount;
constexpr int ThumbnailBytes = 45 * 1024;
constexpr int PictureBytes = 200 * 1024;
constexpr int PictureEvery = 33; // some 300 rows

QString DatabaseFile;

void BM_DatasetOpenFigures(benchmark::State& state) {
    long long characters = 0;
    for (auto _ : state) {
        TQuery query;
        query.SQL = TO_Figures::ListQuery();
        query.KeyField = QStringLiteral("figure_id");
        query.Open();
        TField name = query.FieldByName(QStringLiteral("figure_name"));
        while (!query.Eof()) {
            characters += name.AsString().size();
            query.Next();
        }
        if (query.RecordCount() != FigureCount)
            state.SkipWithError("wrong row count");
    }
    benchmark::DoNotOptimize(characters);
    state.SetItemsProcessed(state.iterations() * FigureCount);
}

void BM_Sqlite3TextColumns(benchmark::State& state) {
    FiguresCatalog::ReadTextColumns(state, DatabaseFile);
}

// What a grid scrolling through the whole list costs: every thumbnail read
// once, one row after another. Memory must not grow with the rows.
void BM_DatasetReadAllThumbnails(benchmark::State& state) {
    TQuery query;
    query.SQL = TO_Figures::ListQuery();
    query.KeyField = QStringLiteral("figure_id");
    query.Open();
    const int thumbnail = query.FieldIndex(QStringLiteral("picture_th"));
    long long bytes = 0;
    for (auto _ : state) {
        for (int row = 0; row < query.RecordCount(); ++row)
            bytes += query.ValueAt(row, thumbnail).toByteArray().size();
    }
    if (bytes != static_cast<long long>(state.iterations()) * FigureCount * ThumbnailBytes)
        state.SkipWithError("wrong thumbnail bytes");
    state.SetItemsProcessed(state.iterations() * FigureCount);
}

// The figures list as the main window sets it up, reopened on its middle
// record.
void BM_FiguresListReopen(benchmark::State& state) {
    TO_Figures list;
    list.KeyField = QStringLiteral("figure_id");
    list.NameField = QStringLiteral("figure_name");
    list.Q1.SQL = TO_Figures::FilteredQuery(QString());
    list.Reopen();
    list.Q1.MoveTo(FigureCount / 2);
    for (auto _ : state) {
        if (!list.Reopen() || list.Q1.RecordCount() != FigureCount)
            state.SkipWithError("reopen lost the list or its record");
    }
    state.SetItemsProcessed(state.iterations() * FigureCount);
}

void BM_Sqlite3TextCopy(benchmark::State& state) {
    FiguresCatalog::ReadTextColumns(state, DatabaseFile, FiguresCatalog::TextCopyTable);
}

BENCHMARK(BM_DatasetOpenFigures)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sqlite3TextColumns)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DatasetReadAllThumbnails)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FiguresListReopen)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sqlite3TextCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    TDatabase database(QStringLiteral("ADB"));
    database.DriverName = QStringLiteral("STANDARD");
    database.Params = {QStringLiteral("PATH=") + folder.path()};
    database.Open();
    DatabaseFile = database.FileName();
    FiguresCatalog::Create(
        RawSqlite(database),
        [](int, std::mt19937& random) {
            std::string thumbnail(ThumbnailBytes, '\0');
            for (char& byte : thumbnail)
                byte = static_cast<char>(random());
            return thumbnail;
        },
        [](int figure, std::mt19937& random) {
            std::string picture;
            if (figure % PictureEvery == 0) {
                picture.resize(PictureBytes);
                for (char& byte : picture)
                    byte = static_cast<char>(random());
            }
            return picture;
        });
    {
        TZunPigger structure;
        DatabaseStructure::Build(structure);
        TTable table;
        TQuery statements;
        DatabaseStructure::Check(structure, table, statements, {});
    }
    FiguresCatalog::CopyWithoutBlobs(RawSqlite(database));
    std::printf("%d figures, %d KB thumbnail each, %d KB picture in one row of %d; peak memory "
                "after setup %ld KB\n",
                FigureCount, ThumbnailBytes / 1024, PictureBytes / 1024, PictureEvery,
                FiguresCatalog::PeakKilobytes());
    const int result =
        RatioReporter::Main(argc, argv,
                            {{"open list vs raw text (>=1/3)", "BM_DatasetOpenFigures",
                              "BM_Sqlite3TextColumns", 1.0 / 3},
                             {"reopen list vs text of a blobless copy (>=1/2)",
                              "BM_FiguresListReopen", "BM_Sqlite3TextCopy", 1.0 / 2}});
    std::printf("peak memory (ru_maxrss) %ld KB\n", FiguresCatalog::PeakKilobytes());
    return result;
}
