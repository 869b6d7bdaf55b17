// Packing and unpacking about 200 MB of catalog data (JPEG pictures, which
// do not compress, and a text-heavy SQLite database), against compress2 at
// level 9 and uncompress over the same blocks on one thread, in the same
// run.

#include "Archive.h"
#include "ByteReader.h"
#include "RatioReporter.h"
#include "SyntheticJpeg.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
// Reaches SQLite itself: the database packed is written through the
// engine's C interface.
#include <sqlite3.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int BlockSize = 524288;
constexpr qint64 PictureBytes = 100'000'000;
constexpr qint64 DatabaseBytes = 100'000'000;

// A photograph-like picture: smooth shading under fine grain, so the JPEG
// bytes are as dense as a camera's.
QByteArray Picture(unsigned seed) {
    constexpr int Width = 2400;
    constexpr int Height = 1600;
    std::uint32_t noise = seed * 2654435761u + 1;
    return SyntheticJpeg(Width, Height, 92, [&](int y, std::uint8_t* row) {
        for (int x = 0; x < Width; ++x) {
            for (int c = 0; c < 3; ++c) {
                noise ^= noise << 13;
                noise ^= noise >> 17;
                noise ^= noise << 5;
                const int shade = (x * (c + 1) + y * (3 - c) + static_cast<int>(seed) * 37) / 24;
                row[x * 3 + c] =
                    static_cast<std::uint8_t>((shade + static_cast<int>(noise % 48)) & 0xFF);
            }
        }
    });
}

// A catalog database of text rows until the file holds about size bytes,
// with every table of the catalog, so that a restore accepts it.
void WriteDatabase(const QString& path, qint64 size) {
    static const char* const Words[] = {"Hussar",  "54 mm",     "white metal", "resin",   "1812",
                                        "plinth",  "painted",   "cavalry",     "Guard",   "kit",
                                        "officer", "drummer",   "Napoleonic",  "sabre",   "shako",
                                        "horse",   "grenadier", "bust",        "diorama", "primer",
                                        "varnish", "banner",    "lancer",      "musket"};
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=OFF; CREATE TABLE FIGURES(ID CHAR(32) PRIMARY KEY, "
                 "NAME TEXT, NOTES TEXT); CREATE TABLE ADD_PICTURES(ID CHAR(32) PRIMARY KEY); "
                 "CREATE TABLE PRODUCERS(ID CHAR(32) PRIMARY KEY); CREATE TABLE GENRES(ID "
                 "CHAR(32) PRIMARY KEY); CREATE TABLE SCALES(ID CHAR(32) PRIMARY KEY); BEGIN;",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO FIGURES VALUES(?, ?, ?)", -1, &insert, nullptr);
    std::mt19937 random(11);
    for (int row = 0; QFileInfo(path).size() < size; ++row) {
        for (int batch = 0; batch < 10000; ++batch, ++row) {
            std::string name, notes;
            for (int w = 0; w < 4; ++w)
                name += std::string(Words[random() % 24]) + ' ';
            for (int w = 0; w < 90; ++w)
                notes += std::string(Words[random() % 24]) + (w % 12 == 11 ? ".\n" : " ");
            char id[40];
            std::snprintf(id, sizeof id, "%032d", row);
            sqlite3_bind_text(insert, 1, id, -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, notes.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_exec(db, "COMMIT; BEGIN;", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

class BenchData {
public:
    BenchData()
        : data(root.filePath(QStringLiteral("ldb"))),
          archive(root.filePath(QStringLiteral("backup.tba"))),
          target(root.filePath(QStringLiteral("restored"))) {
        QDir().mkpath(data);
        WriteDatabase(data + QStringLiteral("/velmora.db"), DatabaseBytes);
        for (unsigned i = 0; total < PictureBytes; ++i) {
            const QByteArray picture = Picture(i);
            QFile file(data + QStringLiteral("/figure%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
            file.open(QIODevice::WriteOnly);
            file.write(picture);
            total += picture.size();
        }
        // The same blocks as the archive holds, plain and compressed.
        for (const QFileInfo& info : QDir(data).entryInfoList(QDir::Files, QDir::Name)) {
            QFile file(info.filePath());
            file.open(QIODevice::ReadOnly);
            for (QByteArray block; !(block = file.read(BlockSize)).isEmpty();)
                plain.push_back(block);
        }
        total = 0;
        for (const QByteArray& block : plain)
            total += block.size();
        PackFolder(data, archive);
        ReadCompressedBlocks();
    }

    QTemporaryDir root;
    QString data;
    QString archive;
    QString target;
    qint64 total = 0;
    std::vector<QByteArray> plain;
    std::vector<QByteArray> packed;

private:
    void ReadCompressedBlocks() {
        QFile file(archive);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        const ByteReader reader(bytes);
        const auto int32 = [&reader](qsizetype at) { return reader.Int32(at); };
        qsizetype at = 6;
        at += 4 + int32(at);
        while (at < bytes.size()) {
            const qint32 size = int32(at);
            at += 4;
            for (qint32 done = 0; done < size; done += BlockSize) {
                const qint32 length = int32(at);
                packed.push_back(bytes.mid(at + 4, length));
                at += 4 + length;
            }
        }
    }
};

const BenchData& Data() {
    static const BenchData data;
    return data;
}

void BM_PackFolder(benchmark::State& state) {
    const BenchData& data = Data();
    const QString archive = data.root.filePath(QStringLiteral("again.tba"));
    for (auto _ : state) {
        if (PackFolder(data.data, archive) != ArchiveResult::Done)
            state.SkipWithError("packing failed");
    }
    state.SetBytesProcessed(state.iterations() * data.total);
}

void BM_Compress2(benchmark::State& state) {
    const BenchData& data = Data();
    std::vector<Bytef> out(compressBound(BlockSize));
    for (auto _ : state) {
        for (const QByteArray& block : data.plain) {
            uLongf length = static_cast<uLongf>(out.size());
            compress2(out.data(), &length, reinterpret_cast<const Bytef*>(block.constData()),
                      static_cast<uLong>(block.size()), 9);
            benchmark::DoNotOptimize(length);
        }
    }
    state.SetBytesProcessed(state.iterations() * data.total);
}

void BM_UnpackArchive(benchmark::State& state) {
    const BenchData& data = Data();
    for (auto _ : state) {
        if (UnpackArchive(data.archive, data.target) != ArchiveResult::Done)
            state.SkipWithError("unpacking failed");
    }
    state.SetBytesProcessed(state.iterations() * data.total);
}

void BM_Uncompress(benchmark::State& state) {
    const BenchData& data = Data();
    std::vector<Bytef> out(BlockSize);
    for (auto _ : state) {
        for (const QByteArray& block : data.packed) {
            uLongf length = BlockSize;
            uncompress(out.data(), &length, reinterpret_cast<const Bytef*>(block.constData()),
                       static_cast<uLong>(block.size()));
            benchmark::DoNotOptimize(length);
        }
    }
    state.SetBytesProcessed(state.iterations() * data.total);
}

BENCHMARK(BM_PackFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Compress2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UnpackArchive)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Uncompress)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    const BenchData& data = Data();
    std::printf("data folder: %lld bytes in %zu blocks; archive: %lld bytes\n",
                static_cast<long long>(data.total), data.plain.size(),
                static_cast<long long>(QFileInfo(data.archive).size()));
    return RatioReporter::Main(
        argc, argv,
        {{"pack vs compress2 level 9", "BM_PackFolder", "BM_Compress2", 1.7},
         {"unpack vs uncompress", "BM_UnpackArchive", "BM_Uncompress", 0.9}});
}
