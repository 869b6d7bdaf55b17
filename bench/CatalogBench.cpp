// The figures list as the main window uses it, against the engine's C
// interface in the same run: reopening the list over ten thousand figures
// with thumbnails, searching all of them for a missing text, and painting a
// page of panels with their thumbnails. The catalog is upgraded by the
// structure check, as at a start.

#include "DatabaseStructure.h"
#include "FiguresCatalog.h"
#include "RatioReporter.h"
#include "RawSqlite.h"
#include "TDatabase.h"
#include "TO_Figures.h"
#include "TQuery.h"
#include "TRecordGrid.h"
#include "TTable.h"
#include "TZunPigger.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int FigureCount = FiguresCatalog::FigureCount;
constexpr int ThumbnailSide = 123;

const QStringList SearchColumns = {"figure_name", "figure_dsc", "sculpter_name", "painter_name"};

QString DatabaseFile;

// A 24-bit BMP file of ThumbnailSide squared pixels, as thumbnails are kept.
QByteArray ThumbnailBytes() {
    QImage picture(ThumbnailSide, ThumbnailSide, QImage::Format_RGB888);
    picture.fill(QColor(120, 90, 60));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    return bytes;
}

// The figures list as the main window sets it up, open.
struct FiguresList {
    TO_Figures list;

    FiguresList() {
        list.KeyField = QStringLiteral("figure_id");
        list.NameField = QStringLiteral("figure_name");
        list.Q1.SQL = TO_Figures::FilteredQuery(QString());
        list.Reopen();
    }
};

void BM_FiguresReopen(benchmark::State& state) {
    FiguresList figures;
    figures.list.Q1.MoveTo(FigureCount / 2);
    for (auto _ : state) {
        if (!figures.list.Reopen() || figures.list.Q1.RecordCount() != FigureCount)
            state.SkipWithError("reopen lost the list or its record");
    }
    state.SetItemsProcessed(state.iterations() * FigureCount);
}

void BM_Sqlite3TextColumns(benchmark::State& state) {
    FiguresCatalog::ReadTextColumns(state, DatabaseFile);
}

// The main window's figure search through every record, descriptions
// included, for a text no record holds.
void BM_SearchMissing(benchmark::State& state) {
    FiguresList figures;
    for (auto _ : state) {
        figures.list.Q1.First();
        if (figures.list.Search(true, SearchColumns, QStringLiteral("NOWHERE TO BE FOUND")) ||
            figures.list.Q1.RecNo() != 0)
            state.SkipWithError("found the missing text, or moved");
    }
    state.SetItemsProcessed(state.iterations() * FigureCount);
}

// A page of panels (two columns of 181 x 140, as in the main window) painted
// after paging on: every thumbnail on it read and decoded anew.
void BM_PaintPageOfFigures(benchmark::State& state) {
    FiguresList figures;
    TO_Figures& list = figures.list;
    list.CGrid1->SetColCount(2);
    list.resize(2 * 181 + list.CGrid1->verticalScrollBar()->sizeHint().width(), 4 * 140);
    list.show();
    QImage page(list.size(), QImage::Format_RGB32);
    int record = 0;
    for (auto _ : state) {
        list.Q1.MoveTo(record);
        list.render(&page);
        record = (record + list.CGrid1->PanelCount()) % FigureCount;
    }
    state.counters["panels"] = list.CGrid1->PanelCount();
}

BENCHMARK(BM_FiguresReopen)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sqlite3TextColumns)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchMissing)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintPageOfFigures)->Unit(benchmark::kMillisecond)->UseRealTime();

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
        [thumbnail = ThumbnailBytes()](int, std::mt19937& random) mutable {
            // Every thumbnail differs a little from the others; the pixel
            // rows start after the 54 bytes of BMP headers.
            for (int b = 54; b < thumbnail.size(); b += 97)
                thumbnail[b] = static_cast<char>(random());
            return thumbnail.toStdString();
        },
        [](int, std::mt19937&) { return std::string(); });
    {
        TZunPigger structure;
        DatabaseStructure::Build(structure);
        TTable table;
        TQuery statements;
        DatabaseStructure::Check(structure, table, statements, {});
    }
    std::printf("%d figures, a %d x %d 24-bit BMP thumbnail (%lld bytes) each; peak memory after "
                "setup %ld KB\n",
                FigureCount, ThumbnailSide, ThumbnailSide,
                static_cast<long long>(ThumbnailBytes().size()), FiguresCatalog::PeakKilobytes());
    const int result = RatioReporter::Main(argc, argv,
                                           {{"reopen list vs raw text (>=1/3)", "BM_FiguresReopen",
                                             "BM_Sqlite3TextColumns", 1.0 / 3}});
    std::printf("peak memory (ru_maxrss) %ld KB\n", FiguresCatalog::PeakKilobytes());
    return result;
}
