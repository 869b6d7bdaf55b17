#include "ExportCommand.h"

#include "CatalogExport.h"
#include "EDatabaseError.h"
#include "EFileError.h"
#include "TDatabase.h"
#include "ToolApplication.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSqlDatabase>

#include <memory>

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
    const QString dataFolder = QFile::decodeName(args[0].c_str());
    const QString outFolder = QFile::decodeName(args[1].c_str());
    if (QFileInfo(outFolder).exists() && !QFileInfo(outFolder).isDir()) {
        std::fprintf(err, "velmora-tool: %s is a file, not a folder\n", args[1].c_str());
        return BadArguments;
    }
    if (!QFileInfo(QDir(dataFolder).filePath(TDatabase::FileNameInFolder)).isFile()) {
        std::fprintf(err, "velmora-tool: %s holds no catalog (%s)\n", args[0].c_str(),
                     TDatabase::FileNameInFolder);
        return 1;
    }

    const std::unique_ptr<QGuiApplication> application = MakeGuiApplication();
    TDatabase database(QStringLiteral("ADB"));
    try {
        OpenCatalogReadOnly(database, dataFolder);
        CatalogExport exporter(outFolder, scope);
        exporter.Run();
        for (const QString& line : exporter.SummaryLines())
            std::fprintf(out, "%s\n", line.toUtf8().constData());
    } catch (const EFileError& e) {
        std::fprintf(err, "velmora-tool: %s\n", e.what());
        return 2;
    } catch (const EDatabaseError& e) {
        std::fprintf(err, "velmora-tool: the catalog cannot be read: %s\n",
                     e.Message().toUtf8().constData());
        return 1;
    }
    return 0;
}

} // namespace

int ExportCommand::RunCsv(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    return Export(args, out, err, CsvUsage, CatalogExport::Scope::Spreadsheets);
}

int ExportCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    return Export(args, out, err, Usage, CatalogExport::Scope::Everything);
}
