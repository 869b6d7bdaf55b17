// Loading a 48-megapixel phone picture (HEIC, 8000 × 6000) as the program
// does and making its stored JPEG form, against decoding it with libheif
// alone and compressing the pixels with libjpeg alone at the stored form's
// settings. Both sides read the same file and give the same JPEG bytes.
// The file is made once, before anything is measured, with libheif's HEVC
// encoder at its fastest settings.

#include "JpegEncoder.h"
#include "PictureLoader.h"
#include "RatioReporter.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <libheif/heif.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace {

constexpr int Width = 8000;
constexpr int Height = 6000;

bool Ok(const heif_error& error) {
    if (error.code == heif_error_Ok)
        return true;
    std::fprintf(stderr, "bench_heic: libheif: %s\n", error.message);
    return false;
}

// A photograph-like picture: a smooth shading, soft shapes and fine grain.
void Fill(std::uint8_t* plane, int stride) {
    std::uint32_t seed = 12345;
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* row = plane + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < Width; ++x) {
            // Texture in patches of a few pixels, as foliage or fabric gives,
            // which the encoder keeps, and finer sensor grain.
            seed = seed * 1664525 + 1013904223;
            std::uint32_t patch = static_cast<std::uint32_t>(x / 3) * 73856093u ^
                                  static_cast<std::uint32_t>(y / 3) * 19349663u;
            patch = (patch ^ (patch >> 13)) * 0x5bd1e995u;
            const int grain =
                static_cast<int>((patch >> 27) & 31) - 16 + static_cast<int>(seed >> 29) - 4;
            const double dx = x - 4000.0;
            const double dy = y - 2500.0;
            const double blob = std::exp(-(dx * dx + dy * dy) / 2.0e6) * 90;
            const int r = 60 + y * 120 / Height + static_cast<int>(blob) + grain;
            const int g = 110 + static_cast<int>(40 * std::sin(x / 300.0)) + grain;
            const int b = 200 - y * 140 / Height + static_cast<int>(blob / 2) + grain;
            row[x * 3] = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
            row[x * 3 + 1] = static_cast<std::uint8_t>(std::clamp(g, 0, 255));
            row[x * 3 + 2] = static_cast<std::uint8_t>(std::clamp(b, 0, 255));
        }
    }
}

bool WriteHeic(const QString& path) {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_image* image = nullptr;
    bool done = Ok(heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder));
    if (done) {
        heif_encoder_set_lossy_quality(encoder, 70);
        heif_encoder_set_parameter_string(encoder, "preset", "ultrafast");
        done = Ok(heif_image_create(Width, Height, heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                                    &image)) &&
               Ok(heif_image_add_plane(image, heif_channel_interleaved, Width, Height, 8));
    }
    if (done) {
        int stride = 0;
        std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        Fill(plane, stride);
        done = Ok(heif_context_encode_image(context, image, encoder, nullptr, nullptr)) &&
               Ok(heif_context_write_to_file(context, QFile::encodeName(path).constData()));
    }
    if (image != nullptr)
        heif_image_release(image);
    if (encoder != nullptr)
        heif_encoder_release(encoder);
    heif_context_free(context);
    return done;
}

class BenchData {
public:
    BenchData() : input(root.filePath(QStringLiteral("phone.heic"))) {
        made = root.isValid() && WriteHeic(input);
    }

    QTemporaryDir root;
    QString input;
    bool made = false;
};

const BenchData& Data() {
    static const BenchData data;
    return data;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program's side: the file into a working bitmap, then the stored form.
QByteArray LoadAndStore(const BenchData& data) {
    const std::optional<QImage> picture = LoadPictureFile(data.input);
    return picture ? PictureToJpegBytes(*picture) : QByteArray();
}

// The reference: libheif's decoding to interleaved RGB and libjpeg's
// compression of those rows, baseline, quality 90, defaults otherwise.
QByteArray DecodeAndEncode(const BenchData& data) {
    const QByteArray file = ReadAll(data.input);
    heif_context* context = heif_context_alloc();
    heif_image_handle* handle = nullptr;
    heif_image* image = nullptr;
    QByteArray jpeg;
    if (Ok(heif_context_read_from_memory_without_copy(context, file.constData(),
                                                      static_cast<size_t>(file.size()), nullptr)) &&
        Ok(heif_context_get_primary_image_handle(context, &handle)) &&
        Ok(heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                             nullptr))) {
        int stride = 0;
        const std::uint8_t* plane =
            heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
        jpeg_compress_struct info;
        jpeg_error_mgr errors;
        info.err = jpeg_std_error(&errors);
        jpeg_create_compress(&info);
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&info, &buffer, &size);
        info.image_width =
            static_cast<JDIMENSION>(heif_image_get_width(image, heif_channel_interleaved));
        info.image_height =
            static_cast<JDIMENSION>(heif_image_get_height(image, heif_channel_interleaved));
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, 90, TRUE);
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(
                plane + static_cast<std::ptrdiff_t>(info.next_scanline) * stride);
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
        jpeg_destroy_compress(&info);
        jpeg = QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
        std::free(buffer);
    }
    if (image != nullptr)
        heif_image_release(image);
    if (handle != nullptr)
        heif_image_handle_release(handle);
    heif_context_free(context);
    return jpeg;
}

void BM_LoadAndStoreHeic(benchmark::State& state) {
    const BenchData& data = Data();
    for (auto _ : state) {
        const QByteArray stored = LoadAndStore(data);
        if (stored.isEmpty())
            state.SkipWithError("loading or storing the picture failed");
        benchmark::DoNotOptimize(stored.constData());
    }
}

void BM_LibheifLibjpeg(benchmark::State& state) {
    const BenchData& data = Data();
    for (auto _ : state) {
        const QByteArray stored = DecodeAndEncode(data);
        if (stored.isEmpty())
            state.SkipWithError("libheif or libjpeg failed");
        benchmark::DoNotOptimize(stored.constData());
    }
}

BENCHMARK(BM_LoadAndStoreHeic)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibheifLibjpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    const BenchData& data = Data();
    if (!data.made) {
        std::fprintf(stderr, "bench_heic: the HEIC picture cannot be made in %s\n",
                     qPrintable(data.root.path()));
        return 1;
    }
    const QByteArray ours = LoadAndStore(data);
    if (ours.isEmpty() || ours != DecodeAndEncode(data)) {
        std::fprintf(stderr, "bench_heic: the stored picture differs from the reference's\n");
        return 1;
    }
    std::printf("picture: %d x %d HEIC, %lld bytes; stored form %lld bytes\n", Width, Height,
                static_cast<long long>(QFile(data.input).size()),
                static_cast<long long>(ours.size()));
    return RatioReporter::Main(argc, argv,
                               {{"HEIC load + store vs libheif, libjpeg", "BM_LoadAndStoreHeic",
                                 "BM_LibheifLibjpeg", 1 / 1.3}});
}
