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

void PutInt32(char* to, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        to[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

std::int32_t GetInt32(const char* from) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(from[i])) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

} // namespace ArchiveFormat
