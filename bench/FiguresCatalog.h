#pragma once

#include <QString>

#include <benchmark/benchmark.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

struct sqlite3;

// A catalog database like a collector's for the list benchmarks, and the
// plain engine-interface read of its figures' text columns that the lists
// are measured against.
class FiguresCatalog {
public:
    static constexpr int FigureCount = 10000;

    // The bytes of one figure's blob; an empty string stores NULL.
    using BlobMaker = std::function<std::string(int figure, std::mt19937& random)>;

    // The catalog's tables with 50 manufacturers, genres (30 unless told)
    // and figures (FigureCount unless told), now and then with a
    // manufacturer or genre key that matches nothing; thumbnail and picture
    // make each figure's blobs.
    static void Create(sqlite3* db, const BlobMaker& thumbnail, const BlobMaker& picture,
                       int figures = FigureCount, int genres = 30);

    // The table figures_text: a copy of figures without its blob columns,
    // the fastest the list's text could be read from the same rows.
    static constexpr const char* TextCopyTable = "figures_text";
    static void CopyWithoutBlobs(sqlite3* db);

    // One benchmark loop selecting the text columns of every figure, with
    // the list's joins and order, through the C interface; figuresTable is
    // figures or its copy without blobs.
    static void ReadTextColumns(benchmark::State& state, const QString& databaseFile,
                                const char* figuresTable = "figures",
                                int expectedRows = FigureCount);

    // One benchmark loop counting the figures whose columns hold text
    // (SQL LIKE '%text%'), through the C interface.
    static void LikeScan(benchmark::State& state, const QString& databaseFile,
                         const std::vector<std::string>& columns, const std::string& text,
                         int expectedHits);

    // The data folder named by --catalog=DATAFOLDER, taken out of the
    // arguments; else scratch, where make_catalog.py makes a catalog of
    // 10,000 figures. Ends the process when it cannot.
    static QString MadeCatalogFolder(int& argc, char** argv, const QString& scratch);

    // The process's peak resident memory.
    static long PeakKilobytes();
};
