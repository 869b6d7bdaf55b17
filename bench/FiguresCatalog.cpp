#include "FiguresCatalog.h"

#include <QProcess>

// Reaches SQLite itself: the catalog is written, and its text read as the
// reference, through the engine's C interface.
#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string TextColumns(const char* figuresTable) {
    return std::string("select f.figure_id, f.figure_name, f.producer_id, f.genre_id, f.type_ci, "
                       "f.scale, f.sculpter_name, f.painter_name, p.producer_name, g.genre_name, "
                       "c.collection_status\n"
                       "from ") +
           figuresTable +
           " f\n"
           "left outer join producers p on (f.producer_id = p.producer_id)\n"
           "left outer join genres g      on (f.genre_id = g.genre_id)\n"
           "left outer join figure_collection c on (f.figure_id = c.figure_id)\n"
           "order by f.figure_name";
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

void BindBlob(sqlite3_stmt* stmt, int param, const std::string& bytes) {
    if (bytes.empty())
        sqlite3_bind_null(stmt, param);
    else
        sqlite3_bind_blob(stmt, param, bytes.data(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT);
}

void Step(sqlite3* db, sqlite3_stmt* stmt) {
    if (sqlite3_step(stmt) != SQLITE_DONE) {
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
    sqlite3_reset(stmt);
}

// Rows of (key, two words) into a two-column table; their keys.
std::vector<std::string> AddNamed(sqlite3* db, const char* insert, int count,
                                  std::mt19937& random) {
    std::vector<std::string> keys;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, insert, -1, &stmt, nullptr);
    for (int i = 0; i < count; ++i) {
        keys.push_back(Key(random));
        Bind(stmt, 1, keys.back());
        Bind(stmt, 2, Words(random, 2));
        Step(db, stmt);
    }
    sqlite3_finalize(stmt);
    return keys;
}

} // namespace

void FiguresCatalog::Create(sqlite3* db, const BlobMaker& thumbnail, const BlobMaker& picture,
                            int figures, int genres) {
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
    const std::vector<std::string> producers = AddNamed(
        db, "insert into producers (producer_id, producer_name) values (?, ?)", 50, random);
    const std::vector<std::string> genreKeys =
        AddNamed(db, "insert into genres (genre_id, genre_name) values (?, ?)", genres, random);

    static const char* const types[] = {"cavalry", "infantry", "mini diorama", "other type"};
    static const char* const scales[] = {"15-mm", "20-mm", "54-mm", "70-mm", "90-mm", "120-mm"};
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into figures (figure_id, figure_name, producer_id, genre_id, "
                       "type_ci, scale, figure_dsc, figure_files, picture_th, picture, "
                       "sculpter_name, painter_name) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &stmt, nullptr);
    for (int i = 0; i < figures; ++i) {
        Bind(stmt, 1, Key(random));
        Bind(stmt, 2, Words(random, 3));
        Bind(stmt, 3, i % 97 ? producers[random() % producers.size()] : Key(random));
        Bind(stmt, 4, i % 89 ? genreKeys[random() % genreKeys.size()] : Key(random));
        Bind(stmt, 5, types[random() % std::size(types)]);
        Bind(stmt, 6, scales[random() % std::size(scales)]);
        Bind(stmt, 7, Words(random, 40));
        Bind(stmt, 8, "/home/collector/figures/notes.txt");
        BindBlob(stmt, 9, thumbnail(i, random));
        BindBlob(stmt, 10, picture(i, random));
        Bind(stmt, 11, Words(random, 2));
        Bind(stmt, 12, Words(random, 2));
        Step(db, stmt);
    }
    sqlite3_finalize(stmt);
    Run(db, "commit");
}

void FiguresCatalog::CopyWithoutBlobs(sqlite3* db) {
    Run(db, "create table figures_text (figure_id char(32), figure_name char(32), "
            "producer_id char(32), genre_id char(32), type_ci char(32), scale char(16), "
            "sculpter_name char(32), painter_name char(32), prc_kit numeric(7,2), "
            "prc_pr numeric(7,2), prc_pe numeric(7,2), primary key (figure_id))");
    Run(db, "insert into figures_text select figure_id, figure_name, producer_id, genre_id, "
            "type_ci, scale, sculpter_name, painter_name, prc_kit, prc_pr, prc_pe from figures");
}

void FiguresCatalog::ReadTextColumns(benchmark::State& state, const QString& databaseFile,
                                     const char* figuresTable, int expectedRows) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(databaseFile.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const std::string select = TextColumns(figuresTable);
    long long bytes = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, select.c_str(), -1, &stmt, nullptr);
        int rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int column = 0; column < sqlite3_column_count(stmt); ++column) {
                const unsigned char* text = sqlite3_column_text(stmt, column);
                bytes += sqlite3_column_bytes(stmt, column) + (text ? text[0] : 0);
            }
            ++rows;
        }
        sqlite3_finalize(stmt);
        if (rows != expectedRows)
            state.SkipWithError("wrong row count");
    }
    sqlite3_close(db);
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * FigureCount);
}

void FiguresCatalog::LikeScan(benchmark::State& state, const QString& databaseFile,
                              const std::vector<std::string>& columns, const std::string& text,
                              int expectedHits) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(databaseFile.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::string select = "select count(*) from figures where ";
    for (size_t i = 0; i < columns.size(); ++i)
        select += (i ? " or " : "") + columns[i] + " like ?1";
    const std::string pattern = "%" + text + "%";
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, select.c_str(), -1, &stmt, nullptr);
        Bind(stmt, 1, pattern);
        const int hits = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
        sqlite3_finalize(stmt);
        if (hits != expectedHits)
            state.SkipWithError("wrong hit count");
    }
    sqlite3_close(db);
}

long FiguresCatalog::PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QString FiguresCatalog::MadeCatalogFolder(int& argc, char** argv, const QString& scratch) {
    const char* option = "--catalog=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], option, std::strlen(option)) == 0) {
            const QString folder = QString::fromLocal8Bit(argv[i] + std::strlen(option));
            for (int j = i; j + 1 < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
            return folder;
        }
    }
    const QString script = QStringLiteral(VELMORA_SOURCE_DIR "/bench/make_catalog.py");
    if (QProcess::execute(QStringLiteral("python3"), {script, QStringLiteral("10000"), scratch}) !=
        0) {
        std::fprintf(stderr, "%s could not make a catalog\n", qPrintable(script));
        std::exit(1);
    }
    return scratch;
}
