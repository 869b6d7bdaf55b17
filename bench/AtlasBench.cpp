// The atlas of the genres drawn at 1600 x 900 over a catalog of 100,000
// figures, against drawing the world map alone and the same rectangles and
// ellipses with plain painter calls in the same run; and, for the record,
// counting the genres' figures and finished figures.

#include "DatabaseStructure.h"
#include "FiguresCatalog.h"
#include "RatioReporter.h"
#include "RawSqlite.h"
#include "TAtlas.h"
#include "TDatabase.h"
#include "TQuery.h"
#include "TTable.h"
#include "TWorldMap.h"
#include "TZunPigger.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
// Reaches SQLite itself: the 100,000-figure catalog is filled in one
// plain transaction, which is setup and not what is measured.
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int Figures = 100000;
constexpr int Genres = 30;
const QSize Size(1600, 900);

EngineConnection* Connection() {
    return TDatabase::Connected(QStringLiteral("ADB")).Handle();
}

void BM_DrawAtlas(benchmark::State& state) {
    TAtlas atlas(TAtlas::ReadGenres(Connection()));
    QImage canvas(Size, QImage::Format_RGB32);
    for (auto _ : state) {
        atlas.Layout(QSizeF(Size));
        QPainter painter(&canvas);
        atlas.Draw(painter);
    }
}

// The map and the atlas's own rectangles and ellipses with their colours,
// drawn as directly as the painter allows.
void BM_PlainMapAndShapes(benchmark::State& state) {
    TAtlas atlas(TAtlas::ReadGenres(Connection()));
    atlas.Layout(QSizeF(Size));
    struct Shape {
        QRectF bar;
        QRectF marker;
        QColor colour;
    };
    std::vector<Shape> shapes;
    for (int i = 0; i < static_cast<int>(atlas.Genres().size()); ++i)
        shapes.push_back({atlas.Bar(i), atlas.Marker(i), atlas.MarkerColour(i)});
    const QImage map = TWorldMap::Picture().convertToFormat(QImage::Format_RGB32);
    const QRectF mapArea = atlas.MapArea();
    QImage canvas(Size, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&canvas);
        painter.fillRect(canvas.rect(), Qt::white);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(mapArea, map);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(60, 60, 60), 1));
        for (const Shape& shape : shapes) {
            painter.setBrush(shape.colour);
            painter.drawRect(shape.bar);
            painter.drawEllipse(shape.marker);
        }
    }
}

void BM_ReadAtlasCounts(benchmark::State& state) {
    for (auto _ : state) {
        const auto genres = TAtlas::ReadGenres(Connection());
        if (genres.size() != Genres)
            state.SkipWithError("genres lost");
    }
}

BENCHMARK(BM_DrawAtlas)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainMapAndShapes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadAtlasCounts)->Unit(benchmark::kMillisecond)->UseRealTime();

void Run(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n%s\n", sql, sqlite3_errmsg(db));
        std::exit(1);
    }
}

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
    const auto none = [](int, std::mt19937&) { return std::string(); };
    FiguresCatalog::Create(RawSqlite(database), none, none, Figures, Genres);
    {
        TZunPigger structure;
        DatabaseStructure::Build(structure);
        TTable table;
        TQuery statements;
        DatabaseStructure::Check(structure, table, statements, {});
    }
    // Places and epochs spread over the map and the time line, and a
    // status for most figures, one in three finished.
    sqlite3* db = RawSqlite(database);
    Run(db, "update genres set RX = 14 + abs(random()) % 320, RY = 56 + abs(random()) % 150, "
            "RW = 30, RH = 20, TB = abs(random()) % 2000 - 500");
    Run(db, "update genres set TE = TB + 20 + abs(random()) % 400");
    Run(db, "insert into figure_collection (figure_id, collection_status) "
            "select figure_id, case abs(random()) % 3 when 0 then 'finished' else 'primed' end "
            "from figures where abs(random()) % 10 <> 0");
    std::printf("%d figures in %d genres, drawn at %d x %d\n", Figures, Genres, Size.width(),
                Size.height());
    return RatioReporter::Main(
        argc, argv,
        {{"atlas vs plain map and shapes (>=0.5)", "BM_DrawAtlas", "BM_PlainMapAndShapes", 0.5}});
}
