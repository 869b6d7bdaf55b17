#include "EngineVersion.h"

#include "EDatabaseError.h"
#include "EngineConnection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

EngineVersion EngineVersion::Linked() {
    return EngineConnection::LinkedVersion();
}

EngineVersion EngineVersion::OfDriver(const QSqlDatabase& connection) {
    QSqlQuery query(connection);
    if (!query.exec(QStringLiteral("select sqlite_version(), sqlite_source_id()")) || !query.next())
        throw EDatabaseError(query.lastError().text(), query.lastError().nativeErrorCode().toInt());
    EngineVersion driver;
    driver.Text = query.value(0).toString();
    driver.Number = NumberOf(driver.Text);
    driver.SourceId = query.value(1).toString();
    return driver;
}

int EngineVersion::NumberOf(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() < 2)
        return 0;
    int number = 0;
    for (int i = 0; i < 3; ++i) {
        bool ok = true;
        const int part = i < parts.size() ? parts[i].toInt(&ok) : 0;
        if (!ok || part < 0 || part > 999)
            return 0;
        number = number * 1000 + part;
    }
    return number;
}

QString EngineVersion::Mismatch(const EngineVersion& driver, const EngineVersion& linked) {
    if (driver.Text == linked.Text && driver.Number == linked.Number &&
        driver.SourceId == linked.SourceId)
        return {};
    // The same version from other sources: the sources tell them apart.
    const bool sameText = driver.Text == linked.Text;
    const auto name = [sameText](const EngineVersion& version) {
        return sameText ? QStringLiteral("%1 (%2)").arg(version.Text, version.SourceId)
                        : version.Text;
    };
    return QStringLiteral("The database driver runs SQLite %1, but the program is linked with "
                          "SQLite %2. Both must use one and the same SQLite library.")
        .arg(name(driver), name(linked));
}
