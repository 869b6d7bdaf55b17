#include "PictureCommand.h"

#include "BmpWriter.h"
#include "JpegEncoder.h"
#include "PictureGeometry.h"
#include "PictureLoader.h"
#include "ToolFiles.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace {

constexpr int ThumbnailSize = 123;
constexpr int BadArguments = 64;

bool HasExtension(const std::string& fileName, const QStringList& extensions) {
    return extensions.contains(QFileInfo(QFile::decodeName(fileName.c_str())).suffix(),
                               Qt::CaseInsensitive);
}

// Whether the output names are safe to write, told on err when not: no
// output may overwrite the input or the other output, and unless forced each
// must carry the extension of what is written to it, which catches swapped
// operands before the input is lost.
bool OutputsFit(const std::string& in, const std::string& picture, const std::string& thumbnail,
                bool force, std::FILE* err) {
    bool fit = true;
    for (const std::string* out : {&picture, &thumbnail}) {
        if (!out->empty() && SameFile(*out, in)) {
            std::fprintf(err, "velmora-tool: %s is the input file; it is not written over\n",
                         out->c_str());
            fit = false;
        }
    }
    if (!thumbnail.empty() && SameFile(thumbnail, picture)) {
        std::fprintf(err, "velmora-tool: %s is both the picture and the thumbnail file\n",
                     thumbnail.c_str());
        fit = false;
    }
    if (force)
        return fit;
    if (!HasExtension(picture, {QStringLiteral("jpg"), QStringLiteral("jpeg")})) {
        std::fprintf(err,
                     "velmora-tool: %s gets a JPEG picture but does not end in .jpg or .jpeg "
                     "(--force writes it anyway)\n",
                     picture.c_str());
        fit = false;
    }
    if (!thumbnail.empty() && !HasExtension(thumbnail, {QStringLiteral("bmp")})) {
        std::fprintf(err,
                     "velmora-tool: %s gets a BMP thumbnail but does not end in .bmp (--force "
                     "writes it anyway)\n",
                     thumbnail.c_str());
        fit = false;
    }
    return fit;
}

} // namespace

int PictureCommand::Run(const std::vector<std::string>& args, std::FILE*, std::FILE* err) {
    std::vector<std::string> files;
    std::string thumbnail;
    bool force = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--thumbnail" && i + 1 < args.size() && thumbnail.empty()) {
            thumbnail = args[++i];
        } else if (args[i] == "--force") {
            force = true;
        } else if (!args[i].empty() && args[i][0] != '-') {
            files.push_back(args[i]);
        } else {
            files.clear();
            break;
        }
    }
    if (files.size() != 2 || (!thumbnail.empty() && thumbnail[0] == '-')) {
        std::fprintf(err, "usage: velmora-tool %s\n", Usage);
        return BadArguments;
    }
    if (!OutputsFit(files[0], files[1], thumbnail, force, err))
        return BadArguments;

    QString failure;
    const std::optional<QImage> picture =
        LoadPictureFile(QFile::decodeName(files[0].c_str()), &failure);
    if (!picture) {
        std::fprintf(err, "Cannot load picture %s: %s\n", files[0].c_str(),
                     failure.toLocal8Bit().constData());
        return 1;
    }
    if (!WriteBytes(files[1], PictureToJpegBytes(*picture))) {
        std::fprintf(err, "Cannot write file %s\n", files[1].c_str());
        return 2;
    }
    if (!thumbnail.empty()) {
        const QImage small = StretchDraw(*picture, QSize(ThumbnailSize, ThumbnailSize));
        if (!WriteBytes(thumbnail, BitmapToBmpBytes(small))) {
            std::fprintf(err, "Cannot write file %s\n", thumbnail.c_str());
            return 2;
        }
    }
    return 0;
}
