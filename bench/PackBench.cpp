// Packing a collector's catalog after half of its figures were deleted: the
// program's packing of the whole catalog (every table checked and its keys
// rebuilt, then the file compacted), against one VACUUM of the same file
// through the engine's C interface, in the same run. Each iteration starts
// from a fresh copy of the same half-deleted file.

#include "DatabaseStructure.h"
#include "FiguresCatalog.h"
#include "RatioReporter.h"
#include "RawSqlite.h"
#include "TDatabase.h"
#include "TQuery.h"
#include "TTable.h"
#include "TZunPigger.h"
#include "TablePacker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

constexpr int Figures = 2000;
constexpr int Genres = 20;
constexpr int ThumbnailBytes = 45 * 1024;
constexpr int PictureBytes = 200 * 1024;

TDatabase* Database = nullptr;
QString HalfDeleted;
QString OursFolder;
QString ReferenceFolder;

std::string RandomBytes(int size, std::mt19937& random) {
    std::string bytes(size, '\0');
    for (int i = 0; i + 4 <= size; i += 4) {
        const std::uint32_t word = random();
        std::memcpy(&bytes[i], &word, 4);
    }
    return bytes;
}

// A fresh copy of the half-deleted catalog in a folder; its size.
qint64 FreshCopy(const QString& folder) {
    const QString file = QDir(folder).filePath(TDatabase::FileNameInFolder);
    QFile::remove(file);
    if (!QFile::copy(HalfDeleted, file)) {
        std::fprintf(stderr, "cannot copy the catalog to %s\n", qPrintable(file));
        std::exit(1);
    }
    return QFileInfo(file).size();
}

void BM_TablePacker(benchmark::State& state) {
    const QString file = QDir(OursFolder).filePath(TDatabase::FileNameInFolder);
    Database->Params = {QStringLiteral("PATH=") + OursFolder};
    for (auto _ : state) {
        state.PauseTiming();
        Database->Close();
        const qint64 before = FreshCopy(OursFolder);
        state.ResumeTiming();
        bool failed = false;
        const bool packed =
            TablePacker(Database->DatabaseName()).Pack([&failed](const QString& line) {
                failed = failed || line.startsWith(QLatin1String("!!!"));
            });
        if (!packed || failed || QFileInfo(file).size() >= before)
            state.SkipWithError("the catalog was not packed");
    }
    Database->Close();
}

void BM_Sqlite3Vacuum(benchmark::State& state) {
    const QByteArray file =
        QFile::encodeName(QDir(ReferenceFolder).filePath(TDatabase::FileNameInFolder));
    for (auto _ : state) {
        state.PauseTiming();
        const qint64 before = FreshCopy(ReferenceFolder);
        state.ResumeTiming();
        sqlite3* db = nullptr;
        const bool vacuumed = sqlite3_open(file.constData(), &db) == SQLITE_OK &&
                              sqlite3_exec(db, "vacuum", nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        if (!vacuumed || QFileInfo(QString::fromLocal8Bit(file)).size() >= before)
            state.SkipWithError("the catalog was not compacted");
    }
}

BENCHMARK(BM_TablePacker)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Sqlite3Vacuum)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    const QDir root(folder.path());
    for (const char* name : {"catalog", "ours", "reference"})
        root.mkdir(QString::fromLatin1(name));
    OursFolder = root.filePath(QStringLiteral("ours"));
    ReferenceFolder = root.filePath(QStringLiteral("reference"));

    TDatabase database(QStringLiteral("ADB"));
    Database = &database;
    database.DriverName = QStringLiteral("STANDARD");
    database.Params = {QStringLiteral("PATH=") + root.filePath(QStringLiteral("catalog"))};
    database.Open();
    HalfDeleted = database.FileName();
    FiguresCatalog::Create(
        RawSqlite(database),
        [](int, std::mt19937& random) { return RandomBytes(ThumbnailBytes, random); },
        [](int, std::mt19937& random) { return RandomBytes(PictureBytes, random); }, Figures,
        Genres);
    {
        TZunPigger structure;
        DatabaseStructure::Build(structure);
        TTable table;
        TQuery statements;
        DatabaseStructure::Check(structure, table, statements, {});
    }
    const qint64 full = QFileInfo(HalfDeleted).size();
    sqlite3_exec(RawSqlite(database), "delete from figures where rowid % 2 = 0", nullptr, nullptr,
                 nullptr);
    database.Close();
    std::printf("%d figures in %d genres, %d KB thumbnail and %d KB picture each: %lld MB; "
                "every other figure deleted\n",
                Figures, Genres, ThumbnailBytes / 1024, PictureBytes / 1024,
                static_cast<long long>(full / (1024 * 1024)));
    return RatioReporter::Main(
        argc, argv,
        {{"pack half-deleted (>=1/1.5)", "BM_TablePacker", "BM_Sqlite3Vacuum", 1.0 / 1.5}});
}
