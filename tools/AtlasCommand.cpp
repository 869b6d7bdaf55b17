#include "AtlasCommand.h"

#include "TAtlas.h"
#include "TDatabase.h"
#include "ToolApplication.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

namespace {

constexpr int BadArguments = 64;
constexpr int CannotWrite = 2;
// Larger pictures are refused rather than allocated.
constexpr int LargestSide = 10000;

bool EndsWith(const QString& name, const char* suffix) {
    return name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

// "WxH" with both sides from 1 to LargestSide.
bool ParseSize(const std::string& text, QSize& size) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$"));
    const QRegularExpressionMatch match = form.match(QString::fromStdString(text));
    if (!match.hasMatch())
        return false;
    size = QSize(match.captured(1).toInt(), match.captured(2).toInt());
    return size.width() >= 1 && size.height() >= 1 && size.width() <= LargestSide &&
           size.height() <= LargestSide;
}

bool Write(const TAtlas& atlas, const QString& fileName, const QSize& size) {
    if (EndsWith(fileName, ".svg")) {
        QSvgGenerator svg;
        svg.setFileName(fileName);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Atlas"));
        QPainter painter;
        if (!painter.begin(&svg))
            return false;
        atlas.Draw(painter);
        return painter.end() && QFile(fileName).size() > 0;
    }
    QImage picture(size, QImage::Format_RGB32);
    {
        QPainter painter(&picture);
        atlas.Draw(painter);
    }
    return picture.save(fileName, "PNG");
}

} // namespace

int AtlasCommand::Run(const std::vector<std::string>& args, std::FILE*, std::FILE* err) {
    std::vector<std::string> names;
    QSize size(1600, 900);
    bool sized = false;
    bool bad = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--size" && !sized && i + 1 < args.size()) {
            sized = true;
            bad = bad || !ParseSize(args[++i], size);
        } else if (!args[i].empty() && args[i][0] != '-' && names.size() < 2)
            names.push_back(args[i]);
        else
            bad = true;
    }
    const QString fileName = names.size() == 2 ? QFile::decodeName(names[1].c_str()) : QString();
    if (bad || names.size() != 2 || !(EndsWith(fileName, ".png") || EndsWith(fileName, ".svg"))) {
        std::fprintf(err, "usage: velmora-tool %s\n", Usage);
        return BadArguments;
    }
    return ReadCatalog(names[0], err, [&] {
        TAtlas atlas(TAtlas::ReadGenres(TDatabase::Connected(QStringLiteral("ADB")).Handle()));
        atlas.Layout(QSizeF(size));
        if (!Write(atlas, fileName, size)) {
            std::fprintf(err, "velmora-tool: %s cannot be written\n", names[1].c_str());
            return CannotWrite;
        }
        return 0;
    });
}
