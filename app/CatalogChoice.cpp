#include "CatalogChoice.h"

#include "ConnectionText.h"
#include "DialogFolders.h"

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
    const QString kept = ConnectionText::WithoutPassword(server);
    if (kept.isEmpty())
        settings.remove(Key);
    else
        settings.setValue(Key, kept);
}

QString CatalogChoice::StatusText(const QString& server) {
    return server.isEmpty() ? QStringLiteral("Catalog: this computer's data folder")
                            : QStringLiteral("Catalog: ") + ConnectionText::WithoutPassword(server);
}
