#include "ImportCsvCommand.h"

#include "ArchiveCommand.h"
#include "TerminalProgress.h"

#include "CsvImport.h"
#include "CsvImportFile.h"
#include "CsvImportMapping.h"
#include "DataFolderLock.h"
#include "DatabaseStructure.h"
#include "EDatabaseError.h"
#include "TDatabase.h"
#include "TQuery.h"
#include "TTable.h"
#include "TZunPigger.h"
#include "ToolApplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>
#include <optional>

namespace {

constexpr int Imported = 0;
constexpr int NothingImported = 1;
constexpr int ProgramRunning = 6;
constexpr int RollBackFailed = 7;
constexpr int BadArguments = 64;

struct Arguments {
    std::string file;
    std::string folder;
    std::optional<QString> map;
};

std::optional<Arguments> Parse(const std::vector<std::string>& args) {
    Arguments parsed;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--map" && i + 1 < args.size() && !parsed.map) {
            parsed.map = QString::fromLocal8Bit(args[++i].c_str());
        } else if (arg.rfind("--map=", 0) == 0 && !parsed.map) {
            parsed.map = QString::fromLocal8Bit(arg.substr(6).c_str());
        } else if (arg.empty() || arg[0] == '-') {
            return std::nullopt;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2)
        return std::nullopt;
    parsed.file = positional[0];
    parsed.folder = positional[1];
    return parsed;
}

void Print(std::FILE* to, const QString& line) {
    std::fprintf(to, "%s\n", line.toLocal8Bit().constData());
}

} // namespace

int ImportCsvCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    const std::optional<Arguments> arguments = Parse(args);
    if (!arguments) {
        std::fprintf(err, "usage: velmora-tool %s\n", Usage);
        return BadArguments;
    }
    const QString fileName = QFile::decodeName(arguments->file.c_str());
    const QString folder = QFile::decodeName(arguments->folder.c_str());
    const QFileInfo info(folder);
    if ((info.exists() || info.isSymLink()) && !info.isDir()) {
        std::fprintf(err, "velmora-tool: %s is not a folder (usage: velmora-tool %s)\n",
                     arguments->folder.c_str(), Usage);
        return BadArguments;
    }
    if (QFileInfo(fileName).isDir()) {
        std::fprintf(err, "velmora-tool: %s is a folder, not a CSV file (usage: velmora-tool %s)\n",
                     arguments->file.c_str(), Usage);
        return BadArguments;
    }

    CsvImportFile file;
    if (!file.Load(fileName)) {
        Print(err, QStringLiteral("velmora-tool: nothing was imported: ") + file.Error());
        return NothingImported;
    }
    QString mapError;
    const CsvImportMapping mapping =
        arguments->map ? CsvImportMapping::Parse(*arguments->map, file.Header(), &mapError)
                       : CsvImportMapping::Guess(file.Header());
    if (mapError.isEmpty())
        mapError = mapping.Problem();
    if (!mapError.isEmpty()) {
        Print(err, QStringLiteral("velmora-tool: %1 (usage: velmora-tool %2)")
                       .arg(mapError, QLatin1String(Usage)));
        return BadArguments;
    }

    if (!QDir().mkpath(folder)) {
        std::fprintf(err, "velmora-tool: the folder %s can not be made; nothing was imported\n",
                     arguments->folder.c_str());
        return NothingImported;
    }
    DataFolderLock lock;
    if (!ArchiveCommand::Lock(lock, arguments->folder, err))
        return ProgramRunning;
    if (!ArchiveCommand::Recover(folder, err))
        return RollBackFailed;

    const std::unique_ptr<QCoreApplication> application = MakeGuiApplication();
    TDatabase database(QStringLiteral("ADB"));
    database.DriverName = QStringLiteral("STANDARD");
    database.Params = {QStringLiteral("PATH=") + folder};
    CsvImportSummary summary;
    try {
        database.Open();
        // A folder without a catalog gets one, as at the program's first start.
        TZunPigger structure;
        DatabaseStructure::Build(structure);
        TTable table;
        TQuery query;
        DatabaseStructure::Check(structure, table, query, {});
        TerminalProgress progress(err);
        summary = CsvImport().Run(file, mapping, [&progress](int done, int total) {
            bool stop = false;
            progress.Update(total > 0 ? done * 100 / total : 100, stop);
            return !stop;
        });
        progress.Finish();
    } catch (const EDatabaseError& error) {
        summary.failure = error.Message();
    }
    database.Close();
    std::FILE* to = summary.Imported() ? out : err;
    for (const QString& line : summary.Lines())
        Print(to, line);
    return summary.Imported() ? Imported : NothingImported;
}
