#include "TRestoreFolder.h"

#include "Archive.h"
#include "DataFolderLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The target's real location; a target that does not exist stays as given.
QString RealPath(const QString& folder) {
    const QString real = QFileInfo(folder).canonicalFilePath();
    return real.isEmpty() ? QDir(folder).absolutePath() : real;
}

bool RemoveScratch(const QString& scratch) {
    const QFileInfo entry(scratch);
    if (entry.isSymLink() || !entry.isDir())
        return !entry.exists() && !entry.isSymLink();
    return QDir(scratch).removeRecursively();
}

} // namespace

TRestoreFolder::TRestoreFolder(const QString& targetFolder)
    : target_(RealPath(targetFolder)), scratch_(ScratchFolder(targetFolder)),
      swap_(std::make_unique<TFolderSwap>(target_, scratch_)) {}

TRestoreFolder::~TRestoreFolder() {
    if (created_ && !keep_)
        RemoveScratch(scratch_);
}

QString TRestoreFolder::ScratchFolder(const QString& targetFolder) {
    const QFileInfo target(RealPath(targetFolder));
    return target.path() + QStringLiteral("/.") + target.fileName() + QStringLiteral("-restore");
}

TRestoreFolder::TRecovery TRestoreFolder::Recover(const QString& targetFolder) {
    const QString target = RealPath(targetFolder);
    const QString scratch = ScratchFolder(targetFolder);
    const QFileInfo entry(scratch);
    if (!entry.exists() && !entry.isSymLink())
        return TRecovery::Nothing;
    DataFolderLock lock;
    if (!lock.AcquireUnlessHeldHere(QFile::encodeName(target).toStdString()))
        return TRecovery::InUse;
    TFolderSwap swap(target, scratch);
    if (entry.isSymLink() || !entry.isDir())
        return TRecovery::Failed;
    if (!QFileInfo::exists(swap.JournalFile())) {
        // A restore that ended before its swap began: its files are not
        // needed.
        RemoveScratch(scratch);
        return TRecovery::Nothing;
    }
    if (!QFileInfo(target).isDir() || !swap.Load())
        return TRecovery::Failed;
    TRecovery done = TRecovery::Finished;
    if (!swap.Forward()) {
        if (!swap.Back())
            return TRecovery::Failed;
        done = TRecovery::RolledBack;
    }
    if (!swap.End())
        return TRecovery::Failed;
    RemoveScratch(scratch);
    return done;
}

bool TRestoreFolder::Create() {
    const TRecovery recovery = Recover(target_);
    if (recovery == TRecovery::Failed || recovery == TRecovery::InUse)
        return false;
    if (!QDir().mkdir(scratch_))
        return false;
    created_ = true;
    return QDir().mkdir(swap_->RestoredFolder()) && QDir().mkdir(swap_->PreviousFolder());
}

QString TRestoreFolder::RestoredFolder() const {
    return swap_->RestoredFolder();
}

QString TRestoreFolder::FilePath(const QString& name) const {
    return RestoredFolder() + QLatin1Char('/') + name;
}

int TRestoreFolder::Commit(const QStringList& names, const std::vector<std::int64_t>& sizes) {
    for (int i = 0; i < names.size(); ++i) {
        const QFileInfo file(FilePath(names[i]));
        if (!file.isFile() || file.size() != sizes[static_cast<std::size_t>(i)])
            return ArchiveResult::InputOutputError;
    }
    // From the first write of the journal on, an end of any kind leaves the
    // scratch folder for Recover.
    keep_ = true;
    if (!swap_->Begin(names)) {
        // Nothing has moved: a journal written all the same must not make
        // Recover finish this swap.
        keep_ = QFileInfo::exists(swap_->JournalFile()) && !QFile::remove(swap_->JournalFile());
        return ArchiveResult::InputOutputError;
    }
    int result = ArchiveResult::Done;
    if (!swap_->Forward()) {
        if (!swap_->Back())
            return ArchiveResult::RollBackFailed;
        result = ArchiveResult::InputOutputError;
    }
    // The swap is whole either way; what End leaves undone, Recover does.
    keep_ = !swap_->End();
    return result;
}
