#include "DiskSync.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace DiskSync {

namespace {

bool SyncPath(const QString& path, int flags) {
    const int handle = open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (handle < 0)
        return false;
    const bool synced = SyncHandle(handle);
    close(handle);
    return synced;
}

} // namespace

bool SyncFile(const QString& path) {
    return SyncPath(path, O_RDONLY | O_NOFOLLOW);
}

bool SyncHandle(int handle) {
    int result = 0;
    do {
        result = fsync(handle);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

bool SyncFolder(const QString& path) {
    return SyncPath(path, O_RDONLY | O_DIRECTORY);
}

bool MoveFile(const QString& from, const QString& to) {
    const QFileInfo destination(to);
    if (destination.exists() || destination.isSymLink())
        return false;
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace DiskSync
