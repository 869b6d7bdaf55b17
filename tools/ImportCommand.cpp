#include "ImportCommand.h"

#include "ArchiveCommand.h"

#include "DataFolderLock.h"
#include "OpenFolderImport.h"
#include "ParadoxImport.h"
#include "TDatabase.h"
#include "ToolApplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

constexpr int Imported = 0;
constexpr int NothingImported = 1;
constexpr int ProgramRunning = 6;
constexpr int BadArguments = 64;

void Line(std::FILE* to, const QString& text) {
    std::fprintf(to, "%s\n", text.toLocal8Bit().constData());
}

} // namespace

ImportCommand::Source ImportCommand::SourceIn(const QString& folder) {
    if (OpenFolderImport::IsOpenExport(folder))
        return Source::OpenExport;
    if (!ParadoxImport::TablesIn(folder).isEmpty())
        return Source::OlderTables;
    return Source::Nothing;
}

int ImportCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    if (args.size() != 2 || args[0].empty() || args[1].empty() || args[0][0] == '-' ||
        args[1][0] == '-') {
        std::fprintf(err, "usage: velmora-tool %s\n", Usage);
        return BadArguments;
    }
    const QString source = QFile::decodeName(args[0].c_str());
    const QString dataFolder = QFile::decodeName(args[1].c_str());
    if (!QFileInfo(source).isDir()) {
        std::fprintf(err, "velmora-tool: %s is not a folder (usage: velmora-tool %s)\n",
                     args[0].c_str(), Usage);
        return BadArguments;
    }
    const QFileInfo target(dataFolder);
    if ((target.exists() || target.isSymLink()) && !target.isDir()) {
        std::fprintf(err, "velmora-tool: %s is not a folder (usage: velmora-tool %s)\n",
                     args[1].c_str(), Usage);
        return BadArguments;
    }
    const Source kind = SourceIn(source);
    if (kind == Source::Nothing) {
        std::fprintf(err,
                     "velmora-tool: %s holds nothing to import (no tables of an older "
                     "version, no figures.csv of an export); nothing was imported\n",
                     args[0].c_str());
        return NothingImported;
    }
    if (!QDir().mkpath(dataFolder)) {
        std::fprintf(err, "velmora-tool: cannot create the data folder %s; nothing was imported\n",
                     args[1].c_str());
        return NothingImported;
    }
    DataFolderLock lock;
    if (!ArchiveCommand::Lock(lock, args[1], err))
        return ProgramRunning;
    if (!ArchiveCommand::Recover(dataFolder, err))
        return NothingImported;

    const QString catalog = QDir(dataFolder).filePath(TDatabase::FileNameInFolder);
    const bool hadCatalog = QFileInfo(catalog).isFile();
    const std::unique_ptr<QCoreApplication> application = MakeGuiApplication();
    bool imported = false;
    {
        TDatabase database(QStringLiteral("ADB"));
        database.DriverName = QStringLiteral("STANDARD");
        database.Params = {QStringLiteral("PATH=") + dataFolder};
        const auto report = [&](const auto& import) {
            if (imported) {
                for (const QString& line : import.SummaryLines())
                    Line(out, line);
                Line(out, QStringLiteral("%1 rows added").arg(import.Added()));
            } else {
                Line(err, QStringLiteral("velmora-tool: nothing was imported: ") + import.Error());
            }
        };
        if (kind == Source::OpenExport) {
            OpenFolderImport import(source, database.DatabaseName());
            imported = import.Run();
            database.Close();
            report(import);
        } else {
            ParadoxImport import(database.DatabaseName());
            imported = import.Run(source);
            database.Close();
            report(import);
        }
    }
    if (!imported && !hadCatalog)
        QFile::remove(catalog); // the empty catalog made for the import
    return imported ? Imported : NothingImported;
}
