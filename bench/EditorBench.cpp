// Opening the figure editor on a figure whose stored picture is a
// 24-megapixel camera JPEG, against decoding that JPEG with libjpeg-turbo
// alone, in the same run: the editor keeps the stored bytes and decodes
// them only when the picture is edited, so opening it must cost a small
// part of one decode.

#include "EDatabaseError.h"
#include "EngineCode.h"
#include "EngineConnection.h"
#include "RatioReporter.h"
#include "SyntheticJpeg.h"
#include "TDatabase.h"
#include "TE_figure.h"
#include "TO_Figures.h"
#include "TSqlStatement.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

QByteArray Picture;

// The figures list over one figure with the camera picture, open, and the
// editor the main window opens on it.
struct Catalog {
    QTemporaryDir folder;
    TDatabase database{QStringLiteral("ADB")};
    TO_Figures list;
    TE_figure editor;
    bool ready = false;

    Catalog() {
        database.DriverName = QStringLiteral("STANDARD");
        database.Params = {QStringLiteral("PATH=") + folder.path()};
        database.Open();
        EngineConnection* db = database.Handle();
        ready = db->Exec("create table figures (figure_id char(32), figure_name char(32), "
                         "producer_id char(32), genre_id char(32), type_ci char(32), "
                         "scale char(16), figure_dsc blob(1,1), figure_files blob(1,1), "
                         "picture_th blob(1,5), picture blob(1,5), sculpter_name char(32), "
                         "painter_name char(32), primary key (figure_id));"
                         "create table producers (producer_id char(32), "
                         "producer_name char(32), primary key (producer_id));"
                         "create table genres (genre_id char(32), genre_name char(32), "
                         "primary key (genre_id));"
                         "create table add_pictures (add_picture_id char(32), "
                         "add_picture_name char(32), figure_id char(32), picture_th blob(1,5), "
                         "picture blob(1,5), primary key (add_picture_id))") == EngineCode::Ok;
        try {
            TSqlStatement insert(db, QStringLiteral("insert into figures (figure_id, figure_name, "
                                                    "picture) values ('F1', 'Hussar', ?)"));
            insert.Bind(1, Picture);
            insert.Run();
        } catch (const EDatabaseError&) {
            ready = false;
        }
        list.KeyField = QStringLiteral("figure_id");
        list.NameField = QStringLiteral("figure_name");
        list.Q1.SQL = TO_Figures::FilteredQuery(QString());
        list.Reopen();
    }
};

// PrepareEdit until the window is shown and painted, then closed again.
void BM_OpenFigureEditor(benchmark::State& state) {
    Catalog catalog;
    if (!catalog.ready || catalog.list.Q1.IsEmpty()) {
        state.SkipWithError("the catalog could not be made");
        return;
    }
    TE_figure& editor = catalog.editor;
    for (auto _ : state) {
        editor.DS1.SetDataSet(&catalog.list.Q1);
        editor.PrepareEdit();
        editor.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(editor.FullPicture.Width());
        editor.hide();
        editor.DS1.SetDataSet(nullptr);
    }
    if (editor.FullPicture.Width() != CameraWidth)
        state.SkipWithError("the editor did not read the picture");
}

// The whole picture decoded into RGB rows by the library's own API.
void BM_DecodeWithLibjpeg(benchmark::State& state) {
    std::vector<JSAMPLE> pixels;
    for (auto _ : state) {
        jpeg_decompress_struct info{};
        jpeg_error_mgr errors{};
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(Picture.constData()),
                     static_cast<unsigned long>(Picture.size()));
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_RGB;
        jpeg_start_decompress(&info);
        const size_t stride = static_cast<size_t>(info.output_width) * 3;
        pixels.resize(stride * info.output_height);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = pixels.data() + stride * info.output_scanline;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(pixels.data());
    }
}

BENCHMARK(BM_OpenFigureEditor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeWithLibjpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Picture = CameraPicture();
    std::printf("picture: %d x %d, %lld bytes\n", CameraWidth, CameraHeight,
                static_cast<long long>(Picture.size()));
    // The editor at most 0.3 of a decode: the decode at least 1 / 0.3 of it.
    return RatioReporter::Main(argc, argv,
                               {{"open figure editor vs libjpeg decode", "BM_OpenFigureEditor",
                                 "BM_DecodeWithLibjpeg", 1 / 0.3}});
}
