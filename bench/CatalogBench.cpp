// The figures list as the main window uses it, against the engine's C
// interface in the same run: reopening the list over ten thousand figures
// with thumbnails, searching all of them for a missing text, and painting a
// page of panels with their thumbnails.

#include "RatioReporter.h"
#include "TDatabase.h"
#include "TO_Figures.h"
#include "TRecordGrid.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int FigureCount = 10000;
constexpr int ThumbnailSide = 123;

// The figures query as the main window builds it, without a filter.
const QStringList FiguresQuery = {"select",
                                  "   f.figure_id,",
                                  "   f.figure_name,",
                                  "   f.producer_id,",
                                  "   f.genre_id,",
                                  "   f.type_ci,",
                                  "   f.scale,",
                                  "   f.figure_dsc,",
                                  "   f.figure_files,",
                                  "   f.picture_th,",
                                  "   f.sculpter_name,",
                                  "   f.painter_name,",
                                  "   p.producer_name,",
                                  "   g.genre_name",
                                  "from figures f",
                                  "left outer join producers p on (f.producer_id = p.producer_id)",
                                  "left outer join genres g      on (f.genre_id = g.genre_id)",
                                  "",
                                  "order by f.figure_name"};

const char* const TextColumns =
    "select f.figure_id, f.figure_name, f.producer_id, f.genre_id, f.type_ci, f.scale, "
    "f.sculpter_name, f.painter_name, p.producer_name, g.genre_name\n"
    "from figures f\n"
    "left outer join producers p on (f.producer_id = p.producer_id)\n"
    "left outer join genres g      on (f.genre_id = g.genre_id)\n"
    "order by f.figure_name";

const QStringList SearchColumns = {"figure_name", "figure_dsc", "sculpter_name", "painter_name"};

QString DatabaseFile;

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void Run(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n%s\n", sql, error);
        std::exit(1);
    }
}

std::string Key(std::mt19937& random) {
    static const char digits[] = "0123456789ABCDEF";
    std::string key;
    for (int i = 0; i < 32; ++i)
        key += digits[random() % 16];
    return key;
}

std::string Words(std::mt19937& random, int count) {
    static const char* const words[] = {
        "Old",    "Guard", "Hussar",    "Lancer",   "Grenadier", "Voltigeur", "Dragoon",
        "Royal",  "Scots", "Greys",     "Imperial", "Marine",    "Chasseur",  "Cuirassier",
        "Polish", "Horse", "Artillery", "Officer",  "Drummer",   "Sapper"};
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i)
            text += ' ';
        text += words[random() % std::size(words)];
    }
    return text;
}

