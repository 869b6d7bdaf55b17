#include "ArchiveFormat.h"

#include <QDir>

#include <zlib.h>

namespace ArchiveFormat {

std::int64_t MaxBlockLength() {
    return static_cast<std::int64_t>(compressBound(BlockSize));
}

QFileInfoList FolderFiles(const QString& folder) {
    return QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
}

QString WithoutTrailingDelimiter(const QString& folder) {
    QString trimmed = folder;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    return trimmed;
}

bool IsBareFileName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QChar(0) ||
            c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return false;
    }
    return true;
}

int RoundedPercent(std::int64_t part, std::int64_t whole) {
    if (whole <= 0)
        return 100;
    const std::int64_t scaled = part * 100;
    std::int64_t percent = scaled / whole;
    const std::int64_t twiceRest = (scaled % whole) * 2;
    if (twiceRest > whole || (twiceRest == whole && percent % 2 != 0))
        ++percent;
    return static_cast<int>(percent);
}

} // namespace ArchiveFormat
