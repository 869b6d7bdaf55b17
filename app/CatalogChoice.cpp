#include "CatalogChoice.h"

#include "DialogFolders.h"

#include <QRegularExpression>
#include <QSettings>

namespace {

const QString Key = QStringLiteral("catalog/server");

QSettings UserSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QString::fromLatin1(DialogFolders::Organisation),
                     QString::fromLatin1(DialogFolders::Application));
}

} // namespace

QString CatalogChoice::Stored() {
    return UserSettings().value(Key).toString().trimmed();
}

void CatalogChoice::Store(const QString& server) {
    QSettings settings = UserSettings();
    const QString kept = Shown(server);
    if (kept.isEmpty())
        settings.remove(Key);
    else
        settings.setValue(Key, kept);
}

QString CatalogChoice::Shown(const QString& server) {
    QString shown = server.trimmed();
    // "password=..." in either form, and the password of a URI's user.
    static const QRegularExpression keyword(
        QStringLiteral(R"((^|[\s?&])password\s*=\s*('([^'\\]|\\.)*'|[^\s&]*)(&|\s+)?)"));
    static const QRegularExpression userinfo(
        QStringLiteral(R"(^(postgres(ql)?://[^:@/]*):[^@/]*@)"));
    shown.replace(keyword, QStringLiteral("\\1"));
    static const QRegularExpression dangling(QStringLiteral("[?&]$"));
    shown.replace(userinfo, QStringLiteral("\\1@"));
    shown.remove(dangling);
    return shown.trimmed();
}

QString CatalogChoice::StatusText(const QString& server) {
    return server.isEmpty() ? QStringLiteral("Catalog: this computer's data folder")
                            : QStringLiteral("Catalog: ") + Shown(server);
}
