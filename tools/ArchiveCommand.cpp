#include "ArchiveCommand.h"

#include "DataFolderLock.h"
#include "TRestoreFolder.h"
#include "TerminalProgress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Whether the archive lies right inside the data folder, however either is
// named: a backup would pack the archives of earlier backups, and a restore
// would delete the archive it restores from.
bool ArchiveInDataFolder(const QString& archive, const QString& dataFolder) {
    const QString archiveFolder = QFileInfo(QFileInfo(archive).absolutePath()).canonicalFilePath();
    return !archiveFolder.isEmpty() && archiveFolder == QFileInfo(dataFolder).canonicalFilePath();
}

// Whether each operand is of its kind, told on err when not: the archive
// must not be a folder, and the data folder, when it exists, must be one.
// Swapped operands are caught here, before anything is touched.
bool OperandsFit(const QString& archive, const QString& dataFolder, const char* usage,
                 std::FILE* err) {
    bool fit = true;
    if (QFileInfo(archive).isDir()) {
        std::fprintf(err,
                     "velmora-tool: %s is a folder, not an archive file (usage: velmora-tool %s)\n",
                     QFile::encodeName(archive).constData(), usage);
        fit = false;
    }
    const QFileInfo data(dataFolder);
    if ((data.exists() || data.isSymLink()) && !data.isDir()) {
        std::fprintf(err, "velmora-tool: %s is not a folder (usage: velmora-tool %s)\n",
                     QFile::encodeName(dataFolder).constData(), usage);
        fit = false;
    }
    return fit;
}

QByteArray PreviousFiles(const QString& dataFolder) {
    return QFile::encodeName(TRestoreFolder::ScratchFolder(dataFolder) +
                             QStringLiteral("/previous"));
}

} // namespace

bool ArchiveCommand::Recover(const QString& dataFolder, std::FILE* err) {
    switch (TRestoreFolder::Recover(dataFolder)) {
    case TRestoreFolder::TRecovery::Nothing:
        return true;
    case TRestoreFolder::TRecovery::Finished:
        std::fprintf(err, "velmora-tool: an interrupted restore of the data folder has been "
                          "finished\n");
        return true;
    case TRestoreFolder::TRecovery::RolledBack:
        std::fprintf(err, "velmora-tool: an interrupted restore of the data folder has been "
                          "undone\n");
        return true;
    case TRestoreFolder::TRecovery::InUse:
        std::fprintf(err, "velmora-tool: the data folder %s is in use by another program\n",
                     QFile::encodeName(dataFolder).constData());
        return false;
    case TRestoreFolder::TRecovery::Failed:
        break;
    }
    std::fprintf(err,
                 "velmora-tool: an interrupted restore of the data folder could be neither "
                 "finished nor undone; its previous files are kept in %s\n",
                 PreviousFiles(dataFolder).constData());
    return false;
}

int ArchiveCommand::Run(const char* usage, Operation operation, int dataFolder,
                        const char* const (&messages)[6], const std::vector<std::string>& args,
                        std::FILE* out, std::FILE* err) {
    if (args.size() != 2 || args[0].empty() || args[1].empty() || args[0][0] == '-' ||
        args[1][0] == '-') {
        std::fprintf(err, "usage: velmora-tool %s\n", usage);
        return BadArguments;
    }
    const QString first = QFile::decodeName(args[0].c_str());
    const QString second = QFile::decodeName(args[1].c_str());
    const QString& data = dataFolder == 0 ? first : second;
    const QString& archive = dataFolder == 0 ? second : first;
    if (!OperandsFit(archive, data, usage, err))
        return BadArguments;
    if (ArchiveInDataFolder(archive, data)) {
        std::fprintf(err, "The archive and the database can not be placed in the same folder\n");
        return SameFolder;
    }
    // A restore makes a missing data folder, and makes it first so that it
    // can be locked; it goes again when the restore fails.
    const bool made = dataFolder == 1 && !QFileInfo(data).exists() && QDir().mkdir(data);
    int result = ProgramRunning;
    bool ran = false;
    {
        // Only a data folder in use is refused; the lock also keeps the
        // program from starting on the folder meanwhile. A folder that does
        // not exist is used by no one.
        DataFolderLock lock;
        const bool locked = Lock(lock, QFile::encodeName(data).toStdString(), err);
        if (locked && !Recover(data, err)) {
            result = ArchiveResult::RollBackFailed;
        } else if (locked) {
            ran = true;
            TerminalProgress progress(err);
            result = operation(first, second, [&progress](int percent, bool& stop) {
                progress.Update(percent, stop);
            });
        }
    }
    if (made && result != ArchiveResult::Done)
        QDir().rmdir(data);
    if (!ran)
        return result;
    if (result == ArchiveResult::RollBackFailed) {
        std::fprintf(err,
                     "Database restore error: the data folder could not be put back as it was; "
                     "its previous files are kept in %s until the next start finishes or undoes "
                     "the restore\n",
                     PreviousFiles(data).constData());
        return result;
    }
    const bool known = result >= 0 && result <= 5;
    std::fprintf(result == 0 ? out : err, "%s\n",
                 known ? messages[result] : "velmora-tool: unexpected result");
    return result;
}

bool ArchiveCommand::Lock(DataFolderLock& lock, const std::string& dataFolder, std::FILE* err) {
    if (lock.Acquire(dataFolder) || !lock.Busy())
        return true;
    std::fprintf(err,
                 "velmora-tool: Velmora is running on the data folder %s (or another "
                 "velmora-tool run uses it); close it first\n",
                 dataFolder.c_str());
    return false;
}
