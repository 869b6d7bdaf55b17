#include "DialogFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString SettingsKey(DialogFolders::Kind kind) {
    switch (kind) {
    case DialogFolders::Kind::Pictures:
        return QStringLiteral("folders/pictures");
    case DialogFolders::Kind::RelatedFiles:
        return QStringLiteral("folders/related_files");
    case DialogFolders::Kind::Archives:
        return QStringLiteral("folders/archives");
    case DialogFolders::Kind::Exports:
        return QStringLiteral("folders/exports");
    }
    return QStringLiteral("folders/other");
}

QSettings UserSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QString::fromLatin1(DialogFolders::Organisation),
                     QString::fromLatin1(DialogFolders::Application));
}

bool IsFolder(const QString& path) {
    return !path.isEmpty() && QDir::isAbsolutePath(path) && QFileInfo(path).isDir();
}

} // namespace

QString DialogFolders::StartFolder(Kind kind) {
    const QString remembered = Remembered(kind);
    return remembered.isEmpty() ? FirstFolder(kind) : remembered;
}

QString DialogFolders::Remembered(Kind kind) {
    const QString remembered = UserSettings().value(SettingsKey(kind)).toString();
    return IsFolder(remembered) ? remembered : QString();
}

void DialogFolders::Remember(Kind kind, const QString& chosen) {
    if (chosen.isEmpty())
        return;
    const QFileInfo info(chosen);
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    UserSettings().setValue(SettingsKey(kind), QDir::cleanPath(folder));
}

QString DialogFolders::FirstFolder(Kind kind) {
    const QString desktop = QStandardPaths::writableLocation(
        kind == Kind::Pictures ? QStandardPaths::PicturesLocation
                               : QStandardPaths::DocumentsLocation);
    return IsFolder(desktop) ? desktop : QDir::homePath();
}
