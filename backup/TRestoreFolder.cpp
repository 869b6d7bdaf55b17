#include "TRestoreFolder.h"

#include "ArchiveFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

// Renames a file within one file system; never replaces an entry of the new
// name and never copies.
bool MoveFile(const QString& from, const QString& to) {
    const QFileInfo destination(to);
    if (destination.exists() || destination.isSymLink())
        return false;
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Moves the files until one fails; moved lists those that went.
bool MoveAll(const QString& from, const QString& to, const QStringList& names, QStringList& moved) {
    for (const QString& name : names) {
        if (!MoveFile(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name))
            return false;
        moved << name;
    }
    return true;
}

} // namespace

TRestoreFolder::TRestoreFolder(const QString& targetFolder)
    : target_(QDir(targetFolder).absolutePath()) {}

TRestoreFolder::~TRestoreFolder() = default;

bool TRestoreFolder::Create() {
    const QFileInfo target(target_);
    scratch_ =
        std::make_unique<QTemporaryDir>(target.path() + QStringLiteral("/.") + target.fileName() +
                                        QStringLiteral("-restore-XXXXXX"));
    if (!scratch_->isValid())
        return false;
    restored_ = scratch_->filePath(QStringLiteral("restored"));
    previous_ = scratch_->filePath(QStringLiteral("previous"));
    return QDir().mkdir(restored_) && QDir().mkdir(previous_);
}

QString TRestoreFolder::FilePath(const QString& name) const {
    return restored_ + QLatin1Char('/') + name;
}

bool TRestoreFolder::Commit(const QStringList& names, const std::vector<std::int64_t>& sizes) {
    for (int i = 0; i < names.size(); ++i) {
        const QFileInfo file(FilePath(names[i]));
        if (!file.isFile() || file.size() != sizes[static_cast<std::size_t>(i)])
            return false;
    }
    QStringList current;
    for (const QFileInfo& file : ArchiveFormat::FolderFiles(target_))
        current << file.fileName();

    QStringList movedOut;
    QStringList movedIn;
    if (MoveAll(target_, previous_, current, movedOut) &&
        MoveAll(restored_, target_, names, movedIn))
        return true;

    // Undo as much as can be undone, even past a move that fails.
    bool restoredBack = true;
    for (const QString& name : movedIn)
        restoredBack &= MoveFile(target_ + QLatin1Char('/') + name, FilePath(name));
    for (const QString& name : movedOut)
        restoredBack &=
            MoveFile(previous_ + QLatin1Char('/') + name, target_ + QLatin1Char('/') + name);
    if (!restoredBack) {
        // The target's old files must survive: keep them where they are.
        scratch_->setAutoRemove(false);
        std::fprintf(stderr, "restore: could not move the files back; they are in %s\n",
                     QFile::encodeName(previous_).constData());
    }
    return false;
}
