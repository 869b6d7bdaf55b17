#include "ExportCommand.h"

#include "CatalogExport.h"
#include "ToolApplication.h"

#include <QFileInfo>

namespace {

constexpr int BadArguments = 64;

int Export(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, const char* usage,
           CatalogExport::Scope scope) {
    const bool bad = args.size() != 2 || args[0].empty() || args[1].empty() || args[0][0] == '-' ||
                     args[1][0] == '-';
    if (bad) {
        std::fprintf(err, "usage: velmora-tool %s\n", usage);
        return BadArguments;
    }
    const QString outFolder = QFile::decodeName(args[1].c_str());
    if (QFileInfo(outFolder).exists() && !QFileInfo(outFolder).isDir()) {
        std::fprintf(err, "velmora-tool: %s is a file, not a folder\n", args[1].c_str());
        return BadArguments;
    }
    return ReadCatalog(args[0], err, [&] {
        CatalogExport exporter(outFolder, scope);
        exporter.Run();
        for (const QString& line : exporter.SummaryLines())
            std::fprintf(out, "%s\n", line.toUtf8().constData());
        return 0;
    });
}

} // namespace

int ExportCommand::RunCsv(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    return Export(args, out, err, CsvUsage, CatalogExport::Scope::Spreadsheets);
}

int ExportCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    return Export(args, out, err, Usage, CatalogExport::Scope::Everything);
}
