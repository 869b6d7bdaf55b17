// Importing an older installation's tables (2,000 figures, each with a
// 200 KB picture and its thumbnail) into an empty catalog, against inserting
// the same rows and bytes into the same empty catalog with one prepared
// statement through the engine's C interface, in one transaction each, in
// the same run.

#include "DatabaseStructure.h"
#include "ParadoxFixture.h"
#include "ParadoxImport.h"
#include "RatioReporter.h"
#include "TDatabase.h"
#include "TQuery.h"
#include "TTable.h"
#include "TZunPigger.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
// Reaches SQLite itself: the reference inserts through the engine's C
// interface.
#include <sqlite3.h>

#include <cstdio>
#include <random>

namespace {

constexpr int FigureCount = 2000;
constexpr int PictureBytes = 200 * 1024;
constexpr int ThumbnailBytes = 123 * 123 * 3 + 54;

QTemporaryDir* Work;
ParadoxFixture::Rows Figures;

QString Path(const QString& name) {
    return Work->filePath(name);
}

// A fresh copy of the empty catalog in folder "target".
void FreshCatalog() {
    QDir(Path("target")).removeRecursively();
    QDir().mkpath(Path("target"));
    QFile::copy(Path("empty/velmora.db"), Path("target/velmora.db"));
}

void BM_ParadoxImport(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        FreshCatalog();
        state.ResumeTiming();
        TDatabase database(QStringLiteral("ADB"));
        database.DriverName = QStringLiteral("STANDARD");
        database.Params = {QStringLiteral("PATH=") + Path("target")};
        ParadoxImport import(database.DatabaseName());
        if (!import.Run(Path("old")) || import.Added() != FigureCount)
            state.SkipWithError(import.Error().toStdString().c_str());
        database.Close();
    }
    state.SetBytesProcessed(state.iterations() * FigureCount *
                            static_cast<int64_t>(PictureBytes + ThumbnailBytes));
}

void BM_Sqlite3PreparedInsert(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        FreshCatalog();
        state.ResumeTiming();
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(Path("target/velmora.db")).constData(), &db);
        sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db,
                           "insert into figures (figure_id, figure_name, producer_id, genre_id, "
                           "type_ci, scale, figure_dsc, picture_th, picture) "
                           "values (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                           -1, &insert, nullptr);
        for (const auto& row : Figures) {
            for (int i = 0; i < 7; ++i) {
                const QByteArray text = row[static_cast<size_t>(i)].toString().toUtf8();
                sqlite3_bind_text(insert, i + 1, text.constData(), static_cast<int>(text.size()),
                                  SQLITE_TRANSIENT);
            }
            for (int i = 9; i < 11; ++i) {
                const QByteArray blob = row[static_cast<size_t>(i)].toByteArray();
                sqlite3_bind_blob(insert, i - 1, blob.constData(), static_cast<int>(blob.size()),
                                  SQLITE_STATIC);
            }
            if (sqlite3_step(insert) != SQLITE_DONE)
                state.SkipWithError(sqlite3_errmsg(db));
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    state.SetBytesProcessed(state.iterations() * FigureCount *
                            static_cast<int64_t>(PictureBytes + ThumbnailBytes));
}

BENCHMARK(BM_ParadoxImport)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Sqlite3PreparedInsert)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir work;
    Work = &work;
    std::mt19937 random(21);
    for (int i = 0; i < FigureCount; ++i) {
        QByteArray picture(PictureBytes, '\0');
        for (char& byte : picture)
            byte = static_cast<char>(random());
        picture[0] = '\xFF';
        picture[1] = '\xD8';
        picture[2] = '\xFF';
        QByteArray thumbnail(ThumbnailBytes, static_cast<char>(i));
        thumbnail[0] = 'B';
        thumbnail[1] = 'M';
        Figures.push_back({QStringLiteral("%1").arg(i, 32, 10, QLatin1Char('0')),
                           QStringLiteral("Figure %1").arg(i), QString(32, QLatin1Char('P')),
                           QString(32, QLatin1Char('G')), "cavalry", "54-mm",
                           QStringLiteral("Description of figure %1").arg(i), QVariant(),
                           QVariant(), thumbnail, picture});
    }
    QDir().mkpath(Path("old"));
    ParadoxFixture::Write(Path("old"), "FIGURES", ParadoxFixture::FiguresColumns(), Figures);
    QDir().mkpath(Path("empty"));
    {
        TDatabase database(QStringLiteral("ADB"));
        database.DriverName = QStringLiteral("STANDARD");
        database.Params = {QStringLiteral("PATH=") + Path("empty")};
        TZunPigger structure;
        DatabaseStructure::Build(structure);
        TTable table;
        TQuery statements;
        DatabaseStructure::Check(structure, table, statements, {});
        database.Close();
    }
    std::printf("%d figures, %d KB picture and %d KB thumbnail each\n", FigureCount,
                PictureBytes / 1024, ThumbnailBytes / 1024);
    return RatioReporter::Main(argc, argv,
                               {{"import older tables vs prepared inserts (>=1/1.5)",
                                 "BM_ParadoxImport", "BM_Sqlite3PreparedInsert", 1.0 / 1.5}});
}
