#include "ShellOpen.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <utility>

namespace {

QUrl UrlOf(const QString& target) {
    // A text with a scheme is an address even if a file of that name exists.
    if (!target.contains(QStringLiteral("://"))) {
        const QFileInfo file(target);
        if (file.exists())
            return QUrl::fromLocalFile(file.absoluteFilePath());
    }
    return QUrl::fromUserInput(target);
}

} // namespace

ShellOpen::Hook& ShellOpen::CurrentHook() {
    static Hook hook;
    return hook;
}

bool ShellOpen::Open(const QString& target) {
    if (target.trimmed().isEmpty())
        return false;
    // A copy, so that a hook may replace itself while it runs.
    const Hook hook = CurrentHook();
    if (hook) {
        hook(target);
        return true;
    }
    const QUrl url = UrlOf(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}

int ShellOpen::OpenFile(const QString& path) {
    if (path.isEmpty())
        return FileNotFound;
    const QFileInfo file(path);
    if (!file.absoluteDir().exists())
        return PathNotFound;
    if (!file.exists())
        return FileNotFound;
    if (!file.isReadable())
        return AccessDenied;
    const Hook hook = CurrentHook();
    if (hook) {
        hook(path);
        return Opened;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath())) ? Opened
                                                                                   : NoAssociation;
}

void ShellOpen::SetHook(Hook hook) {
    CurrentHook() = std::move(hook);
}

ShellOpen::ScopedHook::ScopedHook(Hook hook) : previous_(std::move(CurrentHook())) {
    CurrentHook() = std::move(hook);
}

ShellOpen::ScopedHook::~ScopedHook() {
    CurrentHook() = std::move(previous_);
}
