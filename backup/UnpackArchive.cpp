#include "Archive.h"
#include "ArchiveFormat.h"
#include "TArchiveUnpacker.h"
#include "TRestoreFolder.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Unpacks into a scratch folder and swaps the files in only when all of
// them are complete and on disk, so the target keeps its files on any
// failure or stop, and a crash during the swap leaves it for the next start
// to finish.
int Restore(const QString& archiveFile, const QString& folder, const TArchiveProgress& progress) {
    TArchiveUnpacker unpacker(progress);
    if (const int result = unpacker.Open(archiveFile))
        return result;
    TRestoreFolder scratch(folder);
    if (!scratch.Create())
        return ArchiveResult::InputOutputError;
    if (const int result = unpacker.UnpackInto(scratch.RestoredFolder()))
        return result;
    return scratch.Commit(unpacker.Names(), unpacker.Sizes());
}

} // namespace

int UnpackArchive(const QString& archiveFile, const QString& targetFolder,
                  const TArchiveProgress& progress) {
    try {
        if (!QFileInfo::exists(archiveFile))
            return ArchiveResult::NoArchive;
        const QString folder = ArchiveFormat::WithoutTrailingDelimiter(targetFolder);
        bool created = false;
        if (!QFileInfo(folder).isDir()) {
            if (folder.isEmpty() || !QDir().mkdir(folder))
                return ArchiveResult::InputOutputError;
            created = true;
        }
        const int result = Restore(archiveFile, folder, progress);
        // A folder made for a restore that failed goes again.
        if (result != ArchiveResult::Done && created)
            QDir().rmdir(folder);
        return result;
    } catch (...) {
        return ArchiveResult::InputOutputError;
    }
}
