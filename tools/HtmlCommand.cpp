#include "HtmlCommand.h"

#include "EDatabaseError.h"
#include "EFileError.h"
#include "HtmlCatalogExport.h"
#include "TDatabase.h"
#include "ToolApplication.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSqlDatabase>

#include <memory>
#include <optional>

namespace {

constexpr int BadArguments = 64;

} // namespace

int HtmlCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::vector<std::string> folders;
    std::optional<std::string> figure;
    bool useMap = true;
    bool bad = false;
    for (std::size_t i = 0; i < args.size() && !bad; ++i) {
        if (args[i] == "--figure" && i + 1 < args.size() && !figure)
            figure = args[++i];
        else if (args[i] == "--no-map" && useMap)
            useMap = false;
        else if (!args[i].empty() && args[i][0] != '-' && folders.size() < 2)
            folders.push_back(args[i]);
        else
            bad = true;
    }
    if (bad || folders.size() != 2) {
        std::fprintf(err, "usage: velmora-tool %s\n", Usage);
        return BadArguments;
    }
    const QString dataFolder = QFile::decodeName(folders[0].c_str());
    const QString outFolder = QFile::decodeName(folders[1].c_str());
    if (!QFileInfo(QDir(dataFolder).filePath(TDatabase::FileNameInFolder)).isFile()) {
        std::fprintf(err, "velmora-tool: %s holds no catalog (%s)\n", folders[0].c_str(),
                     TDatabase::FileNameInFolder);
        return 1;
    }

    const std::unique_ptr<QGuiApplication> application = MakeGuiApplication();
    TDatabase database(QStringLiteral("ADB"));
    try {
        OpenCatalogReadOnly(database, dataFolder);
        HtmlCatalogExport publisher(outFolder, useMap);
        if (figure) {
            if (!publisher.ExportFigure(QString::fromStdString(*figure))) {
                std::fprintf(err, "velmora-tool: no figure has the key %s\n", figure->c_str());
                return 1;
            }
        } else {
            publisher.ExportAll();
        }
        std::fprintf(out, "%s: pages %lld, genre maps %d\n", folders[1].c_str(),
                     static_cast<long long>(publisher.Pages().size()), publisher.MapsWritten());
    } catch (const EFileError& e) {
        std::fprintf(err, "velmora-tool: %s\n", e.what());
        return 2;
    } catch (const EDatabaseError& e) {
        std::fprintf(err, "velmora-tool: the catalog cannot be read: %s\n",
                     e.Message().toStdString().c_str());
        return 1;
    }
    return 0;
}
