#include "Archive.h"
#include "ArchiveFormat.h"
#include "DataFolderLock.h"
#include "OldTablesCatalog.h"
#include "TArchiveUnpacker.h"
#include "TRestoreFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Unpacks into a scratch folder and swaps the files in only when all of
// them are complete and on disk and hold the catalog, so the target keeps
// its files on any failure or stop, and a crash during the swap leaves it
// for the next start to finish.
int Restore(const QString& archiveFile, const QString& folder, const TArchiveProgress& progress,
            QString& fault, const TImportOldTables& importOld) {
    TArchiveUnpacker unpacker(progress);
    if (const int result = unpacker.Open(archiveFile)) {
        fault = unpacker.Fault();
        return result;
    }
    // Never under another process working on the folder.
    DataFolderLock lock;
    if (!lock.AcquireUnlessHeldHere(QFile::encodeName(folder).toStdString())) {
        fault =
            QStringLiteral("the data folder %1 is in use by another program").arg(Shown(folder));
        return ArchiveResult::InputOutputError;
    }
    TRestoreFolder scratch(folder);
    if (!scratch.Create()) {
        fault = QStringLiteral("the folder %1 for the restored files can not be made")
                    .arg(Shown(TRestoreFolder::ScratchFolder(folder)));
        return ArchiveResult::InputOutputError;
    }
    if (const int result = unpacker.UnpackInto(scratch.RestoredFolder())) {
        fault = unpacker.Fault();
        return result;
    }
    // Any folder packed with the backup command unpacks whole: only a
    // catalog may take the place of the one in the data folder.
    QStringList names = unpacker.Names();
    std::vector<std::int64_t> sizes = unpacker.Sizes();
    fault = OldTablesCatalog::Restorable(scratch.RestoredFolder(), names, sizes, importOld);
    if (!fault.isEmpty())
        return ArchiveResult::NoCatalog;
    const int result = scratch.Commit(names, sizes);
    if (result == ArchiveResult::RollBackFailed)
        fault =
            QStringLiteral("the data folder could not be put back as it was; its previous "
                           "files are kept in %1")
                .arg(Shown(TRestoreFolder::ScratchFolder(folder) + QStringLiteral("/previous")));
    else if (result != ArchiveResult::Done)
        fault = QStringLiteral("the restored files could not be moved into the data folder");
    return result;
}

} // namespace

int UnpackArchive(const QString& archiveFile, const QString& targetFolder,
                  const TArchiveProgress& progress) {
    QString fault;
    return UnpackArchive(archiveFile, targetFolder, progress, fault);
}

int UnpackArchive(const QString& archiveFile, const QString& targetFolder,
                  const TArchiveProgress& progress, QString& fault) {
    return UnpackArchive(archiveFile, targetFolder, progress, fault, {});
}

int UnpackArchive(const QString& archiveFile, const QString& targetFolder,
                  const TArchiveProgress& progress, QString& fault,
                  const TImportOldTables& importOld) {
    fault.clear();
    try {
        if (archiveFile.isEmpty()) {
            fault = QStringLiteral("no archive file has been chosen");
            return ArchiveResult::NoArchive;
        }
        if (!QFileInfo::exists(archiveFile)) {
            fault = QStringLiteral("the archive %1 does not exist").arg(Shown(archiveFile));
            return ArchiveResult::NoArchive;
        }
        const QString folder = ArchiveFormat::WithoutTrailingDelimiter(targetFolder);
        bool created = false;
        if (!QFileInfo(folder).isDir()) {
            if (folder.isEmpty() || !QDir().mkdir(folder)) {
                fault = QStringLiteral("the data folder %1 can not be made").arg(Shown(folder));
                return ArchiveResult::InputOutputError;
            }
            created = true;
        }
        const int result = Restore(archiveFile, folder, progress, fault, importOld);
        // A folder made for a restore that failed goes again.
        if (result != ArchiveResult::Done && created)
            QDir().rmdir(folder);
        if (result == ArchiveResult::Done)
            fault.clear();
        else if (fault.isEmpty())
            fault = QStringLiteral("the restore failed");
        return result;
    } catch (...) {
        fault = QStringLiteral("an unexpected error");
        return ArchiveResult::InputOutputError;
    }
}
