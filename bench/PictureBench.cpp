// Loading a 24-megapixel camera picture as the program does and writing its
// stored JPEG form to a file, against djpeg writing a BMP file and cjpeg
// compressing it at quality 90 baseline, run as child processes in the same
// run. Both sides read the same file and write the same bytes.
//
// Turning a 24-megapixel working bitmap a quarter each way, against Qt's own
// QImage::transformed by 90 and 270 degrees of the same bitmap; both give the
// same pixels.

#include "JpegEncoder.h"
#include "PictureGeometry.h"
#include "PictureLoader.h"
#include "RatioReporter.h"
#include "SyntheticJpeg.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTransform>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int Width = CameraWidth;
constexpr int Height = CameraHeight;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class BenchData {
public:
    BenchData()
        : input(root.filePath(QStringLiteral("camera.jpg"))),
          ours(root.filePath(QStringLiteral("ours.jpg"))),
          bmp(root.filePath(QStringLiteral("decoded.bmp"))),
          reference(root.filePath(QStringLiteral("reference.jpg"))),
          djpeg(QStandardPaths::findExecutable(QStringLiteral("djpeg"))),
          cjpeg(QStandardPaths::findExecutable(QStringLiteral("cjpeg"))) {
        // Without the reference there is nothing to measure against.
        QFile file(input);
        if (!djpeg.isEmpty() && !cjpeg.isEmpty() && root.isValid() &&
            file.open(QIODevice::WriteOnly))
            file.write(CameraPicture());
    }

    QTemporaryDir root;
    QString input;
    QString ours;
    QString bmp;
    QString reference;
    QString djpeg;
    QString cjpeg;
};

const BenchData& Data() {
    static const BenchData data;
    return data;
}

// The program's side: load the file into a working bitmap, make the stored
// form and write it. Returns false on any failure.
bool LoadAndStore(const BenchData& data) {
    const std::optional<QImage> picture = LoadPictureFile(data.input);
    if (!picture)
        return false;
    const QByteArray bytes = PictureToJpegBytes(*picture);
    QFile file(data.ours);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Runs the program with the arguments and its standard output going to the
// file, as a shell's redirection does; true when it exits with 0.
bool Run(const QString& program, const std::vector<QString>& arguments, const QString& output) {
    std::vector<QByteArray> strings{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        strings.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& string : strings)
        argv.push_back(string.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, QFile::encodeName(output).constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// The reference: djpeg -bmp IN > tmp.bmp, then cjpeg -quality 90 -baseline
// tmp.bmp > out.jpg.
bool DecodeAndEncode(const BenchData& data) {
    return Run(data.djpeg, {QStringLiteral("-bmp"), data.input}, data.bmp) &&
           Run(data.cjpeg,
               {QStringLiteral("-quality"), QStringLiteral("90"), QStringLiteral("-baseline"),
                data.bmp},
               data.reference);
}

void BM_LoadAndStorePicture(benchmark::State& state) {
    const BenchData& data = Data();
    for (auto _ : state) {
        if (!LoadAndStore(data))
            state.SkipWithError("loading or storing the picture failed");
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(data.input).size());
}

void BM_DjpegCjpeg(benchmark::State& state) {
    const BenchData& data = Data();
    for (auto _ : state) {
        if (!DecodeAndEncode(data))
            state.SkipWithError("djpeg or cjpeg failed");
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(data.input).size());
}

BENCHMARK(BM_LoadAndStorePicture)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DjpegCjpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

// A camera-sized working bitmap whose neighbouring pixels differ.
const QImage& WorkingBitmap() {
    static const QImage bitmap = [] {
        QImage image(Width, Height, QImage::Format_RGB888);
        for (int y = 0; y < Height; ++y) {
            std::uint8_t* row = image.scanLine(y);
            for (int x = 0; x < Width; ++x) {
                row[x * 3] = static_cast<std::uint8_t>(x * 37 + y * 11);
                row[x * 3 + 1] = static_cast<std::uint8_t>(x * 5 + y * 53);
                row[x * 3 + 2] = static_cast<std::uint8_t>(x * y + 3 * x);
            }
        }
        return image;
    }();
    return bitmap;
}

QImage QtTurned(const QImage& bitmap, int degrees) {
    return bitmap.transformed(QTransform().rotate(degrees));
}

void BM_RotateRight(benchmark::State& state) {
    const QImage& bitmap = WorkingBitmap();
    for (auto _ : state) {
        QImage turned;
        RotateRight(bitmap, turned);
        benchmark::DoNotOptimize(turned.constBits());
    }
}

void BM_QtRotated90(benchmark::State& state) {
    const QImage& bitmap = WorkingBitmap();
    for (auto _ : state) {
        const QImage turned = QtTurned(bitmap, 90);
        benchmark::DoNotOptimize(turned.constBits());
    }
}

void BM_RotateLeft(benchmark::State& state) {
    const QImage& bitmap = WorkingBitmap();
    for (auto _ : state) {
        QImage turned;
        RotateLeft(bitmap, turned);
        benchmark::DoNotOptimize(turned.constBits());
    }
}

void BM_QtRotated270(benchmark::State& state) {
    const QImage& bitmap = WorkingBitmap();
    for (auto _ : state) {
        const QImage turned = QtTurned(bitmap, 270);
        benchmark::DoNotOptimize(turned.constBits());
    }
}

BENCHMARK(BM_RotateRight)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QtRotated90)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RotateLeft)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QtRotated270)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same pixels on both sides of the rotation pairs.
bool TurnsAgree() {
    const QImage& bitmap = WorkingBitmap();
    QImage right;
    QImage left;
    RotateRight(bitmap, right);
    RotateLeft(bitmap, left);
    return right == QtTurned(bitmap, 90) && left == QtTurned(bitmap, 270);
}

} // namespace

int main(int argc, char** argv) {
    const BenchData& data = Data();
    if (data.djpeg.isEmpty() || data.cjpeg.isEmpty()) {
        std::fprintf(stderr, "bench_picture: djpeg and cjpeg (libjpeg-turbo-progs) must be on "
                             "PATH; the reference cannot run without them\n");
        return 1;
    }
    if (!QFileInfo(data.input).isFile() || !LoadAndStore(data) || !DecodeAndEncode(data)) {
        std::fprintf(stderr, "bench_picture: the picture cannot be made, loaded or stored in %s\n",
                     qPrintable(data.root.path()));
        return 1;
    }
    // The same work on both sides: the stored form is cjpeg's output byte
    // for byte.
    const QByteArray ours = ReadAll(data.ours);
    if (ours != ReadAll(data.reference)) {
        std::fprintf(stderr, "bench_picture: the stored picture differs from cjpeg's output\n");
        return 1;
    }
    if (!TurnsAgree()) {
        std::fprintf(stderr, "bench_picture: the turned bitmaps differ from Qt's\n");
        return 1;
    }
    std::printf("picture: %d x %d, %lld bytes; stored form %lld bytes, as cjpeg writes it\n", Width,
                Height, static_cast<long long>(QFileInfo(data.input).size()),
                static_cast<long long>(ours.size()));
    return RatioReporter::Main(
        argc, argv,
        {{"load + store vs djpeg, cjpeg", "BM_LoadAndStorePicture", "BM_DjpegCjpeg", 1 / 1.3},
         {"turn right vs Qt 90", "BM_RotateRight", "BM_QtRotated90", 1 / 2.0},
         {"turn left vs Qt 270", "BM_RotateLeft", "BM_QtRotated270", 1 / 2.0}});
}
