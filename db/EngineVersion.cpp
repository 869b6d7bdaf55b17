#include "EngineVersion.h"

#include "EngineConnection.h"

#include <QStringList>

EngineVersion EngineVersion::Linked() {
    return EngineConnection::LinkedVersion();
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
