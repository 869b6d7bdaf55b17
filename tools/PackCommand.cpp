#include "PackCommand.h"

#include "ArchiveCommand.h"

#include "DataFolderLock.h"
#include "TDatabase.h"
#include "TablePacker.h"
#include "ToolApplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

constexpr int Packed = 0;
constexpr int NotPacked = 1;
constexpr int NoCatalog = 2;
constexpr int ProgramRunning = 6;
constexpr int RollBackFailed = 7;
constexpr int BadArguments = 64;

} // namespace

int PackCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::fprintf(err, "usage: velmora-tool %s\n", Usage);
        return BadArguments;
    }
    const QString folder = QFile::decodeName(args[0].c_str());
    const QFileInfo info(folder);
    if ((info.exists() || info.isSymLink()) && !info.isDir()) {
        std::fprintf(err, "velmora-tool: %s is not a folder (usage: velmora-tool %s)\n",
                     args[0].c_str(), Usage);
        return BadArguments;
    }
    DataFolderLock lock;
    if (!ArchiveCommand::Lock(lock, args[0], err))
        return ProgramRunning;
    if (!ArchiveCommand::Recover(folder, err))
        return RollBackFailed;
    // Opening a folder without the catalog would create an empty one.
    if (!QFileInfo(QDir(folder).filePath(TDatabase::FileNameInFolder)).isFile()) {
        std::fprintf(err, "velmora-tool: %s holds no catalog database (%s); nothing was done\n",
                     args[0].c_str(), TDatabase::FileNameInFolder);
        return NoCatalog;
    }

    const std::unique_ptr<QCoreApplication> application = MakeGuiApplication();
    TDatabase database(QStringLiteral("ADB"));
    database.DriverName = QStringLiteral("STANDARD");
    database.Params = {QStringLiteral("PATH=") + folder};
    const auto history = [out](const QString& line) {
        std::fprintf(out, "%s\n", line.toLocal8Bit().constData());
        std::fflush(out);
    };
    const bool packed = TablePacker(database.DatabaseName()).Pack(history);
    history(QStringLiteral("Done"));
    database.Close();
    return packed ? Packed : NotPacked;
}
