#include "PictureCommand.h"

#include "BmpWriter.h"
#include "JpegEncoder.h"
#include "PictureGeometry.h"
#include "PictureLoader.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace {

constexpr int ThumbnailSize = 123;

bool WriteBytes(const std::string& fileName, const QByteArray& bytes) {
    QSaveFile file(QString::fromStdString(fileName));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int PictureCommand::Run(const std::vector<std::string>& args, std::FILE*, std::FILE* err) {
    std::vector<std::string> files;
    std::string thumbnail;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--thumbnail" && i + 1 < args.size() && thumbnail.empty()) {
            thumbnail = args[++i];
        } else if (!args[i].empty() && args[i][0] != '-') {
            files.push_back(args[i]);
        } else {
            files.clear();
            break;
        }
    }
    if (files.size() != 2) {
        std::fprintf(err, "usage: velmora-tool %s\n", Usage);
        return 64;
    }

    const std::optional<QImage> picture = LoadPictureFile(QString::fromStdString(files[0]));
    if (!picture) {
        std::fprintf(err, "Cannot load picture %s\n", files[0].c_str());
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
