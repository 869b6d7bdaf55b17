// Publishing a collector's catalog as a web site: the program's publish of
// every figure (its page, picture, JPEG thumbnail and genre map, then the
// genre and manufacturer pages, listings and the index with its search
// data) against copying the same pictures' bytes out of the database into
// files and writing as many pages of plain text, in the same run. Each
// iteration writes into a fresh, empty folder.

#include "BmpWriter.h"
#include "DatabaseStructure.h"
#include "FiguresCatalog.h"
#include "HtmlPageBuilder.h"
#include "RatioReporter.h"
#include "RawSqlite.h"
#include "SitePublisher.h"
#include "SyntheticJpeg.h"
#include "TDatabase.h"
#include "TQuery.h"
#include "TTable.h"
#include "TZunPigger.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Figures = 2000;
constexpr int Genres = 20;
constexpr int ThumbnailSide = 123;
// Distinct pictures and thumbnails the figures take in turn.
constexpr int Variants = 8;
constexpr int PictureWidth = 1000;
constexpr int PictureHeight = 750;

QString CatalogFile;
QString OursFolder;
QString ReferenceFolder;

// A photograph-like picture of about 200 KB: shading, a disc and grain.
QByteArray Picture(int variant) {
    std::uint32_t noise = 2463534242u + static_cast<std::uint32_t>(variant) * 7919u;
    const int cx = 200 + variant * 70;
    const int cy = 250 + variant * 30;
    return SyntheticJpeg(PictureWidth, PictureHeight, 90, [&](int y, std::uint8_t* row) {
        for (int x = 0; x < PictureWidth; ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const int dx = x - cx;
            const int dy = y - cy;
            const int shape = dx * dx + dy * dy < 160 * 160 ? 50 : 0;
            const int weave = ((x / 3 + y / 5) % 7 + (x / 11 - y / 7 + 1000) % 5) * 2;
            const int grain = static_cast<int>(noise % 17) - 8;
            const int base[3] = {60 + y / 8 + variant * 5, 90 + x / 12, 200 - y / 6};
            for (int c = 0; c < 3; ++c) {
                const int value = base[c] + shape * (c + 1) / 2 + weave + grain;
                row[x * 3 + c] = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
            }
        }
    });
}

QByteArray Thumbnail(int variant) {
    QImage image(ThumbnailSide, ThumbnailSide, QImage::Format_RGB888);
    for (int y = 0; y < ThumbnailSide; ++y)
        for (int x = 0; x < ThumbnailSide; ++x)
            image.setPixelColor(x, y, QColor((x * 2 + variant * 30) % 256, y * 2, 128));
    return BitmapToBmpBytes(image);
}

void Run(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n%s\n", sql, error);
        std::exit(1);
    }
}

// Every genre gets years and a place on the map; figures whose genre key
// matches nothing are given a genre, so that the export draws one map a
// genre.
void PlaceGenres(sqlite3* db) {
    Run(db, "update genres set TB = 1000 + (rowid % 9) * 100, TE = 1100 + (rowid % 9) * 100, "
            "RX = 20 + (rowid * 37) % 300, RY = 60 + (rowid * 23) % 150, RW = 12 + rowid % 20, "
            "RH = 8 + rowid % 15, location_shape = case when rowid % 2 = 0 then 'RR' end");
    Run(db, "update figures set genre_id = (select genre_id from genres "
            "where genres.rowid = 1 + figures.rowid % 20) "
            "where genre_id not in (select genre_id from genres)");
}

void FreshFolder(const QString& folder) {
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        std::exit(1);
    }
    // Nothing of the last iteration is left to be written back meanwhile.
    sync();
}

void BM_SitePublish(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        FreshFolder(OursFolder);
        state.ResumeTiming();
        SitePublisher publisher(OursFolder, {});
        if (!publisher.Publish() || publisher.FigurePages() != Figures ||
            publisher.MapsWritten() != Genres)
            state.SkipWithError("not every page or map was written");
    }
    state.SetItemsProcessed(state.iterations() * Figures);
}

bool WriteBytes(const std::string& fileName, const void* bytes, std::size_t size) {
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

void BM_CopyPicturesAndPages(benchmark::State& state) {
    const std::string folder = QFile::encodeName(ReferenceFolder).toStdString();
    const std::string images = folder + "/images";
    // A page as long as the program's: its template with the texts added.
    const std::string page =
        HtmlPageBuilder::PageTemplate().join(QStringLiteral("\r\n")).toStdString();
    for (auto _ : state) {
        state.PauseTiming();
        FreshFolder(ReferenceFolder + QStringLiteral("/images"));
        state.ResumeTiming();
        sqlite3* db = nullptr;
        sqlite3_stmt* stmt = nullptr;
        sqlite3_open_v2(QFile::encodeName(CatalogFile).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr);
        sqlite3_prepare_v2(db,
                           "select figure_name, figure_dsc, picture from figures "
                           "order by figure_name, figure_id",
                           -1, &stmt, nullptr);
        int rows = 0;
        bool written = true;
        std::string text;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const std::string number = std::to_string(rows++);
            written =
                written && WriteBytes(images + "/" + number + ".jpg", sqlite3_column_blob(stmt, 2),
                                      static_cast<std::size_t>(sqlite3_column_bytes(stmt, 2)));
            text = page;
            for (int column : {0, 1}) {
                const auto* value =
                    reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
                text += value ? value : "";
                text += "\r\n";
            }
            written =
                written && WriteBytes(folder + "/" + number + ".html", text.data(), text.size());
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        if (rows != Figures || !written)
            state.SkipWithError("not every picture or page was written");
    }
    state.SetItemsProcessed(state.iterations() * Figures);
}

BENCHMARK(BM_SitePublish)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_CopyPicturesAndPages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    // The placeholder picture needs the platform's fonts; without a display
    // the offscreen platform serves.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTemporaryDir folder;
    const QDir root(folder.path());
    root.mkdir(QStringLiteral("catalog"));
    OursFolder = root.filePath(QStringLiteral("ours"));
    ReferenceFolder = root.filePath(QStringLiteral("reference"));

    std::vector<std::string> pictures;
    std::vector<std::string> thumbnails;
    for (int i = 0; i < Variants; ++i) {
        pictures.push_back(Picture(i).toStdString());
        thumbnails.push_back(Thumbnail(i).toStdString());
    }

    TDatabase database(QStringLiteral("ADB"));
    database.DriverName = QStringLiteral("STANDARD");
    database.Params = {QStringLiteral("PATH=") + root.filePath(QStringLiteral("catalog"))};
    database.Open();
    CatalogFile = database.FileName();
    FiguresCatalog::Create(
        RawSqlite(database),
        [&thumbnails](int figure, std::mt19937&) { return thumbnails[figure % Variants]; },
        [&pictures](int figure, std::mt19937&) { return pictures[figure % Variants]; }, Figures,
        Genres);
    PlaceGenres(RawSqlite(database));
    {
        TZunPigger structure;
        DatabaseStructure::Build(structure);
        TTable table;
        TQuery statements;
        DatabaseStructure::Check(structure, table, statements, {});
    }
    std::printf("%d figures in %d genres, %d x %d thumbnail (%lld bytes) and %d x %d picture "
                "(%lld KB) each\n",
                Figures, Genres, ThumbnailSide, ThumbnailSide,
                static_cast<long long>(thumbnails[0].size()), PictureWidth, PictureHeight,
                static_cast<long long>(pictures[0].size() / 1024));
    return RatioReporter::Main(
        argc, argv,
        {{"publish as a web site (>=0.67)", "BM_SitePublish", "BM_CopyPicturesAndPages", 0.67}});
}
