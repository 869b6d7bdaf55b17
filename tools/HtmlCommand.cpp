#include "HtmlCommand.h"

#include "HtmlCatalogExport.h"
#include "SitePublisher.h"
#include "ToolApplication.h"

#include <QFile>

#include <optional>

namespace {

constexpr int BadArguments = 64;

} // namespace

int HtmlCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::vector<std::string> folders;
    std::optional<std::string> figure;
    std::optional<std::string> title;
    bool useMap = true;
    bool bad = false;
    for (std::size_t i = 0; i < args.size() && !bad; ++i) {
        if (args[i] == "--figure" && i + 1 < args.size() && !figure)
            figure = args[++i];
        else if (args[i] == "--title" && i + 1 < args.size() && !title)
            title = args[++i];
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
    const QString outFolder = QFile::decodeName(folders[1].c_str());
    return ReadCatalog(folders[0], err, [&] {
        if (figure) {
            HtmlCatalogExport publisher(outFolder, useMap);
            if (!publisher.ExportFigure(QString::fromStdString(*figure))) {
                std::fprintf(err, "velmora-tool: no figure has the key %s\n", figure->c_str());
                return 1;
            }
            std::fprintf(out, "%s: pages %lld, genre maps %d\n", folders[1].c_str(),
                         static_cast<long long>(publisher.Pages().size()), publisher.MapsWritten());
            return 0;
        }
        SitePublisher::Options options;
        options.useMap = useMap;
        if (title)
            options.title = QString::fromStdString(*title);
        SitePublisher site(outFolder, options);
        site.Publish();
        std::fprintf(out, "%s: figure pages %d, genre maps %d, files removed %d\n",
                     folders[1].c_str(), site.FigurePages(), site.MapsWritten(), site.Removed());
        return 0;
    });
}