void Bind(sqlite3_stmt* stmt, int param, const std::string& text) {
    sqlite3_bind_text(stmt, param, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

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

// The catalog's tables with FigureCount figures, 50 producers and 30
// genres; now and then a producer or genre key that matches nothing.
void CreateDatabase(sqlite3* db) {
    Run(db, "create table figures (figure_id char(32), figure_name char(32), "
            "producer_id char(32), genre_id char(32), type_ci char(32), scale char(16), "
            "figure_dsc blob(1,1), figure_files blob(1,1), manual_sheme blob(1,1), "
            "picture_th blob(1,5), picture blob(1,5), sculpter_name char(32), "
            "painter_name char(32), prc_kit numeric(7,2), prc_pr numeric(7,2), "
            "prc_pe numeric(7,2), primary key (figure_id))");
    Run(db, "create table producers (producer_id char(32), producer_name char(32), "
            "producer_website char(64), producer_dsc blob(1,1), insert_time date, "
            "primary key (producer_id))");
    Run(db, "create table genres (genre_id char(32), genre_name char(32), RX integer, "
            "RY integer, RH integer, RW integer, TB integer, TE integer, "
            "location_shape char(2), primary key (genre_id))");
    Run(db, "create table add_pictures (add_picture_id char(32), add_picture_name char(32), "
            "figure_id char(32), picture_th blob(1,5), picture blob(1,5), "
            "primary key (add_picture_id))");
    Run(db, "begin");
    std::mt19937 random(7);
    std::vector<std::string> producers, genres;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "insert into producers (producer_id, producer_name) values (?, ?)", -1,
                       &stmt, nullptr);
    for (int i = 0; i < 50; ++i) {
        producers.push_back(Key(random));
        Bind(stmt, 1, producers.back());
        Bind(stmt, 2, Words(random, 2));
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_prepare_v2(db, "insert into genres (genre_id, genre_name) values (?, ?)", -1, &stmt,
                       nullptr);
    for (int i = 0; i < 30; ++i) {
        genres.push_back(Key(random));
        Bind(stmt, 1, genres.back());
        Bind(stmt, 2, Words(random, 2));
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);

    static const char* const types[] = {"cavalry", "infantry", "mini diorama", "other type"};
    static const char* const scales[] = {"15-mm", "20-mm", "54-mm", "70-mm", "90-mm", "120-mm"};
    sqlite3_prepare_v2(db,
                       "insert into figures (figure_id, figure_name, producer_id, genre_id, "
                       "type_ci, scale, figure_dsc, figure_files, picture_th, sculpter_name, "
                       "painter_name) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &stmt, nullptr);
    QByteArray thumbnail = ThumbnailBytes();
    const int pixels = 54; // the pixel rows start after the BMP headers
    for (int i = 0; i < FigureCount; ++i) {
        // Every thumbnail differs a little from the others.
        for (int b = pixels; b < thumbnail.size(); b += 97)
            thumbnail[b] = static_cast<char>(random());
        Bind(stmt, 1, Key(random));
        Bind(stmt, 2, Words(random, 3));
        Bind(stmt, 3, i % 97 ? producers[random() % producers.size()] : Key(random));
        Bind(stmt, 4, i % 89 ? genres[random() % genres.size()] : Key(random));
        Bind(stmt, 5, types[random() % std::size(types)]);
        Bind(stmt, 6, scales[random() % std::size(scales)]);
        Bind(stmt, 7, Words(random, 40));
        Bind(stmt, 8, "/home/collector/figures/notes.txt");
        sqlite3_bind_blob(stmt, 9, thumbnail.constData(), static_cast<int>(thumbnail.size()),
                          SQLITE_TRANSIENT);
        Bind(stmt, 10, Words(random, 2));
        Bind(stmt, 11, Words(random, 2));
        if (sqlite3_step(stmt) != SQLITE_DONE) {
            std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    Run(db, "commit");
}

// The figures list as the main window sets it up, open.
struct FiguresList {
    TO_Figures list;

    FiguresList() {
        list.KeyField = QStringLiteral("figure_id");
        list.NameField = QStringLiteral("figure_name");
        list.Q1.SQL = FiguresQuery;
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
    sqlite3* db = nullptr;
    sqlite3_open_v2(DatabaseFile.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    long long bytes = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, TextColumns, -1, &stmt, nullptr);
        int rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int column = 0; column < 10; ++column) {
                const unsigned char* text = sqlite3_column_text(stmt, column);
                bytes += sqlite3_column_bytes(stmt, column) + (text ? text[0] : 0);
            }
            ++rows;
        }
        sqlite3_finalize(stmt);
        if (rows != FigureCount)
            state.SkipWithError("wrong row count");
    }
    sqlite3_close(db);
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * FigureCount);
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
    CreateDatabase(database.Handle());
    std::printf("%d figures, a %d x %d 24-bit BMP thumbnail (%lld bytes) each; peak memory after "
                "setup %ld KB\n",
                FigureCount, ThumbnailSide, ThumbnailSide,
                static_cast<long long>(ThumbnailBytes().size()), PeakKilobytes());
    const int result = RatioReporter::Main(argc, argv,
                                           {{"reopen list vs raw text (>=1/3)", "BM_FiguresReopen",
                                             "BM_Sqlite3TextColumns", 1.0 / 3}});
    std::printf("peak memory (ru_maxrss) %ld KB\n", PeakKilobytes());
    return result;
}
