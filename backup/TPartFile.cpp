#include "TPartFile.h"

#include "DiskSync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr char PartMark[] = ".velmora-part-";

// Opens the file and takes its lock: the handle, which the caller closes,
// or -1 when the file cannot be opened or a living process holds the lock.
int LockedHandle(const QString& path) {
    const int handle = open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0)
        return -1;
    if (flock(handle, LOCK_EX | LOCK_NB) != 0) {
        close(handle);
        return -1;
    }
    return handle;
}

} // namespace

TPartFile::TPartFile() = default;

TPartFile::~TPartFile() {
    Remove();
}

void TPartFile::Remove() {
    if (!file_)
        return;
    file_.reset();
    QFile::remove(partName_);
}

bool TPartFile::IsPartName(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^\\..+\\.velmora-part-[A-Za-z0-9]{6}$"),
                                            QRegularExpression::DotMatchesEverythingOption);
    return pattern.match(name).hasMatch();
}

int TPartFile::RemoveAbandoned(const QString& folder) {
    int removed = 0;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || !IsPartName(entry.fileName()))
            continue;
        const int handle = LockedHandle(entry.filePath());
        if (handle < 0)
            continue;
        if (QFile::remove(entry.filePath()))
            ++removed;
        close(handle);
    }
    return removed;
}

bool TPartFile::Open(const QString& fileName) {
    if (file_)
        return false;
    const QFileInfo target(fileName);
    const QString folder = target.path();
    RemoveAbandoned(folder);

    static const char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    int handle = -1;
    for (int attempt = 0; attempt < 100 && handle < 0; ++attempt) {
        QString suffix;
        for (int i = 0; i < 6; ++i)
            suffix += QLatin1Char(Letters[QRandomGenerator::global()->bounded(62)]);
        partName_ =
            folder + QStringLiteral("/.") + target.fileName() + QLatin1String(PartMark) + suffix;
        // The permissions a new file of the final name gets.
        handle = open(QFile::encodeName(partName_).constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (handle < 0 && errno != EEXIST)
            return false;
    }
    if (handle < 0)
        return false;
    file_ = std::make_unique<QFile>();
    // Held until the file is committed or removed: the sign that its writer
    // lives.
    if (flock(handle, LOCK_EX | LOCK_NB) != 0 ||
        !file_->open(handle, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        close(handle);
        file_.reset();
        QFile::remove(partName_);
        return false;
    }
    fileName_ = fileName;
    return true;
}

qint64 TPartFile::Write(const char* data, qint64 count) {
    if (!file_)
        return -1;
    return file_->write(data, count);
}

bool TPartFile::Flush() {
    return file_ && file_->flush() && file_->error() == QFileDevice::NoError;
}

bool TPartFile::Commit() {
    if (!file_ || !file_->flush() || file_->error() != QFileDevice::NoError ||
        !DiskSync::SyncHandle(file_->handle()))
        return false;
    if (std::rename(QFile::encodeName(partName_).constData(),
                    QFile::encodeName(fileName_).constData()) != 0)
        return false;
    file_.reset();
    return DiskSync::SyncFolder(QFileInfo(fileName_).path());
}
